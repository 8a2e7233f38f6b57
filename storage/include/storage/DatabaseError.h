#pragma once

// The one error the storage layer throws. Its kind is decided where the
// engine's status is read, so that callers choose their reaction (and the
// window its wording) without reading the engine's message text.

#include <stdexcept>
#include <string>

namespace zemvalkorta {

enum class DatabaseErrorKind {
    LockConflict,   // another transaction or program holds the rows or the file
    DiskFull,       // the engine could not write the file (full disk, write error)
    FileRefused,    // not a project, damaged, of another version, or cannot be opened
    EngineFailure,  // anything else, our own checks included
};

class DatabaseError : public std::runtime_error {
public:
    explicit DatabaseError(const std::string& detail, DatabaseErrorKind kind = DatabaseErrorKind::EngineFailure)
        : std::runtime_error(detail), kind_(kind) {}

    DatabaseErrorKind Kind() const noexcept { return kind_; }

private:
    DatabaseErrorKind kind_;
};

}  // namespace zemvalkorta
