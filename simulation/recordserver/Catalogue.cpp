#include "Catalogue.h"

#include "mirelog/Log.h"
#include "playcontroller/SearchCondition.h"

#include <sqlite3.h>

#include <sys/stat.h>
#include <unistd.h>

#include <map>

namespace teskrecordserver {

namespace {

// Each entry brings the schema from its index to its index + 1.
const char *const kMigrations[] = {
    R"sql(
CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE sites(id TEXT PRIMARY KEY, name TEXT NOT NULL);
CREATE TABLE cameras(
    key INTEGER PRIMARY KEY,
    site_id TEXT NOT NULL REFERENCES sites(id) ON DELETE CASCADE,
    camera_id TEXT NOT NULL,
    name TEXT NOT NULL,
    area_name TEXT NOT NULL DEFAULT '',
    device_id TEXT NOT NULL DEFAULT '',
    element_type INTEGER NOT NULL DEFAULT 0,
    utc_bias INTEGER NOT NULL DEFAULT 0,
    dst INTEGER NOT NULL DEFAULT 0,
    daylight_bias INTEGER NOT NULL DEFAULT 0,
    dst_begin_month INTEGER NOT NULL DEFAULT 0,
    dst_begin_week INTEGER NOT NULL DEFAULT 0,
    dst_begin_weekday INTEGER NOT NULL DEFAULT 0,
    dst_begin_hour INTEGER NOT NULL DEFAULT 0,
    dst_end_month INTEGER NOT NULL DEFAULT 0,
    dst_end_week INTEGER NOT NULL DEFAULT 0,
    dst_end_weekday INTEGER NOT NULL DEFAULT 0,
    dst_end_hour INTEGER NOT NULL DEFAULT 0,
    stream_key TEXT NOT NULL DEFAULT '',
    UNIQUE(site_id, camera_id));
CREATE TABLE record_plans(
    camera_key INTEGER PRIMARY KEY REFERENCES cameras(key) ON DELETE CASCADE,
    location_type INTEGER NOT NULL,
    storage_media_type INTEGER NOT NULL,
    stream_type INTEGER NOT NULL,
    configured INTEGER NOT NULL);
CREATE TABLE permission_denials(
    camera_key INTEGER NOT NULL REFERENCES cameras(key) ON DELETE CASCADE,
    item INTEGER NOT NULL,
    PRIMARY KEY(camera_key, item)) WITHOUT ROWID;
CREATE TABLE search_failures(
    camera_key INTEGER PRIMARY KEY REFERENCES cameras(key) ON DELETE CASCADE,
    param_error_type INTEGER NOT NULL,
    module_code INTEGER NOT NULL,
    error_code INTEGER NOT NULL,
    error_text TEXT NOT NULL);
CREATE TABLE media_files(
    id INTEGER PRIMARY KEY,
    path TEXT NOT NULL UNIQUE,
    duration REAL NOT NULL,
    width INTEGER NOT NULL,
    height INTEGER NOT NULL);
CREATE TABLE recordings(
    id INTEGER PRIMARY KEY,
    camera_key INTEGER NOT NULL REFERENCES cameras(key) ON DELETE CASCADE,
    begin_time INTEGER NOT NULL,
    end_time INTEGER NOT NULL,
    file_name TEXT NOT NULL,
    file_size INTEGER NOT NULL,
    record_file_type INTEGER NOT NULL,
    iso_begin TEXT NOT NULL,
    iso_end TEXT NOT NULL,
    media_id INTEGER REFERENCES media_files(id),
    media_offset REAL NOT NULL DEFAULT 0,
    CHECK(end_time >= begin_time));
CREATE INDEX recordings_by_camera ON recordings(camera_key, begin_time);
CREATE TABLE tags(
    id INTEGER PRIMARY KEY,
    camera_key INTEGER NOT NULL REFERENCES cameras(key) ON DELETE CASCADE,
    recording_id INTEGER NOT NULL REFERENCES recordings(id) ON DELETE CASCADE,
    label_id TEXT NOT NULL,
    label_type INTEGER NOT NULL CHECK(label_type IN (101, 102, 103)),
    name TEXT NOT NULL,
    description TEXT NOT NULL DEFAULT '',
    color TEXT NOT NULL DEFAULT '',
    begin_time INTEGER NOT NULL,
    end_time INTEGER NOT NULL,
    iso_begin TEXT NOT NULL,
    iso_end TEXT NOT NULL);
CREATE INDEX tags_by_camera ON tags(camera_key, begin_time);
CREATE TABLE locks(
    id INTEGER PRIMARY KEY,
    camera_key INTEGER NOT NULL REFERENCES cameras(key) ON DELETE CASCADE,
    recording_id INTEGER NOT NULL REFERENCES recordings(id) ON DELETE CASCADE,
    begin_time INTEGER NOT NULL,
    end_time INTEGER NOT NULL,
    iso_begin TEXT NOT NULL,
    iso_end TEXT NOT NULL);
CREATE INDEX locks_by_camera ON locks(camera_key, begin_time);
CREATE TABLE events(
    id INTEGER PRIMARY KEY,
    camera_key INTEGER NOT NULL REFERENCES cameras(key) ON DELETE CASCADE,
    recording_id INTEGER NOT NULL REFERENCES recordings(id) ON DELETE CASCADE,
    event_type INTEGER NOT NULL CHECK(event_type IN (1, 2, 4)),
    begin_time INTEGER NOT NULL,
    end_time INTEGER NOT NULL,
    iso_begin TEXT NOT NULL,
    iso_end TEXT NOT NULL);
CREATE INDEX events_by_camera ON events(camera_key, begin_time);
)sql",
    R"sql(
CREATE TABLE capture_pictures(
    id INTEGER PRIMARY KEY,
    camera_key INTEGER NOT NULL REFERENCES cameras(key) ON DELETE CASCADE,
    time INTEGER NOT NULL,
    media_id INTEGER REFERENCES media_files(id),
    media_offset REAL NOT NULL DEFAULT 0,
    jpeg_path TEXT,
    CHECK(media_id IS NOT NULL OR jpeg_path IS NOT NULL));
CREATE INDEX capture_pictures_by_camera ON capture_pictures(camera_key, time);
CREATE TABLE operation_log(
    id INTEGER PRIMARY KEY,
    time INTEGER NOT NULL,
    code INTEGER NOT NULL,
    camera_id TEXT NOT NULL,
    camera_name TEXT NOT NULL,
    result INTEGER NOT NULL,
    module_code INTEGER NOT NULL,
    error_code INTEGER NOT NULL,
    text TEXT NOT NULL);
)sql",
    R"sql(
CREATE TABLE record_changes(
    id INTEGER PRIMARY KEY,
    time INTEGER NOT NULL,
    operator TEXT NOT NULL,
    operation TEXT NOT NULL,
    site_id TEXT NOT NULL,
    camera_id TEXT NOT NULL,
    target TEXT NOT NULL,
    detail TEXT NOT NULL);
)sql",
};
static_assert(sizeof kMigrations / sizeof kMigrations[0] == CRecordCatalogue::kSchemaVersion);

constexpr int kBusyTimeoutMs = 60000;

// A connection with its prepared statements, used by one thread at a time.
struct Connection
{
    sqlite3 *db = nullptr;
    std::map<std::string, sqlite3_stmt *> statements;

    ~Connection()
    {
        for (auto &entry : statements)
            sqlite3_finalize(entry.second);
        if (db)
            sqlite3_close_v2(db);
    }

    std::string Error() const { return db ? sqlite3_errmsg(db) : "no connection"; }
};

// A prepared statement borrowed from its connection's cache, reset when it goes out of scope.
class Statement
{
public:
    Statement(Connection &connection, const char *sql)
    {
        auto &slot = connection.statements[sql];
        if (!slot && sqlite3_prepare_v2(connection.db, sql, -1, &slot, nullptr) != SQLITE_OK) {
            error_ = connection.Error();
            sqlite3_finalize(slot);
            // Erasing frees `slot` itself: nothing may touch it afterwards.
            connection.statements.erase(sql);
            return;
        }
        stmt_ = slot;
    }
    ~Statement()
    {
        if (stmt_) {
            sqlite3_reset(stmt_);
            sqlite3_clear_bindings(stmt_);
        }
    }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool IsValid() const { return stmt_ != nullptr; }
    const std::string &PrepareError() const { return error_; }

    template<class... Args>
    Statement &Bind(const Args &...args)
    {
        int index = 0;
        (BindOne(++index, args), ...);
        return *this;
    }

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step() { return stmt_ ? sqlite3_step(stmt_) : SQLITE_MISUSE; }

    int64_t Int(int column) const { return sqlite3_column_int64(stmt_, column); }
    double Real(int column) const { return sqlite3_column_double(stmt_, column); }
    std::string Text(int column) const
    {
        const auto *text = sqlite3_column_text(stmt_, column);
        return text ? reinterpret_cast<const char *>(text) : std::string();
    }
    bool IsNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }

private:
    void BindOne(int index, int64_t value) { sqlite3_bind_int64(stmt_, index, value); }
    void BindOne(int index, int value) { sqlite3_bind_int64(stmt_, index, value); }
    void BindOne(int index, bool value) { sqlite3_bind_int(stmt_, index, value ? 1 : 0); }
    void BindOne(int index, double value) { sqlite3_bind_double(stmt_, index, value); }
    void BindOne(int index, const std::string &value)
    {
        sqlite3_bind_text(stmt_, index, value.data(), static_cast<int>(value.size()),
                          SQLITE_TRANSIENT);
    }
    void BindOne(int index, const char *value) { BindOne(index, std::string(value)); }
    void BindOne(int index, std::nullptr_t) { sqlite3_bind_null(stmt_, index); }

    sqlite3_stmt *stmt_ = nullptr;
    std::string error_;
};

bool IsReadOnlyCode(int code)
{
    return (code & 0xff) == SQLITE_READONLY;
}

CStoreStatus Exec(Connection &connection, const char *sql)
{
    char *message = nullptr;
    const int code = sqlite3_exec(connection.db, sql, nullptr, nullptr, &message);
    if (code == SQLITE_OK)
        return CStoreStatus::Ok();
    std::string text = message ? message : connection.Error();
    sqlite3_free(message);
    if ((code & 0xff) == SQLITE_NOTADB)
        return CStoreStatus::Fail(StoreError::NotADatabase, text);
    if ((code & 0xff) == SQLITE_READONLY)
        return CStoreStatus::Fail(StoreError::ReadOnly, text);
    if ((code & 0xff) == SQLITE_CORRUPT)
        return CStoreStatus::Fail(StoreError::Corrupt, text);
    return CStoreStatus::Fail(StoreError::Sql, text);
}

// The first read failure of this thread not yet taken by TakeThreadReadError.
thread_local std::string t_read_error;

const char *kCameraKeyOf = "(SELECT key FROM cameras WHERE site_id = ?1 AND camera_id = ?2)";

} // namespace

struct CRecordCatalogue::Private
{
    std::string path;
    int schema_version = 0;

    std::mutex writer_mutex;
    std::unique_ptr<Connection> writer;
    bool in_write = false;

    mutable std::mutex readers_mutex;
    mutable std::vector<std::unique_ptr<Connection>> idle_readers;
    mutable std::string last_read_error;

    bool read_only = false;

    std::unique_ptr<Connection> OpenConnection(bool for_reading, int &code) const
    {
        auto connection = std::make_unique<Connection>();
        const int access = read_only     ? SQLITE_OPEN_READONLY
                           : for_reading ? SQLITE_OPEN_READWRITE
                                         : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        const int flags = access | SQLITE_OPEN_NOMUTEX;
        code = sqlite3_open_v2(path.c_str(), &connection->db, flags, nullptr);
        if (code != SQLITE_OK)
            return connection;
        sqlite3_busy_timeout(connection->db, kBusyTimeoutMs);
        sqlite3_exec(connection->db, "PRAGMA foreign_keys = ON", nullptr, nullptr, nullptr);
        if (for_reading)
            sqlite3_exec(connection->db, "PRAGMA query_only = ON", nullptr, nullptr, nullptr);
        return connection;
    }

    // A reader connection for the duration of one query.
    class Reader
    {
    public:
        explicit Reader(const Private &owner)
            : owner_(owner)
        {
            {
                std::lock_guard<std::mutex> lock(owner.readers_mutex);
                if (!owner.idle_readers.empty()) {
                    connection_ = std::move(owner.idle_readers.back());
                    owner.idle_readers.pop_back();
                }
            }
            if (!connection_ && !owner.path.empty()) {
                int code = SQLITE_OK;
                connection_ = owner.OpenConnection(true, code);
                if (code != SQLITE_OK) {
                    owner.NoteReadError("open: " + connection_->Error());
                    connection_.reset();
                }
            }
        }
        ~Reader()
        {
            if (connection_) {
                std::lock_guard<std::mutex> lock(owner_.readers_mutex);
                owner_.idle_readers.push_back(std::move(connection_));
            }
        }
        Connection *Get() const { return connection_.get(); }

    private:
        const Private &owner_;
        std::unique_ptr<Connection> connection_;
    };

    void NoteReadError(const std::string &error) const
    {
        TESK_LOG_ERROR("Catalogue %s read failed: %s", path.c_str(), error.c_str());
        if (t_read_error.empty())
            t_read_error = error;
        std::lock_guard<std::mutex> lock(readers_mutex);
        last_read_error = error;
    }

    // Runs a query on a reader; `row` is called per result row.
    template<class... Args>
    bool Query(const char *sql, const std::function<void(Statement &)> &row,
               const Args &...args) const
    {
        Reader reader(*this);
        if (!reader.Get())
            return false;
        Statement statement(*reader.Get(), sql);
        if (!statement.IsValid()) {
            NoteReadError(statement.PrepareError());
            return false;
        }
        statement.Bind(args...);
        int code;
        while ((code = statement.Step()) == SQLITE_ROW)
            row(statement);
        if (code != SQLITE_DONE) {
            NoteReadError(reader.Get()->Error());
            return false;
        }
        return true;
    }

    template<class... Args>
    CStoreStatus Run(const char *sql, const Args &...args)
    {
        if (!writer || !in_write)
            return CStoreStatus::Fail(StoreError::Sql, "write outside a write transaction");
        Statement statement(*writer, sql);
        if (!statement.IsValid())
            return CStoreStatus::Fail(StoreError::Sql, statement.PrepareError());
        statement.Bind(args...);
        const int code = statement.Step();
        if (code != SQLITE_DONE && code != SQLITE_ROW)
            return CStoreStatus::Fail(IsReadOnlyCode(code) ? StoreError::ReadOnly : StoreError::Sql,
                                      writer->Error());
        return CStoreStatus::Ok();
    }

    int64_t LastId() const { return sqlite3_last_insert_rowid(writer->db); }
    int64_t Changes() const { return sqlite3_changes(writer->db); }

    // Runs a single-row change; NotFound with `missing` when it matched no row.
    template<class... Args>
    CStoreStatus RunOne(const std::string &missing, const char *sql, const Args &...args)
    {
        auto status = Run(sql, args...);
        if (status && Changes() == 0)
            return CStoreStatus::Fail(StoreError::NotFound, missing);
        return status;
    }

    CStoreStatus Migrate();
    CStoreStatus CheckOwnership(Connection &db, bool existed);
};

// An existing file must be a catalogue this program wrote: our schema version, and no tables
// under a version we did not set. A quick check then finds torn or overwritten pages before a
// search meets them.
CStoreStatus CRecordCatalogue::Private::CheckOwnership(Connection &db, bool existed)
{
    int version = 0;
    int64_t tables = 0;
    {
        Statement statement(db, "PRAGMA user_version");
        if (statement.Step() == SQLITE_ROW)
            version = static_cast<int>(statement.Int(0));
    }
    {
        Statement statement(db, "SELECT count(*) FROM sqlite_master");
        if (statement.Step() == SQLITE_ROW)
            tables = statement.Int(0);
    }
    if (existed && (version == 0 || (tables == 0 && version <= kSchemaVersion))) {
        return CStoreStatus::Fail(StoreError::Foreign,
                                  "The store " + path +
                                      " is not a catalogue of this program (an SQLite file of "
                                      "another program); it was left untouched.");
    }
    std::string verdict;
    {
        Statement statement(db, "PRAGMA quick_check(1)");
        const int code = statement.Step();
        if (code == SQLITE_ROW)
            verdict = statement.Text(0);
        else
            verdict = db.Error();
    }
    // SQLite words a verdict over several lines; one line reads better in a message.
    for (char &c : verdict) {
        if (c == '\n')
            c = ' ';
    }
    if (verdict != "ok")
        return CStoreStatus::Fail(StoreError::Corrupt,
                                  "The store " + path + " is damaged: " + verdict + ".");
    return CStoreStatus::Ok();
}

CStoreStatus CRecordCatalogue::Private::Migrate()
{
    Connection &db = *writer;
    if (auto status = Exec(db, "BEGIN IMMEDIATE"); !status)
        return status;
    int version = 0;
    {
        Statement statement(db, "PRAGMA user_version");
        if (statement.Step() == SQLITE_ROW)
            version = static_cast<int>(statement.Int(0));
    }
    if (version > kSchemaVersion) {
        Exec(db, "ROLLBACK");
        return CStoreStatus::Fail(StoreError::NewerSchema,
                                  "The store " + path + " was written by a newer version (schema " +
                                      std::to_string(version) + ", this program knows " +
                                      std::to_string(kSchemaVersion) + ").");
    }
    for (int step = version; step < kSchemaVersion; ++step) {
        if (auto status = Exec(db, kMigrations[step]); !status) {
            Exec(db, "ROLLBACK");
            return CStoreStatus::Fail(status.Error(), "Migrating the store " + path +
                                                          " to schema " + std::to_string(step + 1) +
                                                          " failed: " + status.Message());
        }
    }
    if (version < kSchemaVersion) {
        const std::string pragma = "PRAGMA user_version = " + std::to_string(kSchemaVersion);
        if (auto status = Exec(db, pragma.c_str()); !status) {
            Exec(db, "ROLLBACK");
            return status;
        }
        TESK_LOG_INFO("Catalogue %s migrated from schema %d to %d", path.c_str(), version,
                      kSchemaVersion);
    }
    if (auto status = Exec(db, "COMMIT"); !status) {
        Exec(db, "ROLLBACK");
        return status;
    }
    schema_version = kSchemaVersion;
    return CStoreStatus::Ok();
}

CRecordCatalogue::CRecordCatalogue()
    : d_(std::make_unique<Private>())
{}

CRecordCatalogue::~CRecordCatalogue()
{
    Close();
}

CStoreStatus CRecordCatalogue::Open(const std::string &path)
{
    Close();
    std::lock_guard<std::mutex> lock(d_->writer_mutex);
    struct stat info
    {};
    const bool existed = ::stat(path.c_str(), &info) == 0;
    if (existed) {
        if (!S_ISREG(info.st_mode))
            return CStoreStatus::Fail(StoreError::Io, "The store " + path + " is not a file.");
        // The write bits are checked as well as access(): a privileged user passes access().
        if ((info.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0)
            return CStoreStatus::Fail(StoreError::ReadOnly, "The store " + path + " is read-only.");
    }
    d_->path = path;
    int code = SQLITE_OK;
    auto writer = d_->OpenConnection(false, code);
    auto fail = [&](StoreError error, const std::string &message) {
        d_->path.clear();
        TESK_LOG_ERROR("Opening the store failed: %s", message.c_str());
        return CStoreStatus::Fail(error, message);
    };
    if (code != SQLITE_OK)
        return fail(IsReadOnlyCode(code) ? StoreError::ReadOnly : StoreError::Io,
                    "The store " + path + " cannot be opened: " + writer->Error() + ".");
    if (sqlite3_db_readonly(writer->db, "main") == 1)
        return fail(StoreError::ReadOnly, "The store " + path + " is read-only.");

    // The first read tells a foreign file apart before anything is written to it.
    if (auto status = Exec(*writer, "SELECT count(*) FROM sqlite_master"); !status) {
        if (status.Error() == StoreError::NotADatabase)
            return fail(StoreError::NotADatabase,
                        "The store " + path + " is not a catalogue (not an SQLite database).");
        if (status.Error() == StoreError::Corrupt)
            return fail(StoreError::Corrupt,
                        "The store " + path + " is damaged: " + status.Message() + ".");
        return fail(status.Error(), "The store " + path + " cannot be read: " + status.Message());
    }
    if (auto status = d_->CheckOwnership(*writer, existed); !status)
        return fail(status.Error(), status.Message());
    if (auto status = Exec(*writer, "PRAGMA journal_mode = WAL"); !status)
        return fail(status.Error(),
                    "The store " + path + " cannot be opened for writing: " + status.Message());
    Exec(*writer, "PRAGMA synchronous = NORMAL");
    d_->writer = std::move(writer);
    if (auto status = d_->Migrate(); !status) {
        d_->writer.reset();
        return fail(status.Error(), status.Message());
    }
    return CStoreStatus::Ok();
}

CStoreStatus CRecordCatalogue::OpenReadOnly(const std::string &path)
{
    Close();
    std::lock_guard<std::mutex> lock(d_->writer_mutex);
    d_->path = path;
    d_->read_only = true;
    auto fail = [&](StoreError error, const std::string &message) {
        d_->path.clear();
        d_->read_only = false;
        TESK_LOG_ERROR("Opening the store failed: %s", message.c_str());
        return CStoreStatus::Fail(error, message);
    };
    int code = SQLITE_OK;
    auto reader = d_->OpenConnection(true, code);
    if (code != SQLITE_OK)
        return fail(StoreError::Io, "The store " + path + " cannot be opened: " + reader->Error());
    int version = -1;
    {
        Statement statement(*reader, "PRAGMA user_version");
        const int step = statement.Step();
        if (step == SQLITE_ROW)
            version = static_cast<int>(statement.Int(0));
        else if ((sqlite3_errcode(reader->db) & 0xff) == SQLITE_NOTADB)
            return fail(StoreError::NotADatabase,
                        "The store " + path + " is not a catalogue (not an SQLite database).");
    }
    if (version < 1)
        return fail(StoreError::NotADatabase, "The store " + path + " is not a catalogue.");
    if (version > kSchemaVersion)
        return fail(StoreError::NewerSchema, "The store " + path +
                                                 " was written by a newer version (schema " +
                                                 std::to_string(version) + ").");
    d_->schema_version = version;
    std::lock_guard<std::mutex> readers(d_->readers_mutex);
    d_->idle_readers.push_back(std::move(reader));
    return CStoreStatus::Ok();
}

void CRecordCatalogue::Close()
{
    {
        std::lock_guard<std::mutex> lock(d_->readers_mutex);
        d_->idle_readers.clear();
    }
    std::lock_guard<std::mutex> lock(d_->writer_mutex);
    d_->writer.reset();
    d_->path.clear();
    d_->schema_version = 0;
    d_->read_only = false;
}

bool CRecordCatalogue::IsOpen() const
{
    return d_->writer != nullptr || d_->read_only;
}

const std::string &CRecordCatalogue::Path() const
{
    return d_->path;
}

int CRecordCatalogue::SchemaVersion() const
{
    return d_->schema_version;
}

CStoreStatus CRecordCatalogue::Write(const std::function<CStoreStatus(CRecordCatalogue &)> &work)
{
    std::lock_guard<std::mutex> lock(d_->writer_mutex);
    if (d_->read_only)
        return CStoreStatus::Fail(StoreError::ReadOnly,
                                  "The store " + d_->path + " is open for reading only.");
    if (!d_->writer)
        return CStoreStatus::Fail(StoreError::Io, "The store is not open.");
    if (auto status = Exec(*d_->writer, "BEGIN IMMEDIATE"); !status)
        return status;
    d_->in_write = true;
    CStoreStatus status = work(*this);
    d_->in_write = false;
    if (status)
        status = Exec(*d_->writer, "COMMIT");
    if (!status) {
        Exec(*d_->writer, "ROLLBACK");
        TESK_LOG_ERROR("Catalogue write failed: %s", status.Message().c_str());
    }
    return status;
}

CStoreStatus CRecordCatalogue::SetMeta(const std::string &key, const std::string &value)
{
    return d_->Run("INSERT OR REPLACE INTO meta(key, value) VALUES(?, ?)", key, value);
}

CStoreStatus CRecordCatalogue::AddSite(const SiteRow &site)
{
    return d_->Run("INSERT INTO sites(id, name) VALUES(?, ?)", site.id, site.name);
}

CStoreStatus CRecordCatalogue::AddCamera(CameraRow &camera)
{
    const auto &zone = camera.time_zone;
    auto status = d_->Run(
        "INSERT INTO cameras(site_id, camera_id, name, area_name, device_id, element_type, "
        "utc_bias, dst, daylight_bias, dst_begin_month, dst_begin_week, dst_begin_weekday, "
        "dst_begin_hour, dst_end_month, dst_end_week, dst_end_weekday, dst_end_hour, stream_key) "
        "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
        camera.site_id, camera.id, camera.name, camera.area_name, camera.device_id,
        camera.element_type, zone.utc_bias, zone.b_dst, zone.daylight_bias, zone.dst_begin.month,
        zone.dst_begin.week, zone.dst_begin.weekday, zone.dst_begin.hour, zone.dst_end.month,
        zone.dst_end.week, zone.dst_end.weekday, zone.dst_end.hour, camera.stream_key);
    if (status)
        camera.key = d_->LastId();
    return status;
}

CStoreStatus CRecordCatalogue::SetRecordPlan(const RecordPlanRow &plan)
{
    return d_->Run(
        "INSERT OR REPLACE INTO record_plans(camera_key, location_type, storage_media_type, "
        "stream_type, configured) SELECT key, ?3, ?4, ?5, ?6 FROM cameras WHERE site_id = ?1 AND "
        "camera_id = ?2",
        plan.site_id, plan.camera_id, plan.location_type, plan.storage_media_type, plan.stream_type,
        plan.configured);
}

CStoreStatus CRecordCatalogue::DenyPermission(const PermissionDenialRow &denial)
{
    return d_->Run("INSERT OR IGNORE INTO permission_denials(camera_key, item) SELECT key, ?3 FROM "
                   "cameras WHERE site_id = ?1 AND camera_id = ?2",
                   denial.site_id, denial.camera_id, denial.item);
}

CStoreStatus CRecordCatalogue::SetSearchFailure(const std::string &site_id,
                                                const std::string &camera_id,
                                                const SearchFailureRow &failure)
{
    return d_->Run("INSERT OR REPLACE INTO search_failures(camera_key, param_error_type, "
                   "module_code, error_code, error_text) SELECT key, ?3, ?4, ?5, ?6 FROM cameras "
                   "WHERE site_id = ?1 AND camera_id = ?2",
                   site_id, camera_id, failure.param_error_type, failure.module_code,
                   failure.error_code, failure.error_text);
}

CStoreStatus CRecordCatalogue::AddMediaFile(MediaFileRow &media)
{
    auto status =
        d_->Run("INSERT INTO media_files(path, duration, width, height) VALUES(?, ?, ?, ?)",
                media.path, media.duration, media.width, media.height);
    if (status)
        media.id = d_->LastId();
    return status;
}

CStoreStatus CRecordCatalogue::AddRecording(int64_t camera_key, RecordingRow &r)
{
    auto status =
        d_->Run("INSERT INTO recordings(camera_key, begin_time, end_time, file_name, file_size, "
                "record_file_type, iso_begin, iso_end, media_id, media_offset) "
                "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                camera_key, r.begin, r.end, r.file_name, r.file_size, r.record_file_type,
                r.iso_begin, r.iso_end, r.media_id, r.media_offset);
    if (status)
        r.id = r.recording_id = d_->LastId();
    return status;
}

CStoreStatus CRecordCatalogue::AddTag(int64_t camera_key, TagRow &t)
{
    auto status = d_->Run(
        "INSERT INTO tags(camera_key, recording_id, label_id, label_type, name, description, "
        "color, begin_time, end_time, iso_begin, iso_end) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
        camera_key, t.recording_id, t.label_id, t.label_type, t.name, t.description, t.color,
        t.begin, t.end, t.iso_begin, t.iso_end);
    if (status)
        t.id = d_->LastId();
    return status;
}

CStoreStatus CRecordCatalogue::AddLock(int64_t camera_key, FileRow &l)
{
    auto status = d_->Run("INSERT INTO locks(camera_key, recording_id, begin_time, end_time, "
                          "iso_begin, iso_end) VALUES(?, ?, ?, ?, ?, ?)",
                          camera_key, l.recording_id, l.begin, l.end, l.iso_begin, l.iso_end);
    if (status)
        l.id = d_->LastId();
    return status;
}

CStoreStatus CRecordCatalogue::AddEvent(int64_t camera_key, EventRow &e)
{
    auto status =
        d_->Run("INSERT INTO events(camera_key, recording_id, event_type, begin_time, end_time, "
                "iso_begin, iso_end) VALUES(?, ?, ?, ?, ?, ?, ?)",
                camera_key, e.recording_id, e.event_type, e.begin, e.end, e.iso_begin, e.iso_end);
    if (status)
        e.id = d_->LastId();
    return status;
}

CStoreStatus CRecordCatalogue::AddCapturePicture(int64_t camera_key, CapturePictureRow &p)
{
    CStoreStatus status;
    if (p.media_id != 0)
        status = d_->Run("INSERT INTO capture_pictures(camera_key, time, media_id, media_offset, "
                         "jpeg_path) VALUES(?, ?, ?, ?, NULL)",
                         camera_key, p.time, p.media_id, p.media_offset);
    else
        status = d_->Run("INSERT INTO capture_pictures(camera_key, time, media_id, media_offset, "
                         "jpeg_path) VALUES(?, ?, NULL, 0, ?)",
                         camera_key, p.time, p.jpeg_path);
    if (status)
        p.id = d_->LastId();
    return status;
}

CStoreStatus CRecordCatalogue::ModifyTag(int64_t camera_key, const std::string &label_id,
                                         const TagChange &c)
{
    const std::string missing = "The tag " + label_id + " does not exist (any more).";
    if (c.begin <= 0)
        return d_->RunOne(missing,
                          "UPDATE tags SET name = ?3, description = ?4, label_type = ?5 WHERE "
                          "camera_key = ?1 AND label_id = ?2",
                          camera_key, label_id, c.name, c.description, c.label_type);
    return d_->RunOne(missing,
                      "UPDATE tags SET name = ?3, description = ?4, label_type = ?5, "
                      "begin_time = ?6, end_time = ?7, recording_id = ?8, iso_begin = ?9, "
                      "iso_end = ?10 WHERE camera_key = ?1 AND label_id = ?2",
                      camera_key, label_id, c.name, c.description, c.label_type, c.begin, c.end,
                      c.recording_id, c.iso_begin, c.iso_end);
}

CStoreStatus CRecordCatalogue::DeleteTag(int64_t camera_key, const std::string &label_id)
{
    return d_->RunOne("The tag " + label_id + " does not exist (any more).",
                      "DELETE FROM tags WHERE camera_key = ? AND label_id = ?", camera_key,
                      label_id);
}

CStoreStatus CRecordCatalogue::RemoveLock(int64_t camera_key, int64_t begin, int64_t end)
{
    return d_->RunOne("The recording is not locked (any more).",
                      "DELETE FROM locks WHERE camera_key = ? AND begin_time = ? AND end_time = ?",
                      camera_key, begin, end);
}

CStoreStatus CRecordCatalogue::AppendRecordChange(RecordChangeRow &c)
{
    auto status =
        d_->Run("INSERT INTO record_changes(time, operator, operation, site_id, "
                "camera_id, target, detail) VALUES(?, ?, ?, ?, ?, ?, ?)",
                c.time, c.operator_name, c.operation, c.site_id, c.camera_id, c.target, c.detail);
    if (status)
        c.id = d_->LastId();
    return status;
}

CStoreStatus CRecordCatalogue::AppendOperationLog(OperationLogRow &entry)
{
    return Write([&entry](CRecordCatalogue &self) {
        auto status = self.d_->Run(
            "INSERT INTO operation_log(time, code, camera_id, camera_name, result, module_code, "
            "error_code, text) VALUES(?, ?, ?, ?, ?, ?, ?, ?)",
            entry.time, entry.code, entry.camera_id, entry.camera_name, entry.result,
            entry.module_code, entry.error_code, entry.text);
        if (status)
            entry.id = self.d_->LastId();
        return status;
    });
}

std::optional<std::string> CRecordCatalogue::Meta(const std::string &key) const
{
    std::optional<std::string> value;
    d_->Query(
        "SELECT value FROM meta WHERE key = ?", [&](Statement &row) { value = row.Text(0); }, key);
    return value;
}

std::vector<SiteRow> CRecordCatalogue::Sites() const
{
    std::vector<SiteRow> sites;
    d_->Query("SELECT id, name FROM sites ORDER BY id", [&](Statement &row) {
        sites.push_back({row.Text(0), row.Text(1)});
    });
    return sites;
}

namespace {
const char *kCameraColumns =
    "SELECT key, site_id, camera_id, name, area_name, device_id, element_type, utc_bias, dst, "
    "daylight_bias, dst_begin_month, dst_begin_week, dst_begin_weekday, dst_begin_hour, "
    "dst_end_month, dst_end_week, dst_end_weekday, dst_end_hour, stream_key FROM cameras ";

CameraRow ReadCamera(Statement &row)
{
    CameraRow camera;
    camera.key = row.Int(0);
    camera.site_id = row.Text(1);
    camera.id = row.Text(2);
    camera.name = row.Text(3);
    camera.area_name = row.Text(4);
    camera.device_id = row.Text(5);
    camera.element_type = static_cast<int>(row.Int(6));
    auto &zone = camera.time_zone;
    zone.utc_bias = static_cast<int>(row.Int(7));
    zone.b_dst = row.Int(8) != 0;
    zone.daylight_bias = static_cast<int>(row.Int(9));
    zone.dst_begin = {static_cast<int>(row.Int(10)), static_cast<int>(row.Int(11)),
                      static_cast<int>(row.Int(12)), static_cast<int>(row.Int(13))};
    zone.dst_end = {static_cast<int>(row.Int(14)), static_cast<int>(row.Int(15)),
                    static_cast<int>(row.Int(16)), static_cast<int>(row.Int(17))};
    camera.stream_key = row.Text(18);
    return camera;
}

// Columns 0 to 8 of every span query, in FileRow order.
void ReadFile(Statement &row, FileRow &file)
{
    file.id = row.Int(0);
    file.recording_id = row.Int(1);
    file.begin = row.Int(2);
    file.end = row.Int(3);
    file.file_name = row.Text(4);
    file.file_size = row.Int(5);
    file.record_file_type = static_cast<int>(row.Int(6));
    file.iso_begin = row.Text(7);
    file.iso_end = row.Text(8);
}
} // namespace

std::vector<CameraRow> CRecordCatalogue::Cameras() const
{
    std::vector<CameraRow> cameras;
    const std::string sql = std::string(kCameraColumns) + "ORDER BY key";
    d_->Query(sql.c_str(), [&](Statement &row) { cameras.push_back(ReadCamera(row)); });
    return cameras;
}

std::optional<CameraRow> CRecordCatalogue::FindCamera(const std::string &site_id,
                                                      const std::string &camera_id) const
{
    std::optional<CameraRow> camera;
    const std::string sql = std::string(kCameraColumns) + "WHERE site_id = ? AND camera_id = ?";
    d_->Query(
        sql.c_str(), [&](Statement &row) { camera = ReadCamera(row); }, site_id, camera_id);
    return camera;
}

std::vector<RecordPlanRow> CRecordCatalogue::RecordPlans() const
{
    std::vector<RecordPlanRow> plans;
    d_->Query("SELECT c.site_id, c.camera_id, p.location_type, p.storage_media_type, "
              "p.stream_type, p.configured FROM record_plans p JOIN cameras c ON c.key = "
              "p.camera_key ORDER BY c.key",
              [&](Statement &row) {
                  plans.push_back({row.Text(0), row.Text(1), static_cast<int>(row.Int(2)),
                                   static_cast<int>(row.Int(3)), static_cast<int>(row.Int(4)),
                                   row.Int(5) != 0});
              });
    return plans;
}

std::vector<PermissionDenialRow> CRecordCatalogue::PermissionDenials() const
{
    std::vector<PermissionDenialRow> denials;
    d_->Query("SELECT c.site_id, c.camera_id, d.item FROM permission_denials d JOIN cameras c "
              "ON c.key = d.camera_key ORDER BY c.key, d.item",
              [&](Statement &row) {
                  denials.push_back({row.Text(0), row.Text(1), static_cast<int>(row.Int(2))});
              });
    return denials;
}

std::optional<SearchFailureRow> CRecordCatalogue::SearchFailure(const std::string &site_id,
                                                                const std::string &camera_id) const
{
    std::optional<SearchFailureRow> failure;
    const std::string sql = std::string("SELECT param_error_type, module_code, error_code, "
                                        "error_text FROM search_failures WHERE camera_key = ") +
                            kCameraKeyOf;
    d_->Query(
        sql.c_str(),
        [&](Statement &row) {
            failure = SearchFailureRow{static_cast<int>(row.Int(0)), static_cast<int>(row.Int(1)),
                                       static_cast<int>(row.Int(2)), row.Text(3)};
        },
        site_id, camera_id);
    return failure;
}

std::optional<MediaFileRow> CRecordCatalogue::MediaFile(int64_t id) const
{
    std::optional<MediaFileRow> media;
    d_->Query(
        "SELECT id, path, duration, width, height FROM media_files WHERE id = ?",
        [&](Statement &row) {
            media = MediaFileRow{row.Int(0), row.Text(1), row.Real(2), static_cast<int>(row.Int(3)),
                                 static_cast<int>(row.Int(4))};
        },
        id);
    return media;
}

std::vector<MediaFileRow> CRecordCatalogue::MediaFiles() const
{
    std::vector<MediaFileRow> files;
    d_->Query("SELECT id, path, duration, width, height FROM media_files ORDER BY id",
              [&](Statement &row) {
                  files.push_back({row.Int(0), row.Text(1), row.Real(2),
                                   static_cast<int>(row.Int(3)), static_cast<int>(row.Int(4))});
              });
    return files;
}

namespace {
// ?1 site, ?2 camera, ?3 begin, ?4 end.
// A camera's recordings, as ReadRecording reads them; the caller adds the condition and order.
#define TVS_CAMERA_RECORDINGS                                                                      \
    "SELECT id, id, begin_time, end_time, file_name, file_size, record_file_type, iso_begin, "     \
    "iso_end, media_id, media_offset FROM recordings WHERE camera_key = (SELECT key FROM cameras " \
    "WHERE site_id = ?1 AND camera_id = ?2) "
const char *kRecordingSpan =
    TVS_CAMERA_RECORDINGS "AND begin_time <= ?4 AND end_time >= ?3 ORDER BY begin_time, id";
const char *kFirstRecording = TVS_CAMERA_RECORDINGS "ORDER BY begin_time, id LIMIT 1";
const char *kRecordingAt =
    TVS_CAMERA_RECORDINGS "AND begin_time <= ?3 AND end_time > ?3 ORDER BY begin_time DESC LIMIT 1";
#undef TVS_CAMERA_RECORDINGS

RecordingRow ReadRecording(Statement &row)
{
    RecordingRow r;
    ReadFile(row, r);
    r.media_id = row.Int(9);
    r.media_offset = row.Real(10);
    return r;
}
} // namespace

std::vector<RecordingRow> CRecordCatalogue::Recordings(const std::string &site_id,
                                                       const std::string &camera_id, int64_t begin,
                                                       int64_t end) const
{
    std::vector<RecordingRow> rows;
    if (begin > end)
        return rows;
    d_->Query(
        kRecordingSpan, [&](Statement &row) { rows.push_back(ReadRecording(row)); }, site_id,
        camera_id, begin, end);
    return rows;
}

std::optional<RecordingRow> CRecordCatalogue::FirstRecording(const std::string &site_id,
                                                             const std::string &camera_id) const
{
    std::optional<RecordingRow> found;
    d_->Query(
        kFirstRecording, [&](Statement &row) { found = ReadRecording(row); }, site_id, camera_id);
    return found;
}

std::optional<RecordingRow> CRecordCatalogue::RecordingAt(const std::string &site_id,
                                                          const std::string &camera_id,
                                                          int64_t t) const
{
    std::optional<RecordingRow> found;
    d_->Query(
        kRecordingAt, [&](Statement &row) { found = ReadRecording(row); }, site_id, camera_id, t);
    return found;
}

std::vector<TagRow> CRecordCatalogue::Tags(const std::string &site_id, const std::string &camera_id,
                                           int64_t begin, int64_t end,
                                           const TagFilter &filter) const
{
    std::vector<TagRow> rows;
    if (begin > end)
        return rows;
    const bool by_type = filter.label_type >= 101 && filter.label_type <= 103;
    d_->Query(
        "SELECT t.id, t.recording_id, t.begin_time, t.end_time, r.file_name, r.file_size, "
        "r.record_file_type, t.iso_begin, t.iso_end, t.label_id, t.label_type, t.name, "
        "t.description, t.color FROM tags t JOIN recordings r ON r.id = t.recording_id "
        "WHERE t.camera_key = (SELECT key FROM cameras WHERE site_id = ?1 AND camera_id = ?2) "
        "AND t.begin_time <= ?4 AND t.end_time >= ?3 AND (?5 = 0 OR t.label_type = ?5) "
        "AND (?6 = '' OR instr(t.name, ?6) > 0) ORDER BY t.begin_time, t.id",
        [&](Statement &row) {
            TagRow t;
            ReadFile(row, t);
            t.label_id = row.Text(9);
            t.label_type = static_cast<int>(row.Int(10));
            t.name = row.Text(11);
            t.description = row.Text(12);
            t.color = row.Text(13);
            rows.push_back(std::move(t));
        },
        site_id, camera_id, begin, end, by_type ? filter.label_type : 0, filter.name_part);
    return rows;
}

std::vector<FileRow> CRecordCatalogue::Locks(const std::string &site_id,
                                             const std::string &camera_id, int64_t begin,
                                             int64_t end) const
{
    std::vector<FileRow> rows;
    if (begin > end)
        return rows;
    d_->Query(
        "SELECT l.id, l.recording_id, l.begin_time, l.end_time, r.file_name, r.file_size, "
        "r.record_file_type, l.iso_begin, l.iso_end FROM locks l JOIN recordings r ON r.id = "
        "l.recording_id WHERE l.camera_key = (SELECT key FROM cameras WHERE site_id = ?1 AND "
        "camera_id = ?2) AND l.begin_time <= ?4 AND l.end_time >= ?3 ORDER BY l.begin_time, l.id",
        [&](Statement &row) {
            FileRow l;
            ReadFile(row, l);
            rows.push_back(std::move(l));
        },
        site_id, camera_id, begin, end);
    return rows;
}

std::vector<EventRow> CRecordCatalogue::Events(const std::string &site_id,
                                               const std::string &camera_id, int64_t begin,
                                               int64_t end, int event_type) const
{
    std::vector<EventRow> rows;
    if (begin > end)
        return rows;
    const int only = (event_type == teskplaycontroller::InteligentEventPerson ||
                      event_type == teskplaycontroller::InteligentEventVehicle)
                         ? event_type
                         : 0;
    d_->Query(
        "SELECT e.id, e.recording_id, e.begin_time, e.end_time, r.file_name, r.file_size, "
        "r.record_file_type, e.iso_begin, e.iso_end, e.event_type FROM events e JOIN recordings "
        "r ON r.id = e.recording_id WHERE e.camera_key = (SELECT key FROM cameras WHERE site_id "
        "= ?1 AND camera_id = ?2) AND e.begin_time <= ?4 AND e.end_time >= ?3 AND (?5 = 0 OR "
        "e.event_type = ?5) ORDER BY e.begin_time, e.id",
        [&](Statement &row) {
            EventRow e;
            ReadFile(row, e);
            e.event_type = static_cast<int>(row.Int(9));
            rows.push_back(std::move(e));
        },
        site_id, camera_id, begin, end, only);
    return rows;
}

std::vector<CapturePictureRow> CRecordCatalogue::CapturePictures(const std::string &site_id,
                                                                 const std::string &camera_id,
                                                                 int64_t begin, int64_t end) const
{
    std::vector<CapturePictureRow> rows;
    if (begin > end)
        return rows;
    d_->Query(
        "SELECT id, time, media_id, media_offset, jpeg_path FROM capture_pictures WHERE "
        "camera_key = (SELECT key FROM cameras WHERE site_id = ?1 AND camera_id = ?2) AND time "
        ">= ?3 AND time <= ?4 ORDER BY time, id",
        [&](Statement &row) {
            CapturePictureRow p;
            p.id = row.Int(0);
            p.time = row.Int(1);
            p.media_id = row.IsNull(2) ? 0 : row.Int(2);
            p.media_offset = row.Real(3);
            p.jpeg_path = row.IsNull(4) ? std::string() : row.Text(4);
            rows.push_back(std::move(p));
        },
        site_id, camera_id, begin, end);
    return rows;
}

std::vector<OperationLogRow> CRecordCatalogue::OperationLog() const
{
    std::vector<OperationLogRow> rows;
    d_->Query("SELECT id, time, code, camera_id, camera_name, result, module_code, error_code, "
              "text FROM operation_log ORDER BY id",
              [&](Statement &row) {
                  rows.push_back({row.Int(0), row.Int(1), static_cast<int>(row.Int(2)), row.Text(3),
                                  row.Text(4), static_cast<int>(row.Int(5)),
                                  static_cast<int>(row.Int(6)), static_cast<int>(row.Int(7)),
                                  row.Text(8)});
              });
    return rows;
}

std::optional<TagRow> CRecordCatalogue::FindTag(const std::string &site_id,
                                                const std::string &camera_id,
                                                const std::string &label_id) const
{
    std::optional<TagRow> found;
    d_->Query(
        "SELECT t.id, t.recording_id, t.begin_time, t.end_time, r.file_name, r.file_size, "
        "r.record_file_type, t.iso_begin, t.iso_end, t.label_id, t.label_type, t.name, "
        "t.description, t.color FROM tags t JOIN recordings r ON r.id = t.recording_id "
        "WHERE t.camera_key = (SELECT key FROM cameras WHERE site_id = ?1 AND camera_id = ?2) "
        "AND t.label_id = ?3 ORDER BY t.id LIMIT 1",
        [&](Statement &row) {
            TagRow t;
            ReadFile(row, t);
            t.label_id = row.Text(9);
            t.label_type = static_cast<int>(row.Int(10));
            t.name = row.Text(11);
            t.description = row.Text(12);
            t.color = row.Text(13);
            found = std::move(t);
        },
        site_id, camera_id, label_id);
    return found;
}

std::vector<CameraRow> CRecordCatalogue::FindCamerasById(const std::string &camera_id) const
{
    std::vector<CameraRow> cameras;
    const std::string sql = std::string(kCameraColumns) + "WHERE camera_id = ? ORDER BY key";
    d_->Query(
        sql.c_str(), [&](Statement &row) { cameras.push_back(ReadCamera(row)); }, camera_id);
    return cameras;
}

std::vector<RecordChangeRow> CRecordCatalogue::RecordChanges() const
{
    std::vector<RecordChangeRow> rows;
    d_->Query("SELECT id, time, operator, operation, site_id, camera_id, target, detail FROM "
              "record_changes ORDER BY id",
              [&](Statement &row) {
                  rows.push_back({row.Int(0), row.Int(1), row.Text(2), row.Text(3), row.Text(4),
                                  row.Text(5), row.Text(6), row.Text(7)});
              });
    return rows;
}

int64_t CRecordCatalogue::Count(const std::string &table) const
{
    static const char *const kTables[] = {
        "sites",           "cameras",     "record_plans",     "permission_denials",
        "search_failures", "media_files", "recordings",       "tags",
        "locks",           "events",      "capture_pictures", "operation_log",
        "record_changes",  "meta"};
    for (const char *known : kTables) {
        if (table == known) {
            int64_t count = -1;
            const std::string sql = "SELECT count(*) FROM " + table;
            d_->Query(sql.c_str(), [&](Statement &row) { count = row.Int(0); });
            return count;
        }
    }
    return -1;
}

std::string CRecordCatalogue::IntegrityCheck() const
{
    std::string result;
    const bool done = d_->Query("PRAGMA integrity_check", [&](Statement &row) {
        if (result.empty())
            result = row.Text(0);
    });
    return done ? result : LastReadError();
}

std::string CRecordCatalogue::TakeThreadReadError()
{
    std::string error;
    error.swap(t_read_error);
    return error;
}

std::string CRecordCatalogue::LastReadError() const
{
    std::lock_guard<std::mutex> lock(d_->readers_mutex);
    return d_->last_read_error;
}

} // namespace teskrecordserver
