#pragma once

#include <cstdint>
#include <memory>
#include <string>

// The stream-play library's image transcoder: JPEG pictures in, one H.264 MP4 file out.
namespace tesk_videoplayhelper {

enum SystemFormat {
    SYSTEM_FORMAT_PS = 2,
    SYSTEM_FORMAT_MP4 = 5,
};

enum VideoFormat {
    VIDEO_FORMAT_H264 = 256,
};

struct VIDEO_INFO
{
    float frame_rate = 25.0f;
    uint16_t width = 1280;
    uint16_t height = 720;
};

struct STREAM_INFO
{
    int32_t system_format = SYSTEM_FORMAT_PS;
    int32_t video_format = VIDEO_FORMAT_H264;
    int32_t audio_format = 0;   // 0: no audio
    int32_t packet_size = 2048; // muxer packet size hint
    VIDEO_INFO video_info;
};

// Describes one fed picture; the picture's own size comes from its data.
struct FRAME_INFO
{
    int32_t width = 0;
    int32_t height = 0;
    int32_t frame_type = 0;
    int32_t time_stamp = 0;
    int32_t frame_rate = 25;
    int32_t reserved = 0;
};

// Error values of the out-parameters.
enum TranscodeError {
    TRANSCODE_OK = 0,
    TRANSCODE_NOT_INITIALISED = 1,
    TRANSCODE_BAD_PARAMETER = 2,
    TRANSCODE_NO_ENCODER = 3,
    TRANSCODE_OPEN_FILE_FAILED = 4,
    TRANSCODE_ENCODE_FAILED = 5,
    TRANSCODE_NOT_STARTED = 6,
    TRANSCODE_WRITE_FAILED = 7,
    TRANSCODE_UNSUPPORTED_FORMAT = 8,
};

// Encodes fed JPEG pictures into "<dir>/<name>.mp4": H.264 (libx264 when present, preset
// veryfast), yuv420p, the frame rate and the size (rounded down to even) of the VIDEO_INFO;
// pictures of another size are scaled. Decoding and encoding run on a thread of the transcoder,
// so FC_Start_Binary_MP4 returns once the bytes are queued; an encoder failure surfaces at the
// next call or at StopConvert. A picture that cannot be decoded is skipped with a log line:
// one broken capture must not cost the whole video.
class CImageDataTranscoding
{
public:
    CImageDataTranscoding();
    ~CImageDataTranscoding();
    CImageDataTranscoding(const CImageDataTranscoding &) = delete;
    CImageDataTranscoding &operator=(const CImageDataTranscoding &) = delete;

    bool Init();
    bool StartConvert(const std::string &dir, const std::string &name, const STREAM_INFO &stream,
                      const VIDEO_INFO &video, int &error);
    bool FC_Start_Binary_MP4(const char *data, long size, const FRAME_INFO *frame, int &error);
    // Encodes what is queued, finishes and closes the file.
    bool StopConvert(int &error);
    std::string GetWholeFilePath() const;

    int EncodedFrames() const;
    int SkippedPictures() const;
    // The encoder in use ("libx264", or the best other H.264 encoder).
    std::string EncoderName() const;

private:
    struct Private;
    std::unique_ptr<Private> d_;
};

} // namespace tesk_videoplayhelper
