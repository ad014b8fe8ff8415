#include "RecordExport.h"

#include "DownloaderCamera.h"

#include "mirelog/Log.h"
#include "pluginmanager/PluginManager.h"

#include <QDir>
#include <QFileInfo>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
}

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include <unistd.h>

namespace teskplaycontroller {

namespace {

std::string AvError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

struct InputCloser
{
    void operator()(AVFormatContext *context) const { avformat_close_input(&context); }
};
using Input = std::unique_ptr<AVFormatContext, InputCloser>;

struct PacketFree
{
    void operator()(AVPacket *packet) const { av_packet_free(&packet); }
};
using Packet = std::unique_ptr<AVPacket, PacketFree>;

// The output file being written; removes its temporary file unless published.
class Output
{
public:
    explicit Output(std::string path)
        : path_(std::move(path))
    {}
    ~Output()
    {
        if (context_) {
            if (context_->pb)
                avio_closep(&context_->pb);
            avformat_free_context(context_);
        }
        if (!kept_)
            std::remove(path_.c_str());
    }

    bool Open(const AVStream *input, std::string &error)
    {
        int code = avformat_alloc_output_context2(&context_, nullptr, "mp4", path_.c_str());
        if (code < 0 || !context_) {
            error = "The MP4 writer cannot be created: " + AvError(code);
            return false;
        }
        stream_ = avformat_new_stream(context_, nullptr);
        if (!stream_ || avcodec_parameters_copy(stream_->codecpar, input->codecpar) < 0) {
            error = "The MP4 writer cannot take the recording's stream.";
            return false;
        }
        stream_->codecpar->codec_tag = 0;
        stream_->time_base = input->time_base;
        code = avio_open(&context_->pb, path_.c_str(), AVIO_FLAG_WRITE);
        if (code < 0) {
            error = "The file " + path_ + " cannot be written: " + AvError(code);
            return false;
        }
        code = avformat_write_header(context_, nullptr);
        if (code < 0) {
            error = "The file " + path_ + " cannot be written: " + AvError(code);
            return false;
        }
        return true;
    }

    bool Write(AVPacket *packet, std::string &error)
    {
        packet->stream_index = stream_->index;
        const int code = av_interleaved_write_frame(context_, packet);
        if (code < 0) {
            error = "Writing " + path_ + " failed: " + AvError(code);
            return false;
        }
        return true;
    }

    bool Finish(std::string &error)
    {
        int code = av_write_trailer(context_);
        if (code >= 0)
            code = avio_closep(&context_->pb);
        if (code < 0 || (context_->pb && context_->pb->error < 0)) {
            error = "Writing " + path_ + " failed: " + AvError(code);
            return false;
        }
        return true;
    }

    AVRational TimeBase() const { return stream_->time_base; }
    void Keep() { kept_ = true; }

private:
    std::string path_;
    AVFormatContext *context_ = nullptr;
    AVStream *stream_ = nullptr;
    bool kept_ = false;
};

} // namespace

std::string CRecordExporter::TemporaryNameFor(const std::string &target)
{
    static std::atomic<unsigned> counter{0};
    const auto slash = target.find_last_of('/');
    const std::string dir =
        slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    return dir + "." + name + "." + std::to_string(::getpid()) + "-" +
           std::to_string(counter.fetch_add(1)) + ".part";
}

bool CRecordExporter::PublishFile(const std::string &temporary, const std::string &target,
                                  std::string &error)
{
    // A hard link fails when the name exists, so that no file is ever replaced.
    const int code = ::link(temporary.c_str(), target.c_str());
    const int link_errno = errno;
    std::remove(temporary.c_str());
    if (code == 0)
        return true;
    error = link_errno == EEXIST
                ? "The file " + target + " already exists."
                : "The file " + target + " cannot be created: " + std::strerror(link_errno);
    return false;
}

bool CRecordExporter::ExportSpans(const ResourceKey &camera, const std::vector<ExportSpan> &spans,
                                  const std::string &target, const ExportProgress &progress,
                                  std::string &error)
{
    const auto source = CRecordingSourceRegistry::GetSource();
    if (!source) {
        error = "No recording source is installed.";
        return false;
    }
    std::vector<MediaPiece> pieces;
    for (const ExportSpan &span : spans) {
        std::vector<MediaPiece> part;
        if (!source->ResolveMedia(camera, span.begin, span.end, part, error))
            return false;
        pieces.insert(pieces.end(), part.begin(), part.end());
    }
    return CopyPieces(pieces, target, progress, error);
}

bool CRecordExporter::CopyPieces(const std::vector<MediaPiece> &pieces, const std::string &target,
                                 const ExportProgress &progress, std::string &error)
{
    if (pieces.empty()) {
        error = "There is nothing to export.";
        return false;
    }
    if (::access(target.c_str(), F_OK) == 0) {
        error = "The file " + target + " already exists.";
        return false;
    }
    double total = 0;
    for (const MediaPiece &piece : pieces)
        total += piece.to - piece.from;

    const std::string temporary = TemporaryNameFor(target);
    std::unique_ptr<Output> output;
    Input input;
    std::string input_path;
    int video = -1;
    Packet packet(av_packet_alloc());
    // Where the next piece starts in the output, in the output's time base.
    int64_t next_start = 0;
    double done = 0;
    for (const MediaPiece &piece : pieces) {
        if (!input || input_path != piece.path) {
            AVFormatContext *opened = nullptr;
            const int code = avformat_open_input(&opened, piece.path.c_str(), nullptr, nullptr);
            if (code < 0) {
                error = "The media file " + piece.path + " cannot be opened: " + AvError(code);
                return false;
            }
            input.reset(opened);
            input_path = piece.path;
            if (avformat_find_stream_info(opened, nullptr) < 0 ||
                (video = av_find_best_stream(opened, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0)) < 0) {
                error = "The media file " + piece.path + " holds no video.";
                return false;
            }
        }
        AVStream *stream = input->streams[video];
        if (!output) {
            output = std::make_unique<Output>(temporary);
            if (!output->Open(stream, error))
                return false;
        }
        const AVRational seconds{1, AV_TIME_BASE};
        const int64_t from =
            av_rescale_q(int64_t(piece.from * AV_TIME_BASE), seconds, stream->time_base);
        const int64_t to =
            av_rescale_q(int64_t(piece.to * AV_TIME_BASE), seconds, stream->time_base);
        if (av_seek_frame(input.get(), video, from, AVSEEK_FLAG_BACKWARD) < 0) {
            error = "The media file " + piece.path + " cannot be positioned.";
            return false;
        }
        int64_t base = AV_NOPTS_VALUE;
        int64_t last_end = next_start;
        while (av_read_frame(input.get(), packet.get()) >= 0) {
            if (packet->stream_index != video) {
                av_packet_unref(packet.get());
                continue;
            }
            const int64_t pts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
            if (pts >= to && base != AV_NOPTS_VALUE) {
                av_packet_unref(packet.get());
                break;
            }
            if (base == AV_NOPTS_VALUE) {
                if (!(packet->flags & AV_PKT_FLAG_KEY)) {
                    av_packet_unref(packet.get());
                    continue;
                }
                base = packet->dts != AV_NOPTS_VALUE ? packet->dts : pts;
            }
            int64_t duration = packet->duration;
            if (duration <= 0 && stream->avg_frame_rate.num > 0)
                duration = av_rescale_q(1, av_inv_q(stream->avg_frame_rate), stream->time_base);
            packet->pts = pts - base;
            packet->dts = (packet->dts != AV_NOPTS_VALUE ? packet->dts : pts) - base;
            packet->duration = duration;
            av_packet_rescale_ts(packet.get(), stream->time_base, output->TimeBase());
            packet->pts += next_start;
            packet->dts += next_start;
            last_end = packet->dts + packet->duration;
            packet->pos = -1;
            const bool written = output->Write(packet.get(), error);
            av_packet_unref(packet.get());
            if (!written)
                return false;
        }
        next_start = last_end;
        done += piece.to - piece.from;
        if (progress && !progress(total > 0 ? done / total : 1.0)) {
            error = "The export was cancelled.";
            return false;
        }
    }
    if (!output->Finish(error))
        return false;
    output->Keep();
    output.reset();
    return PublishFile(temporary, target, error);
}

bool CRecordFileDownloadHandler::DownloadRecordFiles(
    const play_plugin_protocol::DownloadRequestParam &request,
    play_plugin_protocol::ErrorResultInfo &error)
{
    for (const auto &file : request.files) {
        OrlPluginManager::GetCameraParam query;
        query.camera_id = file.camera_id;
        const auto cameras = OrlPluginManager::CCameraDirectory::Instance().FindCameras(query);
        std::string reason;
        if (cameras.empty()) {
            reason = "The camera " + file.camera_id + " is unknown.";
        } else if (file.end_time <= file.begin_time) {
            reason = "The span of " + file.camera_id + " is empty.";
        } else {
            const std::string target = file.target_path + ".mp4";
            QDir().mkpath(QFileInfo(QString::fromStdString(target)).absolutePath());
            ResourceKey camera;
            camera.site_id = cameras.front().site_id;
            camera.resource_id = file.camera_id;
            if (CRecordExporter::ExportSpans(camera, {{file.begin_time, file.end_time}}, target, {},
                                             reason))
                continue;
        }
        TESK_LOG_ERROR("%s", reason.c_str());
        error.error_code = DownloadError::kWriteFailed;
        error.error_text = reason;
        return false;
    }
    return true;
}

} // namespace teskplaycontroller
