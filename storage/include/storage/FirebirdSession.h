#pragma once

// One connection to a Firebird database through the client library's object
// interface, with the single transaction the program works in. The embedded
// engine serves plain file paths; "host:/path" goes to a server.

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "storage/FieldValue.h"

namespace zemvalkorta {

struct ConnectionParameters {
    std::string Path;
    std::string User = "SYSDBA";
    std::string Password;
    std::string CharacterSet = "ASCII";
    int Dialect = 3;
    // Reading may otherwise clean up old record versions, which writes pages.
    bool WithoutGarbageCollection = false;
};

struct QueryResult {
    std::vector<std::string> Columns;
    std::vector<std::vector<FieldValue>> Rows;
};

class FirebirdSession {
public:
    FirebirdSession();
    ~FirebirdSession();
    FirebirdSession(const FirebirdSession&) = delete;
    FirebirdSession& operator=(const FirebirdSession&) = delete;

    // Runs a complete CREATE DATABASE statement; the new database is attached.
    void CreateDatabase(const std::string& statement, int dialect);
    void Attach(const ConnectionParameters& parameters);
    // Commits an active transaction first, as the program's transaction ends
    // with a commit when its connection closes.
    void Detach();
    // Drops the connection without committing: an active transaction is
    // rolled back. True when the engine took the rollback and the detach;
    // false when the connection was already broken (it is released anyway).
    bool Abandon() noexcept;
    bool IsAttached() const;
    // Asks the engine or server whether the connection still works.
    bool Ping() noexcept;

    // A read-only transaction commits nothing and leaves the transaction
    // inventory alone; used to inspect a file before accepting it.
    void StartTransaction(bool readOnly = false);
    bool InTransaction() const;
    void CommitRetaining();
    void Commit();
    // Ends the transaction without committing; the next statement starts a
    // new one. The transaction is dropped also when the engine refuses.
    void Rollback();

    // Statements take positional "?" parameters.
    void Execute(const std::string& sql, const std::vector<FieldValue>& parameters = {});
    QueryResult Select(const std::string& sql, const std::vector<FieldValue>& parameters = {});

    ByteArray ReadBlob(BlobId id);
    BlobId WriteBlob(std::span<const std::uint8_t> bytes);

    // Draws a value in a transaction of its own, so that the value is spent
    // even when the row it was drawn for is cancelled.
    std::int64_t NextGeneratorValue(const std::string& generator);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace zemvalkorta
