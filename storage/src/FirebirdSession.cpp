#include "storage/FirebirdSession.h"

#include <firebird/Interface.h>
#include <ibase.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <utility>

namespace zemvalkorta {

namespace {

using Firebird::FbException;
using Firebird::IStatus;

// Days between the Firebird date origin (1858-11-17) and 1899-12-30.
constexpr std::int64_t FirebirdDateOffset = 15018;
// The client library truncates segment lengths to 16 bits.
constexpr std::size_t BlobPiece = 65535;
// version3, write, read_committed, rec_version, nowait
constexpr unsigned char TransactionParameters[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed,
                                                   isc_tpb_rec_version, isc_tpb_nowait};
constexpr unsigned char ReadOnlyParameters[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_read_committed,
                                                isc_tpb_rec_version, isc_tpb_nowait};

// The engine's lock files default to /tmp/firebird, which belongs to whoever
// used it first; a folder of our own avoids refusals between users.
void PointLockFolderAtUser() {
    if (std::getenv("FIREBIRD_LOCK") != nullptr) return;
    std::string folder = "/tmp/firebird-" + std::to_string(getuid());
    mkdir(folder.c_str(), 0700);
    // Runs once, under Master()'s static guard and before the engine starts
    // its threads; nothing of ours reads the environment concurrently.
    setenv("FIREBIRD_LOCK", folder.c_str(), 0);  // NOLINT(concurrency-mt-unsafe)
}

// The embedded engine runs threads of its own; stopping it before the process
// winds down flushes it and keeps those threads from running on while the C++
// runtime and the sanitizers tear the process apart.
void ShutdownEngineAtExit() {
    Firebird::IMaster* master = Firebird::fb_get_master_interface();
    Firebird::CheckStatusWrapper status(master->getStatus());
    Firebird::IProvider* provider = master->getDispatcher();
    provider->shutdown(&status, 5000, fb_shutrsn_app_stopped);  // nothing to report at exit
    provider->release();
    status.dispose();
}

Firebird::IMaster* Master() {
    static Firebird::IMaster* master = [] {
        PointLockFolderAtUser();
        Firebird::IMaster* first = Firebird::fb_get_master_interface();
        std::atexit(ShutdownEngineAtExit);
        return first;
    }();
    return master;
}

std::string Describe(IStatus* status) {
    char buffer[2048];
    unsigned length = Master()->getUtilInterface()->formatStatus(buffer, sizeof buffer, status);
    std::string text(buffer, std::min<std::size_t>(length, sizeof buffer));
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

// The status vector lists every code of the failure, the outermost first;
// the kind goes by the most telling code anywhere in it.
DatabaseErrorKind Classify(const IStatus* status) {
    bool lock = false, full = false, refused = false;
    const intptr_t* item = status->getErrors();
    while (item != nullptr && *item != isc_arg_end) {
        const intptr_t tag = item[0];
        const intptr_t value = item[1];
        if (tag == isc_arg_gds) {
            switch (value) {
                case isc_lock_conflict:
                case isc_deadlock:
                case isc_update_conflict:
                    lock = true;
                    break;
                case isc_io_write_err:
                    full = true;
                    break;
                case isc_bad_db_format:
                case isc_wrong_ods:
                case isc_badodsver:
                case isc_db_corrupt:
                case isc_bad_checksum:
                case isc_io_open_err:
                    refused = true;
                    break;
                default:
                    break;
            }
        } else if (tag == isc_arg_unix && (value == ENOSPC || value == EDQUOT)) {
            full = true;
        }
        item += tag == isc_arg_cstring ? 3 : 2;
    }
    if (lock) return DatabaseErrorKind::LockConflict;
    if (full) return DatabaseErrorKind::DiskFull;
    if (refused) return DatabaseErrorKind::FileRefused;
    return DatabaseErrorKind::EngineFailure;
}

ISC_QUAD ToQuad(BlobId id) {
    ISC_QUAD quad;
    quad.gds_quad_high = static_cast<ISC_LONG>(id.High);
    quad.gds_quad_low = id.Low;
    return quad;
}

BlobId FromQuad(const ISC_QUAD& quad) {
    return BlobId{static_cast<std::uint32_t>(quad.gds_quad_high), static_cast<std::uint32_t>(quad.gds_quad_low)};
}

template <typename T>
void Put(std::vector<unsigned char>& buffer, unsigned offset, T value) {
    std::memcpy(buffer.data() + offset, &value, sizeof value);
}

template <typename T>
T Get(const std::vector<unsigned char>& buffer, unsigned offset) {
    T value;
    std::memcpy(&value, buffer.data() + offset, sizeof value);
    return value;
}

}  // namespace

struct FirebirdSession::Impl {
    Firebird::IMaster* master = Master();
    Firebird::ThrowStatusWrapper status{master->getStatus()};
    Firebird::IAttachment* attachment = nullptr;
    Firebird::ITransaction* transaction = nullptr;
    std::map<std::string, Firebird::IStatement*> statements;

    ~Impl() { status.dispose(); }

    template <typename Action>
    auto Guard(Action&& action) {
        try {
            return action();
        } catch (const FbException& error) {
            throw DatabaseError(Describe(error.getStatus()), Classify(error.getStatus()));
        }
    }

    void RequireAttachment() const {
        if (attachment == nullptr) throw DatabaseError("Нет соединения с базой данных");
    }

    void EnsureTransaction() {
        RequireAttachment();
        if (transaction == nullptr)
            transaction = attachment->startTransaction(&status, sizeof TransactionParameters, TransactionParameters);
    }

    Firebird::IStatement* Prepare(const std::string& sql, Firebird::ITransaction* within) {
        auto found = statements.find(sql);
        if (found != statements.end()) return found->second;
        auto* statement =
            attachment->prepare(&status, within, 0, sql.c_str(), 3, Firebird::IStatement::PREPARE_PREFETCH_METADATA);
        statements.emplace(sql, statement);
        return statement;
    }

    void ReleaseStatements() noexcept {
        for (auto& [text, statement] : statements) statement->release();
        statements.clear();
    }

    void FillParameters(Firebird::IMessageMetadata* metadata, std::vector<unsigned char>& buffer,
                        const std::vector<FieldValue>& parameters);
    std::vector<FieldValue> ExtractRow(Firebird::IMessageMetadata* metadata, const std::vector<unsigned char>& buffer);
    BlobId WriteBlob(std::span<const std::uint8_t> bytes);
};

void FirebirdSession::Impl::FillParameters(Firebird::IMessageMetadata* metadata, std::vector<unsigned char>& buffer,
                                           const std::vector<FieldValue>& parameters) {
    unsigned count = metadata->getCount(&status);
    if (count != parameters.size())
        throw DatabaseError("Statement expects " + std::to_string(count) + " parameters, got " +
                            std::to_string(parameters.size()));
    for (unsigned i = 0; i < count; ++i) {
        const FieldValue& value = parameters[i];
        unsigned type = metadata->getType(&status, i) & ~1u;
        unsigned offset = metadata->getOffset(&status, i);
        unsigned length = metadata->getLength(&status, i);
        bool null = IsNull(value);
        Put<short>(buffer, metadata->getNullOffset(&status, i), null ? -1 : 0);
        if (null) continue;
        switch (type) {
            case SQL_SHORT:
                Put(buffer, offset, static_cast<std::int16_t>(AsInteger(value)));
                break;
            case SQL_LONG:
                Put(buffer, offset, static_cast<std::int32_t>(AsInteger(value)));
                break;
            case SQL_INT64:
                Put(buffer, offset, AsInteger(value));
                break;
            case SQL_DOUBLE:
                Put(buffer, offset, std::get<double>(value));
                break;
            case SQL_TIMESTAMP: {
                std::int64_t ticks = AsTimeStamp(value).Ticks;
                // A damaged stored date must not wrap into some other date:
                // the engine keeps 0001-01-01 .. 9999-12-31 only.
                constexpr std::int64_t FirstDay = -678575, LastDay = 2973483;  // in the engine's day count
                if (ticks < (FirstDay - FirebirdDateOffset) * TicksPerDay ||
                    ticks >= (LastDay + 1 - FirebirdDateOffset) * TicksPerDay)
                    throw DatabaseError("Date and time out of range 0001-01-01 .. 9999-12-31");
                std::int64_t days = ticks >= 0 ? ticks / TicksPerDay : -((-ticks + TicksPerDay - 1) / TicksPerDay);
                ISC_TIMESTAMP stamp;
                stamp.timestamp_date = static_cast<ISC_DATE>(days + FirebirdDateOffset);
                stamp.timestamp_time = static_cast<ISC_TIME>(ticks - days * TicksPerDay);
                Put(buffer, offset, stamp);
                break;
            }
            case SQL_TEXT: {
                std::string text = AsText(value);
                if (text.size() > length) throw DatabaseError("Text too long for its field");
                std::memset(buffer.data() + offset, ' ', length);
                std::memcpy(buffer.data() + offset, text.data(), text.size());
                break;
            }
            case SQL_VARYING: {
                std::string text = AsText(value);
                if (text.size() > length) throw DatabaseError("Text too long for its field");
                Put(buffer, offset, static_cast<std::uint16_t>(text.size()));
                std::memcpy(buffer.data() + offset + 2, text.data(), text.size());
                break;
            }
            case SQL_BLOB: {
                BlobId id;
                if (const auto* blob = std::get_if<BlobField>(&value)) {
                    id = blob->Data ? WriteBlob(*blob->Data) : *blob->Stored;
                } else {
                    std::string text = AsText(value);
                    id = WriteBlob(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
                }
                Put(buffer, offset, ToQuad(id));
                break;
            }
            default:
                throw DatabaseError("Unsupported parameter type " + std::to_string(type));
        }
    }
}

std::vector<FieldValue> FirebirdSession::Impl::ExtractRow(Firebird::IMessageMetadata* metadata,
                                                          const std::vector<unsigned char>& buffer) {
    unsigned count = metadata->getCount(&status);
    std::vector<FieldValue> row(count);
    for (unsigned i = 0; i < count; ++i) {
        if (Get<short>(buffer, metadata->getNullOffset(&status, i)) != 0) continue;
        unsigned type = metadata->getType(&status, i) & ~1u;
        unsigned offset = metadata->getOffset(&status, i);
        unsigned length = metadata->getLength(&status, i);
        switch (type) {
            case SQL_SHORT:
                row[i] = std::int64_t{Get<std::int16_t>(buffer, offset)};
                break;
            case SQL_LONG:
                row[i] = std::int64_t{Get<std::int32_t>(buffer, offset)};
                break;
            case SQL_INT64:
                row[i] = Get<std::int64_t>(buffer, offset);
                break;
            case SQL_FLOAT:
                row[i] = double{Get<float>(buffer, offset)};
                break;
            case SQL_DOUBLE:
                row[i] = Get<double>(buffer, offset);
                break;
            case SQL_TIMESTAMP: {
                auto stamp = Get<ISC_TIMESTAMP>(buffer, offset);
                row[i] = TimeStamp{(std::int64_t{stamp.timestamp_date} - FirebirdDateOffset) * TicksPerDay +
                                   std::int64_t{stamp.timestamp_time}};
                break;
            }
            case SQL_TEXT:
                row[i] = std::string(reinterpret_cast<const char*>(buffer.data() + offset), length);
                break;
            case SQL_VARYING: {
                auto size = Get<std::uint16_t>(buffer, offset);
                row[i] = std::string(reinterpret_cast<const char*>(buffer.data() + offset + 2), size);
                break;
            }
            case SQL_BLOB:
                row[i] = BlobField{FromQuad(Get<ISC_QUAD>(buffer, offset)), nullptr};
                break;
            default:
                break;  // types the program never stores read as null
        }
    }
    return row;
}

BlobId FirebirdSession::Impl::WriteBlob(std::span<const std::uint8_t> bytes) {
    ISC_QUAD quad{};
    auto* blob = attachment->createBlob(&status, transaction, &quad, 0, nullptr);
    try {
        for (std::size_t done = 0; done < bytes.size(); done += BlobPiece) {
            auto piece = static_cast<unsigned>(std::min(BlobPiece, bytes.size() - done));
            blob->putSegment(&status, piece, bytes.data() + done);
        }
        blob->close(&status);
    } catch (...) {
        blob->release();
        throw;
    }
    return FromQuad(quad);
}

FirebirdSession::FirebirdSession() : impl_(std::make_unique<Impl>()) {}

FirebirdSession::~FirebirdSession() {
    try {
        if (IsAttached()) Detach();
    } catch (const std::exception&) {
        Abandon();
    }
}

void FirebirdSession::CreateDatabase(const std::string& statement, int dialect) {
    if (IsAttached()) throw DatabaseError("Already connected");
    impl_->Guard([&] {
        FB_BOOLEAN isCreate = 0;
        impl_->attachment = impl_->master->getUtilInterface()->executeCreateDatabase(
            &impl_->status, static_cast<unsigned>(statement.size()), statement.c_str(), static_cast<unsigned>(dialect),
            &isCreate);
    });
    if (impl_->attachment == nullptr) throw DatabaseError("The statement did not create a database");
}

void FirebirdSession::Attach(const ConnectionParameters& parameters) {
    if (IsAttached()) throw DatabaseError("Already connected");
    impl_->Guard([&] {
        auto* util = impl_->master->getUtilInterface();
        auto* builder = util->getXpbBuilder(&impl_->status, Firebird::IXpbBuilder::DPB, nullptr, 0);
        try {
            builder->insertString(&impl_->status, isc_dpb_user_name, parameters.User.c_str());
            builder->insertString(&impl_->status, isc_dpb_password, parameters.Password.c_str());
            builder->insertString(&impl_->status, isc_dpb_lc_ctype, parameters.CharacterSet.c_str());
            builder->insertInt(&impl_->status, isc_dpb_sql_dialect, parameters.Dialect);
            if (parameters.WithoutGarbageCollection) builder->insertTag(&impl_->status, isc_dpb_no_garbage_collect);
            auto* provider = impl_->master->getDispatcher();
            try {
                impl_->attachment = provider->attachDatabase(&impl_->status, parameters.Path.c_str(),
                                                             builder->getBufferLength(&impl_->status),
                                                             builder->getBuffer(&impl_->status));
            } catch (...) {
                provider->release();
                throw;
            }
            provider->release();
        } catch (...) {
            builder->dispose();
            throw;
        }
        builder->dispose();
    });
}

void FirebirdSession::Detach() {
    if (!IsAttached()) return;
    try {
        impl_->Guard([&] {
            if (impl_->transaction != nullptr) {
                impl_->transaction->commit(&impl_->status);
                impl_->transaction = nullptr;
            }
            impl_->ReleaseStatements();
            impl_->attachment->detach(&impl_->status);
            impl_->attachment = nullptr;
        });
    } catch (...) {
        Abandon();
        throw;
    }
}

bool FirebirdSession::Abandon() noexcept {
    Firebird::CheckStatusWrapper quiet(impl_->master->getStatus());
    bool clean = true;
    impl_->ReleaseStatements();
    if (impl_->transaction != nullptr) {
        impl_->transaction->rollback(&quiet);
        if (quiet.getState() & IStatus::STATE_ERRORS) {
            impl_->transaction->release();
            clean = false;
        }
        impl_->transaction = nullptr;
    }
    if (impl_->attachment != nullptr) {
        quiet.init();
        impl_->attachment->detach(&quiet);
        if (quiet.getState() & IStatus::STATE_ERRORS) {
            impl_->attachment->release();
            clean = false;
        }
        impl_->attachment = nullptr;
    }
    quiet.dispose();
    return clean;
}

bool FirebirdSession::IsAttached() const { return impl_->attachment != nullptr; }

bool FirebirdSession::Ping() noexcept {
    if (impl_->attachment == nullptr) return false;
    Firebird::CheckStatusWrapper quiet(impl_->master->getStatus());
    impl_->attachment->ping(&quiet);
    const bool alive = (quiet.getState() & IStatus::STATE_ERRORS) == 0;
    quiet.dispose();
    return alive;
}

void FirebirdSession::StartTransaction(bool readOnly) {
    impl_->Guard([&] {
        impl_->RequireAttachment();
        if (impl_->transaction != nullptr) return;
        if (readOnly)
            impl_->transaction =
                impl_->attachment->startTransaction(&impl_->status, sizeof ReadOnlyParameters, ReadOnlyParameters);
        else
            impl_->EnsureTransaction();
    });
}

bool FirebirdSession::InTransaction() const { return impl_->transaction != nullptr; }

void FirebirdSession::CommitRetaining() {
    if (impl_->transaction == nullptr) return;
    impl_->Guard([&] { impl_->transaction->commitRetaining(&impl_->status); });
}

void FirebirdSession::Commit() {
    if (impl_->transaction == nullptr) return;
    impl_->Guard([&] {
        impl_->transaction->commit(&impl_->status);
        impl_->transaction = nullptr;
    });
}

void FirebirdSession::Rollback() {
    if (impl_->transaction == nullptr) return;
    Firebird::ITransaction* transaction = std::exchange(impl_->transaction, nullptr);
    try {
        impl_->Guard([&] { transaction->rollback(&impl_->status); });
    } catch (...) {
        transaction->release();
        throw;
    }
}

void FirebirdSession::Execute(const std::string& sql, const std::vector<FieldValue>& parameters) {
    impl_->Guard([&] {
        impl_->EnsureTransaction();
        auto* statement = impl_->Prepare(sql, impl_->transaction);
        auto* input = statement->getInputMetadata(&impl_->status);
        try {
            std::vector<unsigned char> buffer(input->getMessageLength(&impl_->status));
            impl_->FillParameters(input, buffer, parameters);
            statement->execute(&impl_->status, impl_->transaction, input, buffer.data(), nullptr, nullptr);
        } catch (...) {
            input->release();
            throw;
        }
        input->release();
    });
}

QueryResult FirebirdSession::Select(const std::string& sql, const std::vector<FieldValue>& parameters) {
    return impl_->Guard([&] {
        impl_->EnsureTransaction();
        auto* statement = impl_->Prepare(sql, impl_->transaction);
        auto* input = statement->getInputMetadata(&impl_->status);
        auto* output = statement->getOutputMetadata(&impl_->status);
        QueryResult result;
        try {
            std::vector<unsigned char> inputBuffer(input->getMessageLength(&impl_->status));
            impl_->FillParameters(input, inputBuffer, parameters);
            unsigned columns = output->getCount(&impl_->status);
            for (unsigned i = 0; i < columns; ++i) result.Columns.emplace_back(output->getAlias(&impl_->status, i));
            std::vector<unsigned char> rowBuffer(output->getMessageLength(&impl_->status));
            auto* cursor =
                statement->openCursor(&impl_->status, impl_->transaction, input, inputBuffer.data(), output, 0);
            try {
                while (cursor->fetchNext(&impl_->status, rowBuffer.data()) == IStatus::RESULT_OK)
                    result.Rows.push_back(impl_->ExtractRow(output, rowBuffer));
                cursor->close(&impl_->status);
            } catch (...) {
                cursor->release();
                throw;
            }
        } catch (...) {
            input->release();
            output->release();
            throw;
        }
        input->release();
        output->release();
        return result;
    });
}

ByteArray FirebirdSession::ReadBlob(BlobId id) {
    return impl_->Guard([&] {
        impl_->EnsureTransaction();
        ISC_QUAD quad = ToQuad(id);
        auto* blob = impl_->attachment->openBlob(&impl_->status, impl_->transaction, &quad, 0, nullptr);
        ByteArray bytes;
        try {
            std::uint8_t piece[BlobPiece];
            for (;;) {
                unsigned length = 0;
                int code = blob->getSegment(&impl_->status, sizeof piece, piece, &length);
                if (code != IStatus::RESULT_OK && code != IStatus::RESULT_SEGMENT) break;
                bytes.insert(bytes.end(), piece, piece + length);
            }
            blob->close(&impl_->status);
        } catch (...) {
            blob->release();
            throw;
        }
        return bytes;
    });
}

BlobId FirebirdSession::WriteBlob(std::span<const std::uint8_t> bytes) {
    return impl_->Guard([&] {
        impl_->EnsureTransaction();
        return impl_->WriteBlob(bytes);
    });
}

std::int64_t FirebirdSession::NextGeneratorValue(const std::string& generator) {
    return impl_->Guard([&] {
        impl_->RequireAttachment();
        auto* own =
            impl_->attachment->startTransaction(&impl_->status, sizeof TransactionParameters, TransactionParameters);
        std::int64_t value = 0;
        try {
            std::string sql = "SELECT GEN_ID(" + generator + ", 1) FROM RDB$DATABASE";
            auto* statement = impl_->Prepare(sql, own);
            auto* metadata = statement->getOutputMetadata(&impl_->status);
            try {
                std::vector<unsigned char> buffer(metadata->getMessageLength(&impl_->status));
                statement->execute(&impl_->status, own, nullptr, nullptr, metadata, buffer.data());
                value = AsInteger(impl_->ExtractRow(metadata, buffer).at(0));
            } catch (...) {
                metadata->release();
                throw;
            }
            metadata->release();
            own->commit(&impl_->status);
        } catch (...) {
            Firebird::CheckStatusWrapper quiet(impl_->master->getStatus());
            own->rollback(&quiet);
            if (quiet.getState() & IStatus::STATE_ERRORS) own->release();
            quiet.dispose();
            throw;
        }
        return value;
    });
}

}  // namespace zemvalkorta
