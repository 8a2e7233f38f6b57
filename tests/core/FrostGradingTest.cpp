#include "core/FrostGrading.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace zemvalkorta {
namespace {

// A theta whose product with 1000 is exactly x, so that a probe lands on the
// boundary itself and not one rounding step beside it.
double ThetaFor(double x) {
    double theta = x / 1000.0;
    for (int i = 0; i < 8 && theta * 1000.0 != x; ++i)
        theta = std::nextafter(theta, theta * 1000.0 < x ? std::numeric_limits<double>::infinity() : -1.0);
    EXPECT_EQ(theta * 1000.0, x) << "no theta for " << x;
    return theta;
}

double Above(double x) { return std::nextafter(x, std::numeric_limits<double>::infinity()); }

// The nearest theta on the given side whose product with 1000 leaves the bound.
double ThetaBeside(double bound, double direction) {
    double theta = ThetaFor(bound);
    while (theta * 1000.0 == bound) theta = std::nextafter(theta, direction);
    return theta;
}

// The grade ranges of theta x 1000 as the grading table is published:
// parenthesis = bound excluded, bracket = bound included.
struct Range {
    int grade;
    double lower;
    bool lowerIncluded;
    double upper;
    bool upperIncluded;
};

const std::vector<Range> HeavyCube100 = {
    {25, 3.8, false, 1000, true},  {35, 3.6, false, 3.8, true},    {50, 3.5, false, 3.6, true},
    {75, 2.4, false, 3.5, true},   {100, 1.7, false, 2.4, true},   {150, 1.0, false, 1.7, true},
    {200, 0.65, false, 1.0, true}, {300, 0.33, false, 0.65, true}, {400, 0.2, false, 0.33, true},
    {500, 0.18, false, 0.2, true}, {600, 0.08, false, 0.18, true}, {800, 0.05, true, 0.08, true},
    {1000, 0, true, 0.05, false}};
const std::vector<Range> LightCube100 = {{25, 4.75, false, 1000, true}, {35, 4.5, false, 4.75, true},
                                         {50, 4.0, false, 4.5, true},   {75, 3.3, false, 4.0, true},
                                         {100, 2.3, false, 3.3, true},  {150, 2.0, true, 2.3, true},
                                         {200, 0, true, 2.0, false}};
const std::vector<Range> RoadCube100 = {{150, 0.25, false, 0.5, true},
                                        {200, 0.18, false, 0.25, true},
                                        {300, 0.08, true, 0.18, true},
                                        {400, 0, true, 0.08, false}};
const std::vector<Range> HeavySmall = {
    {25, 6.0, false, 1000, true},   {35, 5.0, false, 6.0, true},   {50, 3.8, false, 5.0, true},
    {75, 3.25, false, 3.8, true},   {100, 1.9, false, 3.25, true}, {150, 1.3, false, 1.9, true},
    {200, 0.75, false, 1.3, true},  {300, 0.4, false, 0.75, true}, {400, 0.25, false, 0.4, true},
    {500, 0.18, false, 0.25, true}, {600, 0.09, true, 0.18, true}, {800, 0, true, 0.09, false}};
const std::vector<Range> LightSmall = {
    {25, 7.0, false, 1000, true}, {35, 6.0, false, 7.0, true}, {50, 5.0, false, 6.0, true}, {75, 3.8, false, 5.0, true},
    {100, 3.4, false, 3.8, true}, {150, 2.8, true, 3.4, true}, {200, 0, true, 2.8, false}};

int GradeOfRanges(const std::vector<Range>& ranges, double x) {
    for (const Range& r : ranges) {
        const bool aboveLower = r.lowerIncluded ? x >= r.lower : x > r.lower;
        const bool belowUpper = r.upperIncluded ? x <= r.upper : x < r.upper;
        if (aboveLower && belowUpper) return r.grade;
    }
    return -1;
}

struct Pair {
    std::int32_t geometry;
    std::int32_t kind;
    const std::vector<Range>* ranges;
};

const Pair GradedPairs[] = {{0, 0, &HeavyCube100}, {0, 1, &LightCube100}, {0, 2, &RoadCube100}, {1, 0, &HeavySmall},
                            {1, 1, &LightSmall},   {2, 0, &HeavySmall},   {2, 1, &LightSmall}};

TEST(GradeRow, MapsGeometryAndConcreteKindToTheTableRow) {
    EXPECT_EQ(GradeRow(0, 0), 0);
    EXPECT_EQ(GradeRow(0, 1), 1);
    EXPECT_EQ(GradeRow(0, 2), 2);
    EXPECT_EQ(GradeRow(1, 0), 3);
    EXPECT_EQ(GradeRow(1, 1), 4);
    EXPECT_EQ(GradeRow(2, 0), 5);
    EXPECT_EQ(GradeRow(2, 1), 6);
    for (std::int32_t geometry : {-1, 0, 1, 2, 3, 1000}) EXPECT_EQ(GradeRow(geometry, 3), -1);
    for (std::int32_t kind : {-1, 0, 1, 2, 3, 7}) EXPECT_EQ(GradeRow(3, kind), -1);
    EXPECT_EQ(GradeRow(1, 2), -1);  // no road concrete in 70 mm cubes
    EXPECT_EQ(GradeRow(2, 2), -1);
    EXPECT_EQ(GradeRow(0, -1), -1);
}

TEST(FrostGrade, EveryBoundaryOfEveryRowFallsOnTheRightSide) {
    for (const Pair& pair : GradedPairs) {
        for (const Range& range : *pair.ranges) {
            for (double bound : {range.lower, range.upper}) {
                const double infinity = std::numeric_limits<double>::infinity();
                for (double theta : {ThetaBeside(bound, -infinity), ThetaFor(bound), ThetaBeside(bound, infinity)}) {
                    if (theta < 0) continue;  // below zero is the negative-theta case
                    const double x = theta * 1000.0;
                    EXPECT_EQ(FrostGrade(pair.geometry, pair.kind, theta), GradeOfRanges(*pair.ranges, x))
                        << "geometry " << pair.geometry << " kind " << pair.kind << " x " << x;
                }
            }
            const double middle = (range.lower + range.upper) / 2;
            EXPECT_EQ(FrostGrade(pair.geometry, pair.kind, middle / 1000), range.grade);
        }
    }
}

TEST(FrostGrade, PublishedExamples) {
    EXPECT_EQ(FrostGrade(0, 0, 3.8e-3), 35);
    EXPECT_EQ(FrostGrade(0, 0, 3.81e-3), 25);
    EXPECT_EQ(FrostGrade(0, 0, 0.05e-3), 800);
    EXPECT_EQ(FrostGrade(0, 0, 0.049e-3), 1000);
    EXPECT_EQ(FrostGrade(0, 0, 0.0), 1000);
    EXPECT_EQ(FrostGrade(0, 1, 2.0e-3), 150);
    EXPECT_EQ(FrostGrade(0, 1, 1.99e-3), 200);
    EXPECT_EQ(FrostGrade(0, 2, 0.6e-3), -1);
    EXPECT_EQ(FrostGrade(0, 2, 0.07e-3), 400);
    EXPECT_EQ(FrostGrade(1, 2, 1e-3), -1);
    for (std::int32_t geometry : {0, 1, 2}) EXPECT_EQ(FrostGrade(geometry, 3, 1e-3), -1);
}

TEST(FrostGrade, NegativeNanAndBeyondTheTopGiveNone) {
    for (const Pair& pair : GradedPairs) {
        EXPECT_EQ(FrostGrade(pair.geometry, pair.kind, -1e-3), -1);
        EXPECT_EQ(FrostGrade(pair.geometry, pair.kind, -1.0 / 600.0), -1);  // dV of -1 over a 600 cm3 specimen
        EXPECT_EQ(FrostGrade(pair.geometry, pair.kind, std::numeric_limits<double>::quiet_NaN()), -1);
        EXPECT_EQ(FrostGrade(pair.geometry, pair.kind, Above(1000.0) / 1000.0), -1);
        EXPECT_EQ(FrostGrade(pair.geometry, pair.kind, 1.5), -1);
        EXPECT_EQ(FrostGrade(pair.geometry, pair.kind, std::numeric_limits<double>::infinity()), -1);
    }
}

TEST(FrostCycles, PublishedExamples) {
    EXPECT_EQ(FrostCycles(0, 0, 3.7e-3), 43);
    EXPECT_EQ(FrostCycles(0, 0, 0.07e-3), 867);
    EXPECT_EQ(FrostCycles(0, 0, 0.05e-3), 1000);  // the lower bound of a column is its higher grade
    EXPECT_EQ(FrostCycles(0, 0, 0.0), 1000);
    EXPECT_EQ(FrostCycles(0, 0, 1.5), 25);  // the open top column, even above 1000
    EXPECT_EQ(FrostCycles(0, 0, 5e-3), 25);
    EXPECT_EQ(FrostCycles(0, 2, 0.6e-3), -1);
    EXPECT_EQ(FrostCycles(0, 2, 0.07e-3), 400);
    EXPECT_EQ(FrostCycles(1, 2, 1e-3), -1);
    EXPECT_EQ(FrostCycles(0, 3, 1e-3), -1);
}

TEST(FrostCycles, NegativeAndNanGiveNone) {
    for (const Pair& pair : GradedPairs) {
        EXPECT_EQ(FrostCycles(pair.geometry, pair.kind, -1e-6), -1);
        EXPECT_EQ(FrostCycles(pair.geometry, pair.kind, std::numeric_limits<double>::quiet_NaN()), -1);
    }
}

// Across every row the number of cycles lies between the grade and the next
// higher grade, never grows with theta and agrees with FrostGrade on which is none.
TEST(FrostCycles, StaysInsideTheGradeAndFallsWithTheta) {
    for (const Pair& pair : GradedPairs) {
        int previous = std::numeric_limits<int>::max();
        for (int step = 0; step <= 8000; ++step) {
            const double x = step * 0.001;
            const double theta = x / 1000.0;
            const int grade = FrostGrade(pair.geometry, pair.kind, theta);
            const int cycles = FrostCycles(pair.geometry, pair.kind, theta);
            SCOPED_TRACE(testing::Message() << "geometry " << pair.geometry << " kind " << pair.kind << " x " << x);
            if (grade < 0) {
                EXPECT_EQ(cycles, -1);
                continue;
            }
            int next = grade;
            for (int j = 0; j + 1 < FrostGradeCount; ++j)
                if (FrostGrades[j] == grade) next = FrostGrades[j + 1];
            EXPECT_GE(cycles, grade);
            EXPECT_LE(cycles, next);
            EXPECT_LE(cycles, previous);
            previous = cycles;
        }
    }
}

TEST(InterpolateCycles, DegenerateColumnsGiveNone) {
    EXPECT_EQ(InterpolateCycles(50, 50, 3.6, 3.8, 3.7), -1);
    EXPECT_EQ(InterpolateCycles(35, 50, 3.6, 3.6, 3.6), -1);
    EXPECT_EQ(InterpolateCycles(35, 50, 3.6, 3.8, 1e300), -1);  // far outside: no count, no overflow
    EXPECT_EQ(InterpolateCycles(35, 50, 3.6, 3.8, 100.0), -1);  // the count would be negative
    EXPECT_EQ(InterpolateCycles(35, 50, 3.6, 3.8, 3.6), 50);
}

}  // namespace
}  // namespace zemvalkorta
