#pragma once

// Frost-resistance grade F and the interpolated number of cycles N from theta,
// by a constant table of theta thresholds per specimen geometry and concrete kind.

#include <array>
#include <cstdint>

namespace zemvalkorta {

inline constexpr int FrostGradeCount = 13;
inline constexpr int FrostRowCount = 7;
inline constexpr int FrostBoundaryCount = FrostGradeCount + 1;

// Markers inside a row of FrostTable.
inline constexpr double FrostNoUpperLimit = 1000.0;  // at the head of a row
inline constexpr double FrostRowEnd = 0.0;           // closes the row
inline constexpr double FrostNoBoundary = -1.0;      // the grade does not exist for the row

inline constexpr std::array<std::uint16_t, FrostGradeCount> FrostGrades = {25,  35,  50,  75,  100, 150, 200,
                                                                           300, 400, 500, 600, 800, 1000};

using FrostRow = std::array<double, FrostBoundaryCount>;

// Boundaries in units of theta x 1000, descending along a row; boundary j and
// j + 1 enclose the column of FrostGrades[j].
inline constexpr std::array<FrostRow, FrostRowCount> FrostTable = {{
    // cube 100 mm, heavy concrete
    {1000, 3.8, 3.6, 3.5, 2.4, 1.7, 1.0, 0.65, 0.33, 0.2, 0.18, 0.08, 0.05, 0},
    // cube 100 mm, lightweight concrete
    {1000, 4.75, 4.5, 4.0, 3.3, 2.3, 2.0, 0, -1, -1, -1, -1, -1, -1},
    // cube 100 mm, road concrete
    {-1, -1, -1, -1, -1, 0.5, 0.25, 0.18, 0.08, 0, -1, -1, -1, -1},
    // cube 70 mm, heavy concrete
    {1000, 6.0, 5.0, 3.8, 3.25, 1.9, 1.3, 0.75, 0.4, 0.25, 0.18, 0.09, 0, -1},
    // cube 70 mm, lightweight concrete
    {1000, 7.0, 6.0, 5.0, 3.8, 3.4, 2.8, 0, -1, -1, -1, -1, -1, -1},
    // cylinder d70x70 mm, heavy concrete
    {1000, 6.0, 5.0, 3.8, 3.25, 1.9, 1.3, 0.75, 0.4, 0.25, 0.18, 0.09, 0, -1},
    // cylinder d70x70 mm, lightweight concrete
    {1000, 7.0, 6.0, 5.0, 3.8, 3.4, 2.8, 0, -1, -1, -1, -1, -1, -1},
}};

// Row of FrostTable for the pair, or -1 when the pair has no grading.
int GradeRow(std::int32_t geometryKind, std::int32_t concreteKind);

// Grade number from FrostGrades, or -1. tetta is the plain ratio (not x 1000);
// negative or NaN gives -1. A value on a boundary belongs to the higher grade,
// except the lower bound of a row's last column, which belongs to that column.
int FrostGrade(std::int32_t geometryKind, std::int32_t concreteKind, double tetta);

// Number of cycles interpolated inside the grade's column, or -1.
int FrostCycles(std::int32_t geometryKind, std::int32_t concreteKind, double tetta);

// Linear from gradeB at lower to gradeA at upper, the fraction dropped toward
// gradeB; -1 when the column is degenerate or the result is negative.
int InterpolateCycles(int gradeA, int gradeB, double lower, double upper, double x);

}  // namespace zemvalkorta
