#include "MediaCodec.h"

#include "recordserver/SampleGenerator.h"
#include "recordserver/TimeStrip.h"

#include "mirelog/Log.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <cmath>
#include <functional>
#include <memory>

namespace teskrecordserver {

namespace {

// The encoder's statistics and the demuxer's notes are not the client's business.
void QuietLibraries()
{
    static const bool once = [] {
        av_log_set_level(AV_LOG_ERROR);
        return true;
    }();
    (void)once;
}

std::string AvError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

struct FormatOutputDeleter
{
    void operator()(AVFormatContext *context) const
    {
        if (context && context->pb)
            avio_closep(&context->pb);
        avformat_free_context(context);
    }
};
struct FormatInputDeleter
{
    void operator()(AVFormatContext *context) const { avformat_close_input(&context); }
};
struct CodecDeleter
{
    void operator()(AVCodecContext *context) const { avcodec_free_context(&context); }
};
struct FrameDeleter
{
    void operator()(AVFrame *frame) const { av_frame_free(&frame); }
};
struct PacketDeleter
{
    void operator()(AVPacket *packet) const { av_packet_free(&packet); }
};
struct ScaleDeleter
{
    void operator()(SwsContext *context) const { sws_freeContext(context); }
};

using OutputPtr = std::unique_ptr<AVFormatContext, FormatOutputDeleter>;
using InputPtr = std::unique_ptr<AVFormatContext, FormatInputDeleter>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecDeleter>;
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;
using ScalePtr = std::unique_ptr<SwsContext, ScaleDeleter>;

// Text needs a GUI application for its fonts; a plain core application gets shapes only.
bool CanDrawText()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
}

void DrawFrame(QImage &image, const ClipParams &clip, int index, bool with_text)
{
    const double t = static_cast<double>(index) / clip.fps;
    const int hue = static_cast<int>(clip.seed * 47 % 360);
    QPainter painter(&image);
    QLinearGradient background(0, 0, image.width(), image.height());
    background.setColorAt(0, QColor::fromHsv(hue, 120, 90));
    background.setColorAt(1, QColor::fromHsv((hue + 60) % 360, 160, 40));
    painter.fillRect(image.rect(), background);

    // A disc crossing the picture and a bar sweeping down: every frame differs from the last.
    const double phase = t / clip.seconds;
    const int x = static_cast<int>((0.1 + 0.8 * std::fmod(phase * 3, 1.0)) * image.width());
    const int y = static_cast<int>((0.5 + 0.3 * std::sin(t * 1.3 + clip.seed)) * image.height());
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromHsv((hue + 180) % 360, 220, 240));
    painter.drawEllipse(QPoint(x, y), image.height() / 8, image.height() / 8);
    painter.setBrush(QColor(255, 255, 255, 90));
    const int bar = static_cast<int>(std::fmod(t * 20, image.height()));
    painter.drawRect(0, bar, image.width(), image.height() / 20 + 1);

    if (with_text) {
        QFont font = painter.font();
        font.setPixelSize(std::max(10, image.height() / 12));
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRect(8, 6, image.width() - 16, image.height() / 6),
                         Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(clip.label));
        painter.drawText(
            QRect(8, image.height() * 5 / 6 - 6, image.width() - 16, image.height() / 6),
            Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("%1 s").arg(t, 0, 'f', 1));
    }
}

CStoreStatus Fail(const std::string &path, const std::string &what)
{
    return CStoreStatus::Fail(StoreError::Media, "Writing the clip " + path + " failed: " + what);
}

int Drain(AVCodecContext *codec, AVFormatContext *format, AVStream *stream, AVPacket *packet)
{
    int code;
    while ((code = avcodec_receive_packet(codec, packet)) == 0) {
        av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
        packet->stream_index = stream->index;
        code = av_interleaved_write_frame(format, packet);
        if (code < 0)
            return code;
    }
    return code == AVERROR(EAGAIN) || code == AVERROR_EOF ? 0 : code;
}

CStoreStatus WriteFrames(const std::string &path, int width, int height, int fps, int gop,
                         int frames, const std::function<void(QImage &, int)> &paint)
{
    QuietLibraries();
    if (width <= 0 || height <= 0 || width % 2 || height % 2 || fps <= 0 || frames <= 0)
        return Fail(path, "the frame size must be even and positive");

    AVFormatContext *raw_format = nullptr;
    int code = avformat_alloc_output_context2(&raw_format, nullptr, "mp4", path.c_str());
    OutputPtr format(raw_format);
    if (code < 0 || !format)
        return Fail(path, AvError(code));

    const AVCodec *encoder = avcodec_find_encoder_by_name("libx264");
    if (!encoder)
        encoder = avcodec_find_encoder(AV_CODEC_ID_H264);
    if (!encoder)
        return Fail(path, "no H.264 encoder is available");
    CodecPtr codec(avcodec_alloc_context3(encoder));
    codec->width = width;
    codec->height = height;
    codec->time_base = AVRational{1, fps};
    codec->framerate = AVRational{fps, 1};
    codec->pix_fmt = AV_PIX_FMT_YUV420P;
    codec->gop_size = gop;
    codec->max_b_frames = 0;
    codec->thread_count = 1;
    av_opt_set(codec->priv_data, "preset", "ultrafast", 0);
    av_opt_set(codec->priv_data, "crf", "30", 0);
    if (format->oformat->flags & AVFMT_GLOBALHEADER)
        codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if ((code = avcodec_open2(codec.get(), encoder, nullptr)) < 0)
        return Fail(path, AvError(code));

    AVStream *stream = avformat_new_stream(format.get(), nullptr);
    if (!stream)
        return Fail(path, "no stream");
    stream->time_base = codec->time_base;
    avcodec_parameters_from_context(stream->codecpar, codec.get());
    if ((code = avio_open(&format->pb, path.c_str(), AVIO_FLAG_WRITE)) < 0)
        return Fail(path, AvError(code));
    if ((code = avformat_write_header(format.get(), nullptr)) < 0)
        return Fail(path, AvError(code));

    FramePtr frame(av_frame_alloc());
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = width;
    frame->height = height;
    if ((code = av_frame_get_buffer(frame.get(), 0)) < 0)
        return Fail(path, AvError(code));
    PacketPtr packet(av_packet_alloc());
    ScalePtr scale(sws_getContext(width, height, AV_PIX_FMT_RGB24, width, height,
                                  AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!scale)
        return Fail(path, "no colour conversion");

    QImage image(width, height, QImage::Format_RGB888);
    for (int index = 0; index < frames; ++index) {
        paint(image, index);
        if (image.size() != QSize(width, height) || image.format() != QImage::Format_RGB888)
            return Fail(path, "a frame of the wrong size or format");
        if ((code = av_frame_make_writable(frame.get())) < 0)
            return Fail(path, AvError(code));
        const uint8_t *source[1] = {image.constBits()};
        const int stride[1] = {static_cast<int>(image.bytesPerLine())};
        sws_scale(scale.get(), source, stride, 0, height, frame->data, frame->linesize);
        frame->pts = index;
        if ((code = avcodec_send_frame(codec.get(), frame.get())) < 0 ||
            (code = Drain(codec.get(), format.get(), stream, packet.get())) < 0)
            return Fail(path, AvError(code));
    }
    if ((code = avcodec_send_frame(codec.get(), nullptr)) < 0 ||
        (code = Drain(codec.get(), format.get(), stream, packet.get())) < 0)
        return Fail(path, AvError(code));
    if ((code = av_write_trailer(format.get())) < 0)
        return Fail(path, AvError(code));
    return CStoreStatus::Ok();
}

// The camera's background: the same for every frame of its media.
void TimedFrameBackground(QImage &image, const TimedClipParams &clip)
{
    const int hue = static_cast<int>(clip.seed % 360);
    QPainter painter(&image);
    QLinearGradient background(0, 0, image.width(), image.height());
    background.setColorAt(0, QColor::fromHsv(hue, 110, 110));
    background.setColorAt(1, QColor::fromHsv((hue + 50) % 360, 150, 50));
    painter.fillRect(image.rect(), background);
}

// What moves, the on-screen text and the time strip, over the background.
void DrawTimedFrameOver(QImage &image, const TimedClipParams &clip, int index, bool with_text)
{
    const int64_t second = clip.begin + index / clip.fps;
    // Motion follows the wall clock, so that it continues from one piece of media to the next.
    const double t = static_cast<double>(second % 86400) + double(index % clip.fps) / clip.fps;
    const QRectF strip = TimeStripArea(image.size());
    const double usable = strip.top();
    const int hue = static_cast<int>(clip.seed % 360);
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromHsv((hue + 180) % 360, 200, 230));
    const double radius = image.height() / 9.0;
    const double x = (0.1 + 0.8 * std::fmod(t / 23.0 + clip.seed % 7 / 7.0, 1.0)) * image.width();
    const double y = usable * (0.55 + 0.25 * std::sin(t * 0.9 + clip.seed));
    painter.drawEllipse(QPointF(x, y), radius, radius);
    painter.setBrush(QColor(255, 255, 255, 70));
    const double bar = std::fmod(t * 17.0, std::max(1.0, usable));
    painter.drawRect(QRectF(0, bar, image.width(), image.height() / 24.0 + 1));

    if (with_text) {
        // The on-screen display: the camera's name, and its local date and time.
        std::string local = IsoInZone(second, clip.zone);
        local = local.substr(0, 10) + " " + local.substr(11, 8);
        QFont font = painter.font();
        font.setPixelSize(std::max(9, image.height() / 12));
        painter.setFont(font);
        const QRect line(6, 4, image.width() - 12, image.height() / 8);
        painter.setPen(Qt::black);
        painter.drawText(line.translated(1, 1), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromStdString(clip.label));
        painter.drawText(line.translated(1, 1), Qt::AlignRight | Qt::AlignVCenter,
                         QString::fromStdString(local));
        painter.setPen(Qt::white);
        painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromStdString(clip.label));
        painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter, QString::fromStdString(local));
    }
    DrawTimeStrip(painter, image.size(), second);
}

} // namespace

CStoreStatus WriteSyntheticClip(const std::string &path, const ClipParams &clip)
{
    const bool with_text = CanDrawText();
    return WriteFrames(path, clip.width, clip.height, clip.fps, clip.gop, clip.fps * clip.seconds,
                       [&](QImage &image, int index) { DrawFrame(image, clip, index, with_text); });
}

QImage DrawTimedFrame(const TimedClipParams &clip, int index)
{
    QImage image(clip.width, clip.height, QImage::Format_RGB888);
    TimedFrameBackground(image, clip);
    DrawTimedFrameOver(image, clip, index, CanDrawText());
    return image;
}

CStoreStatus WriteTimedClip(const std::string &path, const TimedClipParams &clip)
{
    if (clip.begin < 0 || clip.begin + clip.seconds > TimeStrip::kMaxSeconds)
        return Fail(path, "the time is outside what a time strip carries");
    QImage background(clip.width, clip.height, QImage::Format_RGB888);
    if (!background.isNull())
        TimedFrameBackground(background, clip);
    const bool with_text = CanDrawText();
    return WriteFrames(path, clip.width, clip.height, clip.fps, clip.gop, clip.fps * clip.seconds,
                       [&](QImage &image, int index) {
                           image = background.copy();
                           DrawTimedFrameOver(image, clip, index, with_text);
                       });
}

bool DecodeFrameAt(const std::string &path, double seconds, QImage &out, std::string &error)
{
    QuietLibraries();
    auto fail = [&](const std::string &what) {
        error = "Decoding " + path + " at " + std::to_string(seconds) + " s failed: " + what;
        TESK_LOG_ERROR("%s", error.c_str());
        return false;
    };
    AVFormatContext *raw_input = nullptr;
    int code = avformat_open_input(&raw_input, path.c_str(), nullptr, nullptr);
    if (code < 0)
        return fail(AvError(code));
    InputPtr input(raw_input);
    const AVCodec *decoder = nullptr;
    const int index = av_find_best_stream(input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (index < 0 || !decoder)
        return fail("no video stream");
    AVStream *stream = input->streams[index];
    CodecPtr codec(avcodec_alloc_context3(decoder));
    avcodec_parameters_to_context(codec.get(), stream->codecpar);
    // Frame threads would hold frames back; one picture wants the first decodable frame.
    codec->thread_count = 1;
    if ((code = avcodec_open2(codec.get(), decoder, nullptr)) < 0)
        return fail(AvError(code));

    const int64_t target = av_rescale_q(static_cast<int64_t>(std::llround(seconds * AV_TIME_BASE)),
                                        AV_TIME_BASE_Q, stream->time_base);
    if ((code = av_seek_frame(input.get(), index, target, AVSEEK_FLAG_BACKWARD)) < 0)
        return fail(AvError(code));
    avcodec_flush_buffers(codec.get());

    PacketPtr packet(av_packet_alloc());
    FramePtr frame(av_frame_alloc());
    FramePtr chosen(av_frame_alloc());
    bool have_frame = false;
    bool reached = false;
    bool draining = false;
    while (!reached) {
        if (!draining) {
            code = av_read_frame(input.get(), packet.get());
            if (code == AVERROR_EOF) {
                draining = true;
                avcodec_send_packet(codec.get(), nullptr);
            } else if (code < 0) {
                return fail(AvError(code));
            } else {
                if (packet->stream_index == index)
                    code = avcodec_send_packet(codec.get(), packet.get());
                av_packet_unref(packet.get());
                if (code < 0 && code != AVERROR(EAGAIN))
                    return fail(AvError(code));
            }
        }
        while ((code = avcodec_receive_frame(codec.get(), frame.get())) == 0) {
            av_frame_unref(chosen.get());
            av_frame_move_ref(chosen.get(), frame.get());
            have_frame = true;
            const int64_t pts = chosen->best_effort_timestamp;
            if (pts != AV_NOPTS_VALUE && pts >= target) {
                reached = true;
                break;
            }
        }
        if (code == AVERROR_EOF)
            break;
        if (code < 0 && code != AVERROR(EAGAIN))
            return fail(AvError(code));
    }
    if (!have_frame)
        return fail("no picture decoded");

    const int width = chosen->width;
    const int height = chosen->height;
    ScalePtr scale(sws_getContext(width, height, static_cast<AVPixelFormat>(chosen->format), width,
                                  height, AV_PIX_FMT_RGB24, SWS_BILINEAR, nullptr, nullptr,
                                  nullptr));
    if (!scale)
        return fail("no colour conversion");
    QImage image(width, height, QImage::Format_RGB888);
    uint8_t *target_planes[1] = {image.bits()};
    const int target_stride[1] = {static_cast<int>(image.bytesPerLine())};
    sws_scale(scale.get(), chosen->data, chosen->linesize, 0, height, target_planes, target_stride);
    out = std::move(image);
    return true;
}

} // namespace teskrecordserver
