#include "storage/MainDataModuleUnit.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>

#include "core/TextCodec.h"
#include "storage/CheckedProjects.h"
#include "storage/ProjectProbe.h"

namespace zemvalkorta {

namespace {

std::string CreationParameters() {
    return std::string("USER 'SYSDBA' PASSWORD '") + ProjectPassword +
           "'\r\n"
           "PAGE_SIZE = 4096\r\n"
           "DEFAULT CHARACTER SET ASCII\r\n";
}

const char* const SchemaStatements[] = {
    "CREATE TABLE SYSTEM_TABLE(SYSTEM_TABLE_PK INTEGER NOT NULL,DEVICE_NAME CHAR(32),DEVICE_DATA_VERSION "
    "INTEGER,PROJECT_DESCRIPTION BLOB SUB_TYPE 0 SEGMENT SIZE 256,PRIMARY KEY (SYSTEM_TABLE_PK));",
    "CREATE GENERATOR SYSTEM_TABLE_GEN;",
    "CREATE TRIGGER CREATE_SYSTEM_RECORD FOR SYSTEM_TABLE ACTIVE BEFORE INSERT POSITION 0 AS BEGIN  if "
    "(NEW.SYSTEM_TABLE_PK is null) then   NEW.SYSTEM_TABLE_PK = gen_id(SYSTEM_TABLE_GEN, 1); END;",
    nullptr,  // the identity row, built from DeviceName and CurrentDataVersion
    "CREATE TABLE MEASURE_RESULT_TABLE(MEASURE_RESULT_TABLE_PK INTEGER NOT NULL,MEASURE_DATE "
    "TIMESTAMP,MEASURE_TIME TIMESTAMP,MEASURE_NUMBER INTEGER,MEASURE_DATA BLOB SUB_TYPE 0 SEGMENT SIZE "
    "256,MEASURE_COMMENT BLOB SUB_TYPE 0 SEGMENT SIZE 256,PRIMARY KEY (MEASURE_RESULT_TABLE_PK));",
    "CREATE GENERATOR MEASURE_RESULT_TABLE_GEN;",
    "CREATE TRIGGER CREATE_MEASURE_RESULT_RECORD FOR MEASURE_RESULT_TABLE ACTIVE BEFORE INSERT POSITION 0 AS "
    "BEGIN  if (NEW.MEASURE_RESULT_TABLE_PK is null) then   NEW.MEASURE_RESULT_TABLE_PK = "
    "gen_id(MEASURE_RESULT_TABLE_GEN, 1); END;",
};

DataSetStatements ResultStatements() {
    return DataSetStatements{
        "SELECT * FROM MEASURE_RESULT_TABLE\n"
        "ORDER BY MEASURE_DATE, MEASURE_TIME, MEASURE_NUMBER DESC",
        "SELECT * FROM MEASURE_RESULT_TABLE\n"
        "WHERE MEASURE_RESULT_TABLE_PK = ?OLD_MEASURE_RESULT_TABLE_PK\n"
        "ORDER BY MEASURE_DATE, MEASURE_TIME, MEASURE_NUMBER DESC",
        "INSERT INTO MEASURE_RESULT_TABLE(\n"
        "  MEASURE_RESULT_TABLE_PK,\n  MEASURE_DATE,\n  MEASURE_TIME,\n  MEASURE_NUMBER,\n  MEASURE_DATA,\n"
        "  MEASURE_COMMENT\n)\nVALUES(\n"
        "  ?MEASURE_RESULT_TABLE_PK,\n  ?MEASURE_DATE,\n  ?MEASURE_TIME,\n  ?MEASURE_NUMBER,\n  ?MEASURE_DATA,\n"
        "  ?MEASURE_COMMENT\n)",
        "UPDATE MEASURE_RESULT_TABLE\nSET\n"
        "  MEASURE_RESULT_TABLE_PK = ?MEASURE_RESULT_TABLE_PK,\n  MEASURE_DATE = ?MEASURE_DATE,\n"
        "  MEASURE_TIME = ?MEASURE_TIME,\n  MEASURE_NUMBER = ?MEASURE_NUMBER,\n  MEASURE_DATA = ?MEASURE_DATA,\n"
        "  MEASURE_COMMENT = ?MEASURE_COMMENT\n"
        "WHERE\n  MEASURE_RESULT_TABLE_PK = ?OLD_MEASURE_RESULT_TABLE_PK",
        "DELETE FROM MEASURE_RESULT_TABLE\n"
        "WHERE\n  MEASURE_RESULT_TABLE_PK = ?OLD_MEASURE_RESULT_TABLE_PK",
    };
}

DataSetStatements DescriptionStatements() {
    return DataSetStatements{
        "SELECT * FROM SYSTEM_TABLE",
        "SELECT * FROM SYSTEM_TABLE\n"
        "WHERE SYSTEM_TABLE_PK = ?OLD_SYSTEM_TABLE_PK",
        "INSERT INTO SYSTEM_TABLE(\n  SYSTEM_TABLE_PK,\n  DEVICE_NAME,\n  DEVICE_DATA_VERSION,\n"
        "  PROJECT_DESCRIPTION\n)\nVALUES(\n  ?SYSTEM_TABLE_PK,\n  ?DEVICE_NAME,\n  ?DEVICE_DATA_VERSION,\n"
        "  ?PROJECT_DESCRIPTION\n)",
        "UPDATE SYSTEM_TABLE\nSET\n  SYSTEM_TABLE_PK = ?SYSTEM_TABLE_PK,\n  DEVICE_NAME = ?DEVICE_NAME,\n"
        "  DEVICE_DATA_VERSION = ?DEVICE_DATA_VERSION,\n  PROJECT_DESCRIPTION = ?PROJECT_DESCRIPTION\n"
        "WHERE\n  SYSTEM_TABLE_PK = ?OLD_SYSTEM_TABLE_PK",
        "DELETE FROM SYSTEM_TABLE\n"
        "WHERE\n  SYSTEM_TABLE_PK = ?OLD_SYSTEM_TABLE_PK",
    };
}

std::string QuotedLiteral(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c;
        if (c == '\'') quoted += '\'';
    }
    return quoted + "'";
}

std::string TrimRight(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

// Even a read-only look at a database writes to it: the header page counts
// attachments and transactions, and the transaction inventory page records
// the state of the transaction used. A refused file gets those pages and its
// modification time back, so that it stays exactly as it was.
class PageSnapshot {
public:
    static std::optional<PageSnapshot> Take(const std::string& path) {
        if (IsServerPath(path)) return std::nullopt;
        std::error_code error;
        auto stamp = std::filesystem::last_write_time(path, error);
        if (error) return std::nullopt;
        std::ifstream file(path, std::ios::binary);
        PageSnapshot snapshot(path, stamp);
        std::string header = snapshot.ReadPage(file, 0, 1024);
        // Byte 0 is the page type (1 = header); the page size follows the 16-byte page head.
        if (header.size() < 1024 || header[0] != 1) return std::nullopt;
        snapshot.pageSize_ = Word(header, 16);
        if (snapshot.pageSize_ < 1024 || snapshot.pageSize_ > 32768) return std::nullopt;
        snapshot.size_ = std::filesystem::file_size(path, error);
        if (error) return std::nullopt;
        // A damaged page can make the engine back out work on other pages
        // before it refuses the file; a small file is kept whole, since
        // reading it costs less than an attachment.
        if (snapshot.size_ <= WholeFileLimit) {
            for (std::uint32_t number = 0; number * std::uintmax_t{snapshot.pageSize_} < snapshot.size_; ++number)
                snapshot.Keep(file, number);
            return snapshot;
        }
        snapshot.Keep(file, 0);
        // Transactions to come: the next number and a few after it.
        std::uint32_t next = Long(snapshot.pages_.front().second, 36);
        std::uint32_t perPage = (snapshot.pageSize_ - 20) * 4;
        std::uint32_t firstIndex = (next + 1) / perPage;
        std::uint32_t lastIndex = (next + 16) / perPage;
        // The first inventory page is the first page of type 3; later ones follow its chain.
        std::uint32_t page = 0;
        for (std::uint32_t number = 1; number < 4096 && page == 0; ++number) {
            std::string head = snapshot.ReadPage(file, number, 1);
            if (head.empty()) break;
            if (head[0] == 3) page = number;
        }
        for (std::uint32_t index = 0; page != 0 && index <= lastIndex; ++index) {
            std::string inventory = snapshot.ReadPage(file, page, snapshot.pageSize_);
            if (inventory.size() != snapshot.pageSize_ || inventory[0] != 3) break;
            if (index >= firstIndex) snapshot.pages_.emplace_back(page, inventory);
            page = Long(inventory, 16);
        }
        return snapshot;
    }

    // An engine that serves a database holds an exclusive flock on its file,
    // also while another program has it open. Only a file nobody holds gets
    // its pages back: the engine may have written the header page before it
    // found a damaged page and refused to attach, but a file in use elsewhere
    // was never written by us and must not be touched.
    void Restore() const {
        const int descriptor = ::open(path_.c_str(), O_RDWR | O_CLOEXEC);
        if (descriptor < 0) return;
        if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0) {
            for (const auto& [number, bytes] : pages_) {
                const auto offset = static_cast<off_t>(number) * static_cast<off_t>(pageSize_);
                if (::pwrite(descriptor, bytes.data(), bytes.size(), offset) != static_cast<ssize_t>(bytes.size()))
                    break;
            }
            struct stat status {};
            // Best effort, as the page writes above: what could not be cut back stays.
            if (::fstat(descriptor, &status) == 0 && static_cast<std::uintmax_t>(status.st_size) > size_) {
                [[maybe_unused]] const int truncated = ::ftruncate(descriptor, static_cast<off_t>(size_));
            }
            std::error_code ignored;
            std::filesystem::last_write_time(path_, stamp_, ignored);
            ::flock(descriptor, LOCK_UN);
        }
        ::close(descriptor);
    }

private:
    PageSnapshot(std::string path, std::filesystem::file_time_type stamp) : path_(std::move(path)), stamp_(stamp) {}

    static std::uint32_t Word(const std::string& bytes, std::size_t offset) {
        return static_cast<unsigned char>(bytes[offset]) | static_cast<unsigned char>(bytes[offset + 1]) << 8;
    }
    static std::uint32_t Long(const std::string& bytes, std::size_t offset) {
        return Word(bytes, offset) | Word(bytes, offset + 2) << 16;
    }
    std::string ReadPage(std::ifstream& file, std::uint32_t number, std::size_t length) const {
        std::string bytes(length, '\0');
        file.clear();
        file.seekg(static_cast<std::streamoff>(number) * (pageSize_ == 0 ? 0 : pageSize_));
        file.read(bytes.data(), static_cast<std::streamsize>(length));
        bytes.resize(static_cast<std::size_t>(file.gcount()));
        return bytes;
    }
    void Keep(std::ifstream& file, std::uint32_t number) {
        pages_.emplace_back(number, ReadPage(file, number, pageSize_));
    }

    static constexpr std::uintmax_t WholeFileLimit = 16u << 20;

    std::string path_;
    std::filesystem::file_time_type stamp_;
    std::uintmax_t size_ = 0;
    std::uint32_t pageSize_ = 0;
    std::vector<std::pair<std::uint32_t, std::string>> pages_;
};

}  // namespace

TMainDataModule::TMainDataModule()
    : session_(std::make_unique<FirebirdSession>()),
      descriptionDataSet_(
          std::make_unique<CachedDataSet>(*session_, DescriptionStatements(), SystemTablePk, "SYSTEM_TABLE_GEN")),
      resultDataSet_(std::make_unique<CachedDataSet>(*session_, ResultStatements(), MeasureResultTablePk,
                                                     "MEASURE_RESULT_TABLE_GEN")),
      history_(std::make_unique<MeasureHistory>(*session_)) {
    AddSaveStep([this](FirebirdSession&) { history_->WriteCollected(); });
    resultDataSet_->AddObserver([this](DataSetEvent event) {
        if (event == DataSetEvent::CurrentChanged) ResultDataSetAfterScroll(*resultDataSet_);
    });
}

TMainDataModule::~TMainDataModule() {
    try {
        CloseProject();
    } catch (const std::exception&) {
        session_->Abandon();
    }
}

bool TMainDataModule::ExecuteSQL(const std::string& statement) {
    session_->StartTransaction();
    session_->Execute(statement);
    session_->CommitRetaining();
    return true;
}

bool TMainDataModule::CreateProject(const std::string& path) {
    lastError_.clear();
    if (IsProjectOpen()) CloseProject();
    try {
        session_->CreateDatabase("CREATE DATABASE " + QuotedLiteral(path) + " " + CreationParameters(), 3);
    } catch (const DatabaseError& error) {
        lastError_ = error.what();
        return false;
    }
    try {
        for (const char* statement : SchemaStatements) {
            if (statement != nullptr) {
                ExecuteSQL(statement);
            } else {
                ExecuteSQL("INSERT INTO SYSTEM_TABLE (DEVICE_NAME, DEVICE_DATA_VERSION) VALUES (" +
                           QuotedLiteral(DeviceName) + "," + std::to_string(CurrentDataVersion) + ");");
            }
        }
        history_->CreateTables();
        session_->Detach();
    } catch (...) {
        session_->Abandon();
        throw;
    }
    if (probeTimeLimit_.count() > 0 && !IsServerPath(path)) RememberCleanlyClosed(path);
    return true;
}

bool TMainDataModule::OpenProject(const std::string& path) {
    lastError_.clear();
    if (IsProjectOpen()) CloseProject();
    std::optional<PageSnapshot> written = PageSnapshot::Take(path);
    std::string refusal;
    if (probeTimeLimit_.count() > 0 && !IsServerPath(path))
        refusal = fileCheck_ ? fileCheck_(path, probeTimeLimit_) : CheckBeforeOpening(path, probeTimeLimit_);
    if (!refusal.empty()) {
        lastError_ = std::move(refusal);
        if (written) written->Restore();
        return false;
    }
    try {
        ConnectionParameters parameters{path, "SYSDBA", ProjectPassword, "ASCII", 3};
        parameters.WithoutGarbageCollection = true;
        session_->Attach(parameters);
        // The identity is read in a read-only transaction, so that a refused
        // file sees no transaction of ours in its inventory.
        session_->StartTransaction(true);
        descriptionDataSet_->Open();
        constexpr auto refused = DatabaseErrorKind::FileRefused;
        if (descriptionDataSet_->IsEmpty()) throw DatabaseError("SYSTEM_TABLE is empty", refused);
        std::string name = TrimRight(AsText(descriptionDataSet_->Value(DeviceNameField)));
        if (name != DeviceName) throw DatabaseError("not a project of " + std::string(DeviceName), refused);
        auto version = AsInteger(descriptionDataSet_->Value(DeviceDataVersionField));
        if (version != CurrentDataVersion)
            throw DatabaseError(
                "data version " + std::to_string(version) + " instead of " + std::to_string(CurrentDataVersion),
                refused);
        // Accepted: work in an ordinary attachment from here on.
        descriptionDataSet_->Close();
        session_->Detach();
        parameters.WithoutGarbageCollection = false;
        session_->Attach(parameters);
        session_->StartTransaction();
        history_->Prepare();
        descriptionDataSet_->Open();
        resultDataSet_->Open();
        openPath_ = path;
        openParameters_ = parameters;
    } catch (const std::exception& error) {
        lastError_ = error.what();
        CloseDataSets();
        history_->Forget();
        session_->Abandon();
        if (written) written->Restore();
        return false;
    }
    return true;
}

void TMainDataModule::CloseDataSets() {
    resultDataSet_->Close();
    descriptionDataSet_->Close();
}

void TMainDataModule::CloseProject() {
    const bool wasOpen = IsProjectOpen();
    CloseDataSets();
    history_->Forget();
    // Every save committed already; what the transaction still holds was
    // never saved, so closing rolls it back rather than committing it.
    const bool clean = session_->Abandon();
    if (wasOpen && clean && probeTimeLimit_.count() > 0 && !openPath_.empty() && !IsServerPath(openPath_))
        RememberCleanlyClosed(openPath_);
    openPath_.clear();
}

void TMainDataModule::PostChanges() {
    if (resultDataSet_->IsEditing()) resultDataSet_->Post();
    if (descriptionDataSet_->IsEditing()) descriptionDataSet_->Post();
}

namespace {

// Set in the save's transaction before anything is sent; its rollback takes
// back exactly the save's own writes.
const char* const SaveSavepoint = "SAVE_CHANGES";

}  // namespace

int TMainDataModule::AddSaveStep(SaveStep step) {
    saveSteps_.emplace(nextSaveStepId_, std::move(step));
    return nextSaveStepId_++;
}

void TMainDataModule::RemoveSaveStep(int id) { saveSteps_.erase(id); }

void TMainDataModule::RunSaveSteps() {
    // A step may remove itself or others while it runs.
    auto steps = saveSteps_;
    for (auto& [id, step] : steps)
        if (saveSteps_.count(id) != 0) step(*session_);
}

void TMainDataModule::SaveChanges() {
    if (!IsProjectOpen()) return;
    BulkUpdate bulk(*this);
    std::vector<CachedDataSet*> changed;
    for (CachedDataSet* dataSet : {resultDataSet_.get(), descriptionDataSet_.get()})
        if (dataSet->HasCachedChanges()) changed.push_back(dataSet);
    if (changed.empty()) return;
    // A lost connection (a server that went away) is made again: the cached
    // changes are all still here.
    if (!session_->IsAttached()) session_->Attach(openParameters_);
    session_->StartTransaction();
    session_->Execute(std::string("SAVEPOINT ") + SaveSavepoint);
    try {
        // What the rows amend is read before they are sent; the history's
        // save step writes it.
        history_->Collect(*resultDataSet_);
        for (CachedDataSet* dataSet : changed) dataSet->SendUpdates();
        RunSaveSteps();
        session_->CommitRetaining();
    } catch (...) {
        UndoFailedSave();
        throw;
    }
    for (CachedDataSet* dataSet : changed) {
        dataSet->MarkUpdatesApplied();
        dataSet->RefreshCurrentRow();
    }
}

// Everything a save wrote goes: back to the savepoint, or, when that is gone
// too (a failed commit releases it), the whole transaction, which holds
// nothing else since every save before was committed. A connection that
// cannot even roll back is dropped; the next save makes it again.
void TMainDataModule::UndoFailedSave() noexcept {
    try {
        session_->Execute(std::string("ROLLBACK TO SAVEPOINT ") + SaveSavepoint);
        session_->Execute(std::string("RELEASE SAVEPOINT ") + SaveSavepoint + " ONLY");
        return;
    } catch (const std::exception&) {
    }
    try {
        // The client takes a rollback over a broken connection without a
        // word, so the connection is asked as well.
        session_->Rollback();
        if (session_->Ping()) return;
    } catch (const std::exception&) {
    }
    session_->Abandon();
}

void TMainDataModule::CancelAndRefresh(CachedDataSet& dataSet) {
    if (!dataSet.HasCachedChanges()) return;
    dataSet.CancelUpdates();
    dataSet.RefreshCurrentRow();
}

void TMainDataModule::CancelChanges() {
    if (!IsProjectOpen()) return;
    BulkUpdate bulk(*this);
    CancelAndRefresh(*resultDataSet_);
    CancelAndRefresh(*descriptionDataSet_);
}

void TMainDataModule::DeleteAllRecords() {
    if (!resultDataSet_->IsActive()) return;
    BulkUpdate bulk(*this);
    resultDataSet_->First();
    while (!resultDataSet_->IsEmpty()) resultDataSet_->Delete();
}

bool TMainDataModule::IsProjectOpen() const { return resultDataSet_->IsActive() || descriptionDataSet_->IsActive(); }

bool TMainDataModule::IsModified() const {
    for (const CachedDataSet* dataSet : {resultDataSet_.get(), descriptionDataSet_.get()}) {
        if (dataSet->HasCachedChanges() || dataSet->IsEditing() || dataSet->EditorModified()) return true;
    }
    return false;
}

bool TMainDataModule::IsResultEmpty() const { return resultDataSet_->IsEmpty(); }

int TMainDataModule::GetRecordCount() const { return IsProjectOpen() ? resultDataSet_->RecordCount() : 0; }

void TMainDataModule::BeginBulkUpdate() {
    resultDataSet_->DisableControls();
    descriptionDataSet_->DisableControls();
}

void TMainDataModule::EndBulkUpdate() {
    resultDataSet_->EnableControls();
    descriptionDataSet_->EnableControls();
}

void TMainDataModule::SaveRecNo() { savedRecNo_ = resultDataSet_->RecNo(); }

void TMainDataModule::RestoreRecNo() { resultDataSet_->MoveBy(savedRecNo_ - resultDataSet_->RecNo()); }

void TMainDataModule::ResultDataSetAfterScroll(CachedDataSet& dataSet) {
    if (dataSet.ControlsDisabled() || dataSet.State() != DataSetState::Browse) return;
    if (OnShowResult) OnShowResult(dataSet, true);
}

std::string TMainDataModule::ProjectDescription() {
    if (!descriptionDataSet_->IsActive() || descriptionDataSet_->IsEmpty()) return {};
    return Cp1251ToUtf8(descriptionDataSet_->BlobText(ProjectDescriptionField));
}

void TMainDataModule::SetProjectDescription(const std::string& utf8) {
    descriptionDataSet_->Edit();
    descriptionDataSet_->SetValue(ProjectDescriptionField, BlobField::FromBytes([&] {
                                      std::string bytes = Utf8ToCp1251(utf8);
                                      return ByteArray(bytes.begin(), bytes.end());
                                  }()));
}

std::string TMainDataModule::MeasureComment() {
    if (!resultDataSet_->IsActive() || resultDataSet_->IsEmpty()) return {};
    return Cp1251ToUtf8(resultDataSet_->BlobText(MeasureCommentField));
}

void TMainDataModule::SetMeasureComment(const std::string& utf8) {
    resultDataSet_->Edit();
    std::string bytes = Utf8ToCp1251(utf8);
    resultDataSet_->SetValue(MeasureCommentField, BlobField::FromBytes(ByteArray(bytes.begin(), bytes.end())));
}

}  // namespace zemvalkorta
