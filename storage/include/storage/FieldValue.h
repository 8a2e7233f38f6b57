#pragma once

// Values of database fields as the data sets hold them. Blobs are referenced
// by their id and read only when asked for, so that opening a large project
// does not pull every stored image into memory.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "core/MeasureImage.h"
#include "storage/DatabaseError.h"

namespace zemvalkorta {

// Firebird TIMESTAMP precision: 1/10000 s. Kept as a count of those ticks
// since 1899-12-30 so that equality survives a round trip through the file.
struct TimeStamp {
    std::int64_t Ticks = 0;
    friend auto operator<=>(const TimeStamp&, const TimeStamp&) = default;
};

inline constexpr std::int64_t TicksPerDay = 864'000'000;

TimeStamp TimeStampFromDateTime(double dateTime);
double DateTimeFromTimeStamp(TimeStamp stamp);

struct BlobId {
    std::uint32_t High = 0;
    std::uint32_t Low = 0;
    friend bool operator==(const BlobId&, const BlobId&) = default;
};

// A blob either lives in the file (Stored) or was assigned in memory (Data);
// an assigned value wins. Neither means null.
struct BlobField {
    std::optional<BlobId> Stored;
    std::shared_ptr<const ByteArray> Data;

    bool IsNull() const { return !Stored && !Data; }
    // Identity, not content: the same stored blob or the same assigned bytes.
    friend bool operator==(const BlobField& left, const BlobField& right) {
        return left.Stored == right.Stored && left.Data == right.Data;
    }
    static BlobField FromBytes(ByteArray bytes) {
        return BlobField{std::nullopt, std::make_shared<const ByteArray>(std::move(bytes))};
    }
};

using FieldValue = std::variant<std::monostate, std::int64_t, double, TimeStamp, std::string, BlobField>;

inline bool IsNull(const FieldValue& value) {
    if (std::holds_alternative<std::monostate>(value)) return true;
    if (const auto* blob = std::get_if<BlobField>(&value)) return blob->IsNull();
    return false;
}

// Conversions that throw DatabaseError when the field holds another kind.
std::int64_t AsInteger(const FieldValue& value);
TimeStamp AsTimeStamp(const FieldValue& value);
std::string AsText(const FieldValue& value);

}  // namespace zemvalkorta
