#pragma once

#include "quorbase/Error.h"
#include "quorbase/ValueClass.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// Time-lapse requests of the plug-in manager: the records the module exchanges with the host,
// and the provider (the embedded recording server, or a test) that answers them.
namespace OrlPluginManager {

// One time-lapse task. generate_mode 0: compress the capture-plan pictures of the camera and
// span; 1: the device builds the video in the job named by job_id.
#define TESK_FIELDS_TimeLapsePhotoRequestParam(F)                                                  \
    F(int, generate_mode, 0)                                                                       \
    F(std::string, job_id, {})                                                                     \
    F(std::string, file_path, {})                                                                  \
    F(std::string, file_name, {})                                                                  \
    F(std::string, start_date, {})                                                                 \
    F(std::string, end_date, {})                                                                   \
    F(std::string, start_time, {})                                                                 \
    F(std::string, end_time, {})                                                                   \
    F(std::string, camera_resource_id, {})                                                         \
    F(std::string, guid, {})                                                                       \
    F(void *, user_data, nullptr)
TESK_VALUE_CLASS(, CTimeLapsePhotoRequestParam, TimeLapsePhotoRequestParam,
                 TESK_FIELDS_TimeLapsePhotoRequestParam)

#define TESK_FIELDS_TimeLapsePhotoReponseParam(F)                                                  \
    F(int, module_error_code, 0)                                                                   \
    F(int, error_code, 0)                                                                          \
    F(std::string, error_info, {})                                                                 \
    F(int, image_count, 0)
TESK_VALUE_CLASS(, CTimeLapsePhotoReponseParam, TimeLapsePhotoReponseParam,
                 TESK_FIELDS_TimeLapsePhotoReponseParam)

struct DeviceTimeLapsePhotoCreateStatusRequestParam
{
    std::string job_id;
};

enum DeviceTimeLapseStatus {
    DeviceTimeLapseCreating = 1,
    DeviceTimeLapseFinished = 2,
    DeviceTimeLapseFailed = 4,
};

struct DeviceTimeLapsePhotoCreateStatusResponseParam
{
    int module_error_code = 0;
    int error_code = 0;
    int status = DeviceTimeLapseCreating;
    int progress = 0; // percent; 100 = the file is ready
};

struct DeviceTimeLapseRecordFileInfoRequestParam
{
    std::string job_id;
};

struct DeviceTimeLapseRecordFileInfo
{
    std::string file_name;
    std::string file_size; // kilobytes, decimal text
};

struct DeviceTimeLapseRecordFileInfoResponseParam
{
    int module_error_code = 0;
    int error_code = 0;
    DeviceTimeLapseRecordFileInfo record_file_info;
};

// What the playback controller's downloader asks for when it fetches a device-built video.
struct DeviceTimeLapseStreamRequest
{
    std::string camera_resource_id;
    std::string search_begin; // "yyyyMMddThhmmss"
    std::string search_end;
    int64_t begin_time = -1;
    int64_t end_time = -1;
};

// Receives the bytes of a streamed video; false stops the stream.
using StreamSink = std::function<bool(const char *data, size_t size)>;

// Answers the time-lapse requests. Every call runs on a worker or download thread and may block;
// `abort` turns true when the caller gives up, and a long call should return soon after.
class ITimeLapseProvider
{
public:
    virtual ~ITimeLapseProvider() = default;

    // Mode 0: writes the capture-plan pictures of request.camera_resource_id taken between
    // start date/time and end date/time into request.file_path as "0.jpg", "1.jpg", ... and sets
    // response.image_count. Mode 1: starts the device's job request.job_id. False with the
    // response's error codes and text filled on failure. An aborted download (a paused task)
    // returns true early with image_count set to the number of pictures of the span: the
    // resumed task downloads them again and keeps that count.
    virtual bool DownLoadImage(const TimeLapsePhotoRequestParam &request,
                               const std::atomic<bool> &abort,
                               TimeLapsePhotoReponseParam &response) = 0;

    // One poll of a device job; the progress may advance with every call. status 4: failed.
    virtual bool
    GetDeviceTimeLapseFileCreting(const DeviceTimeLapsePhotoCreateStatusRequestParam &request,
                                  DeviceTimeLapsePhotoCreateStatusResponseParam &response) = 0;

    // The description of a finished job's file: its name and its size in kilobytes.
    virtual bool
    GetDeviceTimeLapseRecordFileInfo(const DeviceTimeLapseRecordFileInfoRequestParam &request,
                                     DeviceTimeLapseRecordFileInfoResponseParam &response) = 0;

    // Streams the device-built video of the camera and span to `sink`, in order. False with
    // `error` set when there is none or the stream broke; an aborted stream returns false.
    virtual bool StreamDeviceTimeLapse(const DeviceTimeLapseStreamRequest &request,
                                       const StreamSink &sink, const std::atomic<bool> &abort,
                                       Quor::Base::Error::ErrorCode &error) = 0;
};

// The provider every time-lapse request goes to; set by the host before the first task.
class CTimeLapseProviderRegistry
{
public:
    static void SetProvider(std::shared_ptr<ITimeLapseProvider> provider);
    static std::shared_ptr<ITimeLapseProvider> GetProvider();
};

// Error codes of the time-lapse requests (module 0x30).
namespace TimeLapseError {
constexpr int kModule = 0x30;
constexpr int kNoProvider = 0x3001;
constexpr int kAborted = 0x3002;
constexpr int kNoPictures = 0x3003;
constexpr int kUnknownCamera = 0x3004;
constexpr int kWriteFailed = 0x3005;
constexpr int kUnknownJob = 0x3006;
constexpr int kDeviceFailed = 0x3007;
constexpr int kNoVideo = 0x3008;
} // namespace TimeLapseError

} // namespace OrlPluginManager
