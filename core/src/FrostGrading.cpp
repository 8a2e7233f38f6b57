#include "core/FrostGrading.h"

#include <cmath>
#include <limits>

namespace zemvalkorta {

namespace {

// Column j is enclosed by boundaries j and j + 1; the last column is the one
// whose following boundary closes the row.
constexpr int LastScannedColumn = FrostBoundaryCount - 3;

enum class Lookup { Grade, Cycles };

int ScanRow(std::int32_t geometryKind, std::int32_t concreteKind, double tetta, Lookup lookup) {
    if (std::isnan(tetta) || tetta < 0.0) return -1;
    const double x = tetta * 1000.0;
    const int row = GradeRow(geometryKind, concreteKind);
    if (row < 0) return -1;
    const FrostRow& bounds = FrostTable[static_cast<std::size_t>(row)];
    for (int j = 0; j <= LastScannedColumn; ++j) {
        const double upper = bounds[j];
        const double lower = bounds[j + 1];
        const double next = bounds[j + 2];
        if (upper == FrostNoBoundary) continue;
        const int grade = FrostGrades[j];
        const int higherGrade = FrostGrades[j + 1];
        if (next == FrostRowEnd) {
            if (lower <= x && x <= upper)
                return lookup == Lookup::Grade ? grade : InterpolateCycles(grade, higherGrade, lower, upper, x);
            if (x < lower) return higherGrade;
            return -1;
        }
        // The open top column has nothing to interpolate toward.
        if (lookup == Lookup::Cycles && upper == FrostNoUpperLimit && x > lower) return grade;
        if (lower < x && x <= upper)
            return lookup == Lookup::Grade ? grade : InterpolateCycles(grade, higherGrade, lower, upper, x);
    }
    return -1;
}

}  // namespace

int GradeRow(std::int32_t geometryKind, std::int32_t concreteKind) {
    switch (geometryKind) {
        case 0:
            if (concreteKind >= 0 && concreteKind <= 2) return concreteKind;
            return -1;
        case 1:
            if (concreteKind == 0 || concreteKind == 1) return 3 + concreteKind;
            return -1;
        case 2:
            if (concreteKind == 0 || concreteKind == 1) return 5 + concreteKind;
            return -1;
        default:
            return -1;
    }
}

int FrostGrade(std::int32_t geometryKind, std::int32_t concreteKind, double tetta) {
    return ScanRow(geometryKind, concreteKind, tetta, Lookup::Grade);
}

int FrostCycles(std::int32_t geometryKind, std::int32_t concreteKind, double tetta) {
    return ScanRow(geometryKind, concreteKind, tetta, Lookup::Cycles);
}

int InterpolateCycles(int gradeA, int gradeB, double lower, double upper, double x) {
    if (gradeA == gradeB) return -1;
    const double slope = (upper - lower) / (gradeA - gradeB);
    if (!(std::fabs(slope) > 0.0)) return -1;
    const double steps = std::trunc((x - lower) / slope);
    // Outside the int range (a caller's x far beyond the column) there is no count to give.
    constexpr int HalfIntRange = std::numeric_limits<int>::max() / 2;
    if (!(std::fabs(steps) < static_cast<double>(HalfIntRange))) return -1;
    const int cycles = static_cast<int>(steps) + gradeB;
    return cycles < 0 ? -1 : cycles;
}

}  // namespace zemvalkorta
