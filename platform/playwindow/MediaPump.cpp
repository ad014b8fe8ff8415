#include "MediaPump.h"

#include "mirelog/Log.h"

#include <chrono>
#include <cmath>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libswscale/swscale.h>
}

namespace teskplaywindow {

namespace {

QString AvError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {0};
    av_strerror(code, text, sizeof(text));
    return QString::fromUtf8(text);
}

} // namespace

struct CMediaPump::Decoder
{
    AVFormatContext *format = nullptr;
    AVCodecContext *codec = nullptr;
    SwsContext *sws = nullptr;
    AVPacket *packet = nullptr;
    AVFrame *frame = nullptr;
    int stream = -1;
    double time_base = 0.0;
    int64_t start_pts = 0;
    bool draining = false;
    teskplaycontroller::RecordingMedia media;
    size_t range = 0;
    int64_t drop_before_ms = 0; // frames before this are decoded but not shown (seeking)

    ~Decoder() { Close(); }
    bool IsOpen() const { return codec != nullptr; }
    void Close()
    {
        sws_freeContext(sws);
        sws = nullptr;
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
        stream = -1;
        draining = false;
        media = {};
    }
};

CMediaPump::CMediaPump(QObject *parent)
    : QObject(parent)
{
    clock_.start();
    decoder_ = std::thread([this] { Decode(); });
    pacer_ = std::thread([this] { Pace(); });
}

CMediaPump::~CMediaPump()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    pace_wake_.notify_all();
    decode_wake_.notify_all();
    pacer_.join();
    decoder_.join();
}

quint64 CMediaPump::Start(std::shared_ptr<teskplaycontroller::IRecordingSource> source,
                          const teskplaycontroller::ResourceKey &camera, std::vector<Range> ranges,
                          double start, bool paused)
{
    quint64 generation = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        source_ = std::move(source);
        camera_ = camera;
        ranges_ = std::move(ranges);
        seek_ = start;
        paused_ = paused;
        running_ = true;
        queue_.clear();
        generation = ++generation_;
    }
    pace_wake_.notify_all();
    decode_wake_.notify_all();
    return generation;
}

quint64 CMediaPump::Seek(double utc)
{
    quint64 generation = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        seek_ = utc;
        running_ = true;
        queue_.clear();
        generation = ++generation_;
    }
    pace_wake_.notify_all();
    decode_wake_.notify_all();
    return generation;
}

void CMediaPump::SetPaused(bool paused)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (paused_ == paused)
            return;
        paused_ = paused;
        reanchor_ = true;
    }
    pace_wake_.notify_all();
}

void CMediaPump::SetSpeed(double speed)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        speed_ = speed;
        reanchor_ = true;
    }
    pace_wake_.notify_all();
}

void CMediaPump::SetTrackEnabled(bool enabled)
{
    std::lock_guard<std::mutex> lock(mutex_);
    track_ = enabled;
}

void CMediaPump::Stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        running_ = false;
        seek_.reset();
        queue_.clear();
        ++generation_;
    }
    pace_wake_.notify_all();
    decode_wake_.notify_all();
}

std::optional<size_t> CMediaPump::RangeOf(double utc) const
{
    for (size_t i = 0; i < job_.ranges.size(); ++i) {
        if (utc < static_cast<double>(job_.ranges[i].second))
            return i;
    }
    return std::nullopt;
}

bool CMediaPump::OpenAt(Decoder &decoder, double utc, QString &error)
{
    decoder.Close();
    const auto range = RangeOf(utc);
    if (!range)
        return false;
    // A time in a gap between files plays on from the next file.
    utc = std::max(utc, static_cast<double>(job_.ranges[*range].first));
    decoder.range = *range;
    std::string why;
    if (!job_.source ||
        !job_.source->MediaForPlay(job_.camera, static_cast<int64_t>(std::floor(utc)),
                                   decoder.media, why)) {
        error = QString::fromStdString(why.empty() ? "No recording source is installed." : why);
        return false;
    }
    const QString where = QString::fromStdString(decoder.media.path);
    int rc = avformat_open_input(&decoder.format, decoder.media.path.c_str(), nullptr, nullptr);
    if (rc < 0) {
        error = QString("The media %1 cannot be opened: %2").arg(where, AvError(rc));
        return false;
    }
    if ((rc = avformat_find_stream_info(decoder.format, nullptr)) < 0 ||
        (rc = av_find_best_stream(decoder.format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0)) < 0) {
        error = QString("The media %1 holds no video: %2").arg(where, AvError(rc));
        return false;
    }
    decoder.stream = rc;
    AVStream *stream = decoder.format->streams[rc];
    const AVCodec *codec = avcodec_find_decoder(stream->codecpar->codec_id);
    decoder.codec = avcodec_alloc_context3(codec);
    if (!codec || !decoder.codec ||
        avcodec_parameters_to_context(decoder.codec, stream->codecpar) < 0 ||
        (rc = avcodec_open2(decoder.codec, codec, nullptr)) < 0) {
        error = QString("The media %1 cannot be decoded: %2").arg(where, AvError(rc));
        return false;
    }
    decoder.packet = av_packet_alloc();
    decoder.frame = av_frame_alloc();
    decoder.time_base = av_q2d(stream->time_base);
    decoder.start_pts = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
    const double offset = utc - static_cast<double>(decoder.media.begin);
    if (offset > 0.0) {
        const auto target = static_cast<int64_t>(offset / decoder.time_base) + decoder.start_pts;
        if ((rc = av_seek_frame(decoder.format, decoder.stream, target, AVSEEK_FLAG_BACKWARD)) <
            0) {
            error = QString("The media %1 cannot seek: %2").arg(where, AvError(rc));
            return false;
        }
        avcodec_flush_buffers(decoder.codec);
    }
    decoder.drop_before_ms = static_cast<int64_t>(std::llround(utc * 1000.0));
    return true;
}

bool CMediaPump::NextFrame(Decoder &decoder, Frame &frame, bool &ended, QString &error)
{
    ended = false;
    frame.jumped = false;
    for (;;) {
        if (!decoder.IsOpen()) {
            error = "No media is open.";
            return false;
        }
        int rc = avcodec_receive_frame(decoder.codec, decoder.frame);
        if (rc == AVERROR(EAGAIN) && !decoder.draining) {
            rc = av_read_frame(decoder.format, decoder.packet);
            if (rc == AVERROR_EOF) {
                decoder.draining = true;
                avcodec_send_packet(decoder.codec, nullptr);
            } else if (rc < 0) {
                error = QString("The media %1 cannot be read: %2")
                            .arg(QString::fromStdString(decoder.media.path), AvError(rc));
                return false;
            } else {
                if (decoder.packet->stream_index == decoder.stream)
                    rc = avcodec_send_packet(decoder.codec, decoder.packet);
                av_packet_unref(decoder.packet);
                if (rc < 0 && rc != AVERROR(EAGAIN)) {
                    error = QString("The media %1 is damaged: %2")
                                .arg(QString::fromStdString(decoder.media.path), AvError(rc));
                    return false;
                }
            }
            continue;
        }
        const size_t range = decoder.range;
        if (rc == AVERROR_EOF || rc == AVERROR(EAGAIN)) {
            // The piece is played out: on with the next piece, or the next file.
            double next = static_cast<double>(decoder.media.begin + decoder.media.seconds);
            if (next >= static_cast<double>(job_.ranges[range].second)) {
                if (range + 1 >= job_.ranges.size()) {
                    ended = true;
                    return false;
                }
                next = static_cast<double>(job_.ranges[range + 1].first);
                frame.jumped = true;
            }
            if (!OpenAt(decoder, next, error)) {
                ended = error.isEmpty();
                return false;
            }
            continue;
        }
        if (rc < 0) {
            error = QString("The media %1 is damaged: %2")
                        .arg(QString::fromStdString(decoder.media.path), AvError(rc));
            return false;
        }
        const int64_t pts = decoder.frame->best_effort_timestamp == AV_NOPTS_VALUE
                                ? decoder.frame->pts
                                : decoder.frame->best_effort_timestamp;
        const int64_t utc_ms =
            decoder.media.begin * 1000 +
            std::llround(static_cast<double>(pts - decoder.start_pts) * decoder.time_base * 1000.0);
        if (utc_ms >= job_.ranges[range].second * 1000) {
            // The file ends inside this piece.
            if (range + 1 >= job_.ranges.size()) {
                ended = true;
                return false;
            }
            frame.jumped = true;
            if (!OpenAt(decoder, static_cast<double>(job_.ranges[range + 1].first), error)) {
                ended = error.isEmpty();
                return false;
            }
            continue;
        }
        if (utc_ms < decoder.drop_before_ms || utc_ms < job_.ranges[range].first * 1000)
            continue;
        const int width = decoder.frame->width;
        const int height = decoder.frame->height;
        decoder.sws = sws_getCachedContext(
            decoder.sws, width, height, static_cast<AVPixelFormat>(decoder.frame->format), width,
            height, AV_PIX_FMT_RGB32, SWS_BILINEAR, nullptr, nullptr, nullptr);
        QImage image(width, height, QImage::Format_RGB32);
        if (!decoder.sws || image.isNull()) {
            error = "A frame cannot be converted.";
            return false;
        }
        uint8_t *planes[1] = {image.bits()};
        const int strides[1] = {static_cast<int>(image.bytesPerLine())};
        sws_scale(decoder.sws, decoder.frame->data, decoder.frame->linesize, 0, height, planes,
                  strides);
        frame.image = std::move(image);
        frame.utc_ms = utc_ms;
        return true;
    }
}

void CMediaPump::Decode()
{
    Decoder decoder;
    quint64 generation = 0;
    bool active = false; // more frames to decode for `generation`
    int64_t last_track_second = -1;
    for (;;) {
        std::optional<double> seek;
        bool track = false;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            decode_wake_.wait(lock, [&] {
                return stop_ || seek_ ||
                       (active && generation == generation_ && queue_.size() < kFramesAhead);
            });
            if (stop_)
                break;
            if (seek_) {
                seek = seek_;
                seek_.reset();
                generation = generation_;
                job_ = Job{source_, camera_, ranges_};
            }
            track = track_;
        }
        Item item;
        bool ended = false;
        bool ok = false;
        if (seek) {
            last_track_second = -1;
            item.shown_at_once = true;
            ok = OpenAt(decoder, *seek, item.error) &&
                 NextFrame(decoder, item.frame, ended, item.error);
        } else {
            ok = NextFrame(decoder, item.frame, ended, item.error);
        }
        active = ok;
        if (!ok) {
            if (item.error.isEmpty()) {
                item.kind = Item::Kind::Ended;
                item.end_utc = seek ? static_cast<qint64>(*seek)
                                    : (job_.ranges.empty() ? 0 : job_.ranges.back().second);
            } else {
                item.kind = Item::Kind::Failed;
            }
            decoder.Close();
        } else if (track && item.frame.utc_ms / 1000 != last_track_second) {
            last_track_second = item.frame.utc_ms / 1000;
            item.track_second = last_track_second;
            item.has_track =
                job_.source && job_.source->TrackPointAt(job_.camera, last_track_second,
                                                         item.longitude, item.latitude);
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (generation != generation_)
                continue;
            queue_.push_back(std::move(item));
        }
        pace_wake_.notify_all();
    }
}

void CMediaPump::Pace()
{
    int64_t anchor_utc_ms = 0;
    qint64 anchor_ns = 0;
    for (;;) {
        Item item;
        quint64 generation = 0;
        double speed = 1.0;
        bool reanchor = false;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            pace_wake_.wait(lock, [this] {
                return stop_ || (!queue_.empty() &&
                                 (queue_.front().shown_at_once || (running_ && !paused_)));
            });
            if (stop_)
                break;
            item = std::move(queue_.front());
            queue_.pop_front();
            generation = generation_;
            speed = speed_;
            reanchor = reanchor_;
            reanchor_ = false;
            if (item.kind != Item::Kind::Picture)
                running_ = false;
        }
        decode_wake_.notify_all();
        if (item.kind == Item::Kind::Failed) {
            TESK_LOG_ERROR("Playback failed: %s", qPrintable(item.error));
            emit SignalError(item.error, generation);
            continue;
        }
        if (item.kind == Item::Kind::Ended) {
            emit SignalEnded(item.end_utc, generation);
            continue;
        }
        // The gap between two files is not waited for.
        if (item.shown_at_once || reanchor || item.frame.jumped) {
            anchor_utc_ms = item.frame.utc_ms;
            anchor_ns = clock_.nsecsElapsed();
        }
        const qint64 due_ns =
            anchor_ns + static_cast<qint64>(static_cast<double>(item.frame.utc_ms - anchor_utc_ms) *
                                            1e6 / speed);
        if (!item.shown_at_once) {
            std::unique_lock<std::mutex> lock(mutex_);
            const auto deadline = std::chrono::steady_clock::now() +
                                  std::chrono::nanoseconds(due_ns - clock_.nsecsElapsed());
            const bool interrupted = pace_wake_.wait_until(lock, deadline, [&] {
                return stop_ || paused_ || reanchor_ || generation != generation_;
            });
            if (interrupted) {
                // A pause or a new speed shows the same frame later; a seek drops it.
                if (!stop_ && generation == generation_)
                    queue_.push_front(std::move(item));
                continue;
            }
        }
        if (item.has_track)
            emit SignalTrackPoint(item.track_second, item.longitude, item.latitude, generation);
        emit SignalFrame(item.frame.image, item.frame.utc_ms, due_ns, generation);
    }
}

} // namespace teskplaywindow
