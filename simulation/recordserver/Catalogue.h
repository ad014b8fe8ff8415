#pragma once

#include "pluginmanager/PluginManager.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

// The embedded recording server: a catalogue of sites, cameras and their recordings in SQLite,
// and the media files that hold the pictures.
namespace teskrecordserver {

enum class StoreError {
    None,
    NotADatabase,
    NewerSchema,
    ReadOnly,
    Io,
    Sql,
    NotFound,
    Media,
    Corrupt,
    Foreign,
};

// Outcome of a store operation: success, or one error with a message for the operator.
class CStoreStatus
{
public:
    CStoreStatus() = default;
    static CStoreStatus Ok() { return {}; }
    static CStoreStatus Fail(StoreError error, std::string message)
    {
        CStoreStatus status;
        status.error_ = error;
        status.message_ = std::move(message);
        return status;
    }

    bool IsOk() const { return error_ == StoreError::None; }
    explicit operator bool() const { return IsOk(); }
    StoreError Error() const { return error_; }
    const std::string &Message() const { return message_; }

private:
    StoreError error_ = StoreError::None;
    std::string message_;
};

struct SiteRow
{
    std::string id;
    std::string name;
};

struct CameraRow
{
    int64_t key = 0; // the catalogue's own row number
    std::string site_id;
    std::string id;
    std::string name;
    std::string area_name;
    std::string device_id;
    int element_type = 0;
    OrlPluginManager::COrlTimeZoneInfor time_zone;
    std::string stream_key;
};

struct RecordPlanRow
{
    std::string site_id;
    std::string camera_id;
    int location_type = 1;
    int storage_media_type = 2;
    int stream_type = 0;
    bool configured = true;
};

struct PermissionDenialRow
{
    std::string site_id;
    std::string camera_id;
    int item = 0;
};

// The failure a camera's searches answer with, as a misconfigured recorder would.
struct SearchFailureRow
{
    int param_error_type = 0;
    int module_code = 0;
    int error_code = 0;
    std::string error_text;
};

struct MediaFileRow
{
    int64_t id = 0;
    std::string path;    // relative to the store directory
    double duration = 0; // seconds
    int width = 0;
    int height = 0;
};

// Fields shared by everything a search can return: the span and the recording file it lies in.
struct FileRow
{
    int64_t id = 0;
    int64_t recording_id = 0;
    int64_t begin = 0;
    int64_t end = 0;
    std::string file_name;
    int64_t file_size = 0;
    int record_file_type = 0;
    std::string iso_begin;
    std::string iso_end;
};

struct RecordingRow : FileRow
{
    int64_t media_id = 0;
    double media_offset = 0; // seconds into the media file at `begin`
};

struct TagRow : FileRow
{
    std::string label_id;
    int label_type = 101;
    std::string name;
    std::string description;
    std::string color;
};

struct EventRow : FileRow
{
    int event_type = 1;
};

// One picture of a camera's capture plan: a frame of a media file, or a JPEG file.
struct CapturePictureRow
{
    int64_t id = 0;
    int64_t time = 0;
    int64_t media_id = 0; // 0 when the picture is a JPEG file
    double media_offset = 0;
    std::string jpeg_path; // relative to the store directory
};

struct OperationLogRow
{
    int64_t id = 0;
    int64_t time = 0;
    int code = 0;
    std::string camera_id;
    std::string camera_name;
    int result = 1;
    int module_code = 0;
    int error_code = 0;
    std::string text;
};

// One change of the recordings made through the services, for the audit: who, what, when.
struct RecordChangeRow
{
    int64_t id = 0;
    int64_t time = 0; // seconds, UTC
    std::string operator_name;
    std::string operation; // "modify-tag", "delete-tag", "lock", "unlock"
    std::string site_id;
    std::string camera_id;
    std::string target; // the tag's identifier, or the span "begin-end" of a lock
    std::string detail; // what changed, readable
};

// The new state of a tag. A span is changed only when `begin` is positive.
struct TagChange
{
    std::string name;
    std::string description;
    int label_type = 101;
    int64_t begin = 0;
    int64_t end = 0;
    int64_t recording_id = 0; // the recording that holds `begin`, when the span changes
    std::string iso_begin;
    std::string iso_end;
};

// Filters of the tag and person/vehicle queries.
struct TagFilter
{
    int label_type = 0;    // 101, 102 or 103 select one kind; anything else all
    std::string name_part; // substring of the tag's name; empty: any name
};

// The catalogue file. One writer connection per process (guarded by a mutex) and a pool of
// reader connections, so that service threads read in parallel while a writer works; a busy
// timeout lets several processes share one file.
class CRecordCatalogue
{
public:
    static constexpr int kSchemaVersion = 3;

    CRecordCatalogue();
    ~CRecordCatalogue();
    CRecordCatalogue(const CRecordCatalogue &) = delete;
    CRecordCatalogue &operator=(const CRecordCatalogue &) = delete;

    // Opens the catalogue at `path`, creating it (and bringing its schema up to date) when
    // needed. A file that is not SQLite, an SQLite file of another program, a damaged file
    // (PRAGMA quick_check), a newer schema or a read-only file fail with one error that names
    // the file; a refused file is left as it was.
    CStoreStatus Open(const std::string &path);
    // Opens an existing catalogue for reading only (a store on read-only media, an archived
    // copy): reads answer, every write fails as read-only and leaves the file untouched.
    CStoreStatus OpenReadOnly(const std::string &path);
    void Close();
    bool IsOpen() const;
    const std::string &Path() const;
    int SchemaVersion() const;

    // Runs `work` in one exclusive write transaction; it commits when `work` succeeds.
    CStoreStatus Write(const std::function<CStoreStatus(CRecordCatalogue &)> &work);

    // Inside Write only.
    CStoreStatus SetMeta(const std::string &key, const std::string &value);
    CStoreStatus AddSite(const SiteRow &site);
    CStoreStatus AddCamera(CameraRow &camera); // sets camera.key
    CStoreStatus SetRecordPlan(const RecordPlanRow &plan);
    CStoreStatus DenyPermission(const PermissionDenialRow &denial);
    CStoreStatus SetSearchFailure(const std::string &site_id, const std::string &camera_id,
                                  const SearchFailureRow &failure);
    CStoreStatus AddMediaFile(MediaFileRow &media);                         // sets media.id
    CStoreStatus AddRecording(int64_t camera_key, RecordingRow &recording); // sets id
    CStoreStatus AddTag(int64_t camera_key, TagRow &tag);
    CStoreStatus AddLock(int64_t camera_key, FileRow &lock);
    CStoreStatus AddEvent(int64_t camera_key, EventRow &event);
    CStoreStatus AddCapturePicture(int64_t camera_key, CapturePictureRow &picture);
    // Changes of single rows; NotFound when the tag or lock does not exist (any more).
    CStoreStatus ModifyTag(int64_t camera_key, const std::string &label_id,
                           const TagChange &change);
    CStoreStatus DeleteTag(int64_t camera_key, const std::string &label_id);
    CStoreStatus RemoveLock(int64_t camera_key, int64_t begin, int64_t end);
    CStoreStatus AppendRecordChange(RecordChangeRow &change); // sets change.id

    // A write of its own (takes the writer for one statement).
    CStoreStatus AppendOperationLog(OperationLogRow &entry);

    // Reads. Spans are inclusive overlaps: a row overlaps [begin, end] when it begins at or
    // before `end` and ends at or after `begin`; a reversed span matches nothing. Rows come in
    // order of their begin time.
    std::optional<std::string> Meta(const std::string &key) const;
    std::vector<SiteRow> Sites() const;
    std::vector<CameraRow> Cameras() const;
    std::optional<CameraRow> FindCamera(const std::string &site_id,
                                        const std::string &camera_id) const;
    std::vector<RecordPlanRow> RecordPlans() const;
    std::vector<PermissionDenialRow> PermissionDenials() const;
    std::optional<SearchFailureRow> SearchFailure(const std::string &site_id,
                                                  const std::string &camera_id) const;
    std::optional<MediaFileRow> MediaFile(int64_t id) const;
    std::vector<MediaFileRow> MediaFiles() const;
    std::vector<RecordingRow> Recordings(const std::string &site_id, const std::string &camera_id,
                                         int64_t begin, int64_t end) const;
    // The camera's earliest recording.
    std::optional<RecordingRow> FirstRecording(const std::string &site_id,
                                               const std::string &camera_id) const;
    // The recording that holds second `t` (begin <= t < end).
    std::optional<RecordingRow> RecordingAt(const std::string &site_id,
                                            const std::string &camera_id, int64_t t) const;
    std::vector<TagRow> Tags(const std::string &site_id, const std::string &camera_id,
                             int64_t begin, int64_t end, const TagFilter &filter = {}) const;
    std::vector<FileRow> Locks(const std::string &site_id, const std::string &camera_id,
                               int64_t begin, int64_t end) const;
    // `event_type` 2 or 4 selects that type only; anything else every event.
    std::vector<EventRow> Events(const std::string &site_id, const std::string &camera_id,
                                 int64_t begin, int64_t end, int event_type = 1) const;
    // The capture-plan pictures of a camera taken in [begin, end], in time order.
    std::vector<CapturePictureRow> CapturePictures(const std::string &site_id,
                                                   const std::string &camera_id, int64_t begin,
                                                   int64_t end) const;
    std::vector<OperationLogRow> OperationLog() const;
    std::optional<TagRow> FindTag(const std::string &site_id, const std::string &camera_id,
                                  const std::string &label_id) const;
    // Cameras with this identifier, on any site.
    std::vector<CameraRow> FindCamerasById(const std::string &camera_id) const;
    std::vector<RecordChangeRow> RecordChanges() const;

    // Rows of a table ("recordings", "tags", …); -1 for an unknown table.
    int64_t Count(const std::string &table) const;
    // "ok" for a sound file, the first problem otherwise.
    std::string IntegrityCheck() const;

    // The last read failure (reads answer empty results on failure).
    std::string LastReadError() const;
    // The first read failure of the calling thread since its last call, cleared by the call:
    // lets a caller that made several reads tell an empty answer from a failed one.
    static std::string TakeThreadReadError();

private:
    struct Private;
    std::unique_ptr<Private> d_;
};

} // namespace teskrecordserver
