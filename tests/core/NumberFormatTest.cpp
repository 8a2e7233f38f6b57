#include "core/NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zemvalkorta {
namespace {

const FormatSettings Plain{".", ","};
const FormatSettings Russian{",", "\xC2\xA0"};  // comma and no-break space

std::string Format(std::string_view pattern, double value) { return FormatFloat(pattern, value, Plain); }

TEST(NumberFormatTest, ExactTiesRoundHalfAwayFromZero) {
    EXPECT_EQ(Format("0.00", 0.125), "0.13");
    EXPECT_EQ(Format("0.00", -5.125), "-5.13");
    EXPECT_EQ(Format("0.0", 0.25), "0.3");
    EXPECT_EQ(Format("0.0", -0.25), "-0.3");
    EXPECT_EQ(Format("0", 2.5), "3");
    EXPECT_EQ(Format("0", -0.5), "-1");
    EXPECT_EQ(Format("0.000", 1.0005), "1.000");  // 1.0005 is stored below the tie
    EXPECT_EQ(Format("0.00", 9.995), "9.99");     // 9.99499999999999922
    EXPECT_EQ(Format("0.00", 99.995), "100.00");  // 99.9950000000000045: carry into a new digit
}

TEST(NumberFormatTest, DecimalTiesFollowTheEighteenDigitValue) {
    // Each of these is stored just below its decimal tie, and 18 digits keep
    // that: 0.284999999999999976, 1.00499999999999989, 2.67499999999999982,
    // 0.144999999999999990.
    EXPECT_EQ(Format("0.00", 0.285), "0.28");
    EXPECT_EQ(Format("0.00", 1.005), "1.00");
    EXPECT_EQ(Format("0.00", 2.675), "2.67");
    EXPECT_EQ(Format("0.00", 0.145), "0.14");
    // 1.015 is stored as 1.01499999999999990, 0.115 as 0.115000000000000005.
    EXPECT_EQ(Format("0.00", 1.015), "1.01");
    EXPECT_EQ(Format("0.00", 0.115), "0.12");
}

TEST(NumberFormatTest, NegativeZeroLosesItsSign) {
    EXPECT_EQ(Format("0.00", -0.001), "0.00");
    EXPECT_EQ(Format("0.00", -0.0), "0.00");
    EXPECT_EQ(Format("0.00E+00", -0.0), "0.00E+00");
    EXPECT_EQ(Format("0", -0.4), "0");
    EXPECT_EQ(Format("0.00", -0.005), "-0.01");
}

TEST(NumberFormatTest, Scientific) {
    EXPECT_EQ(Format("0.00E+00", 0.351), "3.51E-01");
    EXPECT_EQ(Format("0.00E+00", 1000), "1.00E+03");
    EXPECT_EQ(Format("0.00E+00", -1), "-1.00E+00");
    EXPECT_EQ(Format("0.00E+00", 0), "0.00E+00");
    EXPECT_EQ(Format("0.000E+00", 12345.0), "1.235E+04");  // 1.2345 tie goes up
    EXPECT_EQ(Format("0.000E+00", 9.9996), "1.000E+01");   // carry moves the exponent
    EXPECT_EQ(Format("0.000E+00", -2.5e-7), "-2.500E-07");
    EXPECT_EQ(Format("0.00E+00", 1.5e123), "1.50E+123");
    EXPECT_EQ(Format("0.00E-00", 1000), "1.00E03");
    EXPECT_EQ(Format("0.00E-00", 0.001), "1.00E-03");
    EXPECT_EQ(FormatFloat("0.000E+00", 0.00125, Russian), "1,250E-03");
}

TEST(NumberFormatTest, FixedPatternsAndGrouping) {
    EXPECT_EQ(Format("0.0", 0.04), "0.0");
    EXPECT_EQ(Format("0.000", 1234.5678), "1234.568");
    EXPECT_EQ(Format("#,##0.00", 1234567.891), "1,234,567.89");
    EXPECT_EQ(Format("#,##0.00", -1234.5), "-1,234.50");
    EXPECT_EQ(Format("#,##0.0", 999.96), "1,000.0");
    EXPECT_EQ(Format("#,##0.0", 12.0), "12.0");
    EXPECT_EQ(Format("#,##0.00", 0.5), "0.50");
    EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891, Russian),
              "1\xC2\xA0"
              "234\xC2\xA0"
              "567,89");
    EXPECT_EQ(Format("0", 123456.0), "123456");
    EXPECT_EQ(Format("00.0", 3.14), "03.1");
    EXPECT_EQ(Format("#.##", 0.5), ".5");
    EXPECT_EQ(Format("0.##", 2.0), "2");
    EXPECT_EQ(Format("0.0#", 2.5), "2.5");
    EXPECT_EQ(Format("0.0 'cm'", 2.25), "2.3 cm");
    EXPECT_EQ(Format("\"x=\"0.00", 1.0), "x=1.00");
    EXPECT_EQ(Format("0.00;(0.00)", -1.0), "-1.00");  // further sections are not used
}

TEST(NumberFormatTest, OutsideTheFixedRangeAndNonFinite) {
    EXPECT_EQ(Format("0.00", 1e20), "1E20");
    EXPECT_EQ(Format("0.00", 123456789012345678.0), "123456789012345680.00");
    EXPECT_EQ(Format("", 0.1), "0.1");
    EXPECT_EQ(Format("", 1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FormatFloat("", 2.5, Russian), "2,5");
    EXPECT_EQ(Format("0.00", std::numeric_limits<double>::quiet_NaN()), "NAN");
    EXPECT_EQ(Format("0.00", std::numeric_limits<double>::infinity()), "INF");
    EXPECT_EQ(Format("0.00E+00", -std::numeric_limits<double>::infinity()), "-INF");
}

TEST(NumberFormatTest, DefaultSettingsApplyToTheShortForm) {
    const FormatSettings saved = DefaultFormatSettings();
    SetDefaultFormatSettings(Russian);
    EXPECT_EQ(FormatFloat("0.00", 1.5), "1,50");
    SetDefaultFormatSettings(saved);
    EXPECT_EQ(FormatFloat("0.00", 1.5), "1.50");
}

TEST(NumberFormatTest, ParseNumberAcceptsCommaOrFullStop) {
    double value = 0;
    EXPECT_TRUE(ParseNumber("1,5", value));
    EXPECT_EQ(value, 1.5);
    EXPECT_TRUE(ParseNumber(" -0.25 ", value));
    EXPECT_EQ(value, -0.25);
    EXPECT_TRUE(ParseNumber("+3", value));
    EXPECT_EQ(value, 3.0);
    EXPECT_TRUE(ParseNumber(",5", value));
    EXPECT_EQ(value, 0.5);
    EXPECT_TRUE(ParseNumber("1,5E-3", value));
    EXPECT_EQ(value, 1.5e-3);
    EXPECT_TRUE(ParseNumber("0.1", value));
    EXPECT_EQ(value, 0.1);
}

TEST(NumberFormatTest, ParseNumberRefusesAndKeepsTheValue) {
    for (const char* bad :
         {"", "  ", "1,5.2", "1 000", "abc", "1e", "--1", "+-1", "1.5x", "nan", "inf", "1e999", "0x10", "1,2,3"}) {
        double value = 42.0;
        EXPECT_FALSE(ParseNumber(bad, value)) << bad;
        EXPECT_EQ(value, 42.0) << bad;
    }
}

}  // namespace
}  // namespace zemvalkorta
