#pragma once

// The texts the report writes into its fields, one function per field kind.
// Numbers use the given separators; masses and volumes not above 0 leave the
// line empty.

#include <QString>
#include <QStringList>
#include <cstdint>

#include "core/MeasureResult.h"
#include "core/NumberFormat.h"

namespace zemvalkorta {

// "dd.mm.yyyy  hh:mm" of a date counted in days since 1899-12-30.
QString ReportDateTimeText(double measureDate);
// "начало  " and the start; "окончание  " and the start plus the duration.
// The whole duration is added, so runs of a day or more keep their true end.
QString BeginDateTimeText(const TMeasureResult& measure);
QString EndDateTimeText(const TMeasureResult& measure);

// "100.0x 100.0x 100.0", "d 70.0x 70.0" for the cylinder, "?" otherwise.
QString DimensionsText(std::int32_t geometryKind, const std::array<double, 3>& dimensions,
                       const FormatSettings& separators);
// Water absorption by mass and by volume in percent, "0.0", or empty.
QString AbsorptionByMassText(double primaryWeight, double saturatedWeight, const FormatSettings& separators);
QString AbsorptionByVolumeText(double primaryWeight, double saturatedWeight, double volume,
                               const FormatSettings& separators);
QString WeightText(double weight, const FormatSettings& separators);

// The four lines of the mean grade field.
QStringList AverageFrostResistanceLines(const TMeasureResult& measure);

bool HasConcreteSpecimen(const TMeasureResult& measure);
bool HasStandardSpecimen(const TMeasureResult& measure);

}  // namespace zemvalkorta
