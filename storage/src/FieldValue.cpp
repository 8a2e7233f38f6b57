#include "storage/FieldValue.h"

#include <cmath>

namespace zemvalkorta {

TimeStamp TimeStampFromDateTime(double dateTime) {
    return TimeStamp{std::llround(dateTime * static_cast<double>(TicksPerDay))};
}

double DateTimeFromTimeStamp(TimeStamp stamp) {
    return static_cast<double>(stamp.Ticks) / static_cast<double>(TicksPerDay);
}

std::int64_t AsInteger(const FieldValue& value) {
    if (const auto* integer = std::get_if<std::int64_t>(&value)) return *integer;
    if (const auto* real = std::get_if<double>(&value)) return std::llround(*real);
    throw DatabaseError("Field does not hold an integer");
}

TimeStamp AsTimeStamp(const FieldValue& value) {
    if (const auto* stamp = std::get_if<TimeStamp>(&value)) return *stamp;
    throw DatabaseError("Field does not hold a date-time");
}

std::string AsText(const FieldValue& value) {
    if (std::holds_alternative<std::monostate>(value)) return {};
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    if (const auto* integer = std::get_if<std::int64_t>(&value)) return std::to_string(*integer);
    throw DatabaseError("Field does not hold text");
}

}  // namespace zemvalkorta
