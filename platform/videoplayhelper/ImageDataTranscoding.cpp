#include "ImageDataTranscoding.h"

#include "mirelog/Log.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <atomic>
#include <climits>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace tesk_videoplayhelper {

namespace {

// Pictures queued ahead of the encoder; bounds memory while reading overlaps encoding.
constexpr size_t kQueueCapacity = 8;

std::string AvError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// The non-deprecated twin of a "J" (full-range) pixel format; `full_range` is set for those.
AVPixelFormat PlainFormat(AVPixelFormat format, bool &full_range)
{
    switch (format) {
    case AV_PIX_FMT_YUVJ420P:
        full_range = true;
        return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P:
        full_range = true;
        return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P:
        full_range = true;
        return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P:
        full_range = true;
        return AV_PIX_FMT_YUV440P;
    default:
        return format;
    }
}

const AVCodec *FindH264Encoder()
{
    if (const AVCodec *codec = avcodec_find_encoder_by_name("libx264"))
        return codec;
    return avcodec_find_encoder(AV_CODEC_ID_H264);
}

} // namespace

struct CImageDataTranscoding::Private
{
    bool initialised = false;

    mutable std::mutex path_mutex;
    std::string whole_path;

    // Owned by the converting thread between StartConvert and StopConvert.
    AVFormatContext *format = nullptr;
    AVStream *stream = nullptr;
    AVCodecContext *encoder = nullptr;
    AVCodecContext *decoder = nullptr;
    SwsContext *scaler = nullptr;
    AVFrame *decoded = nullptr;
    AVPacket *packet = nullptr;
    int64_t next_pts = 0;
    int width = 0;
    int height = 0;
    std::string encoder_name;

    std::mutex queue_mutex;
    std::condition_variable queue_changed;
    // Each picture carries the decoder's zeroed padding after its `size` bytes.
    struct Picture
    {
        std::vector<uint8_t> bytes;
        int size = 0;
    };
    std::deque<Picture> queue;
    bool input_done = false;
    std::thread worker;
    std::thread encoder_thread;
    bool started = false;

    std::mutex frames_mutex;
    std::condition_variable frames_changed;
    std::deque<AVFrame *> frames;
    bool frames_done = false;

    std::atomic<int> worker_error{TRANSCODE_OK};
    std::atomic<int> encoded{0};
    std::atomic<int> skipped{0};

    void Release()
    {
        if (format) {
            if (format->pb)
                avio_closep(&format->pb);
            avformat_free_context(format);
            format = nullptr;
        }
        stream = nullptr;
        avcodec_free_context(&encoder);
        avcodec_free_context(&decoder);
        sws_freeContext(scaler);
        scaler = nullptr;
        av_frame_free(&decoded);
        av_packet_free(&packet);
    }

    // Sends a frame (null flushes) and writes every packet the encoder hands back.
    bool Encode(AVFrame *frame)
    {
        int ret = avcodec_send_frame(encoder, frame);
        if (ret < 0) {
            TESK_LOG_ERROR("avcodec_send_frame failed: %s", AvError(ret).c_str());
            return false;
        }
        while (true) {
            ret = avcodec_receive_packet(encoder, packet);
            if (ret == AVERROR(EAGAIN) || ret == AVERROR_EOF)
                return true;
            if (ret < 0) {
                TESK_LOG_ERROR("avcodec_receive_packet failed: %s", AvError(ret).c_str());
                return false;
            }
            av_packet_rescale_ts(packet, encoder->time_base, stream->time_base);
            packet->stream_index = stream->index;
            ret = av_interleaved_write_frame(format, packet);
            if (ret < 0) {
                TESK_LOG_ERROR("av_interleaved_write_frame failed: %s", AvError(ret).c_str());
                return false;
            }
        }
    }

    // Decodes one picture and scales it to the video's size; null when it is skipped.
    AVFrame *DecodePicture(Picture &picture, int index)
    {
        AVPacket *input = av_packet_alloc();
        input->data = picture.bytes.data();
        input->size = picture.size;
        int ret = avcodec_send_packet(decoder, input);
        if (ret >= 0)
            ret = avcodec_receive_frame(decoder, decoded);
        av_packet_free(&input);
        if (ret < 0 || decoded->width <= 0 || decoded->height <= 0) {
            skipped++;
            TESK_LOG_ERROR("picture %d skipped: it cannot be decoded (%s)", index,
                           AvError(ret).c_str());
            avcodec_flush_buffers(decoder);
            return nullptr;
        }
        bool full_range = decoded->color_range == AVCOL_RANGE_JPEG;
        const AVPixelFormat source =
            PlainFormat(static_cast<AVPixelFormat>(decoded->format), full_range);
        scaler =
            sws_getCachedContext(scaler, decoded->width, decoded->height, source, width, height,
                                 AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr);
        if (scaler) {
            // JPEG pictures use the full range; the video gets the limited range players expect.
            int *inverse = nullptr, *table = nullptr;
            int source_range = 0, target_range = 0, brightness = 0, contrast = 0, saturation = 0;
            if (sws_getColorspaceDetails(scaler, &inverse, &source_range, &table, &target_range,
                                         &brightness, &contrast, &saturation) >= 0)
                sws_setColorspaceDetails(scaler, inverse, full_range ? 1 : 0, table, 0, brightness,
                                         contrast, saturation);
        }
        AVFrame *scaled = av_frame_alloc();
        if (scaled) {
            scaled->format = AV_PIX_FMT_YUV420P;
            scaled->width = width;
            scaled->height = height;
        }
        if (!scaler || !scaled || av_frame_get_buffer(scaled, 0) < 0) {
            skipped++;
            TESK_LOG_ERROR("picture %d skipped: no conversion from %dx%d format %d", index,
                           decoded->width, decoded->height, decoded->format);
            av_frame_unref(decoded);
            return nullptr;
        }
        sws_scale(scaler, decoded->data, decoded->linesize, 0, decoded->height, scaled->data,
                  scaled->linesize);
        av_frame_unref(decoded);
        return scaled;
    }

    // Encoding runs on a thread of its own, so that decoding the next pictures overlaps it.
    void EncodeWork()
    {
        while (true) {
            AVFrame *frame = nullptr;
            {
                std::unique_lock<std::mutex> lock(frames_mutex);
                frames_changed.wait(lock, [&] { return !frames.empty() || frames_done; });
                if (frames.empty())
                    return;
                frame = frames.front();
                frames.pop_front();
            }
            frames_changed.notify_all();
            if (worker_error == TRANSCODE_OK) {
                frame->pts = next_pts++;
                if (Encode(frame))
                    encoded++;
                else
                    worker_error = TRANSCODE_ENCODE_FAILED;
            }
            av_frame_free(&frame);
        }
    }

    void EndFrames()
    {
        {
            std::lock_guard<std::mutex> lock(frames_mutex);
            frames_done = true;
        }
        frames_changed.notify_all();
    }

    void Work()
    {
        int index = 0;
        while (true) {
            Picture picture;
            {
                std::unique_lock<std::mutex> lock(queue_mutex);
                queue_changed.wait(lock, [&] { return !queue.empty() || input_done; });
                if (queue.empty()) {
                    lock.unlock();
                    EndFrames();
                    return;
                }
                picture = std::move(queue.front());
                queue.pop_front();
            }
            queue_changed.notify_all();
            AVFrame *frame = worker_error == TRANSCODE_OK ? DecodePicture(picture, index) : nullptr;
            ++index;
            if (!frame)
                continue;
            {
                std::unique_lock<std::mutex> lock(frames_mutex);
                frames_changed.wait(lock, [&] { return frames.size() < kQueueCapacity; });
                frames.push_back(frame);
            }
            frames_changed.notify_all();
        }
    }
};

CImageDataTranscoding::CImageDataTranscoding()
    : d_(std::make_unique<Private>())
{}

CImageDataTranscoding::~CImageDataTranscoding()
{
    if (d_->started) {
        int error = 0;
        StopConvert(error);
    }
    d_->Release();
}

bool CImageDataTranscoding::Init()
{
    // The library's own log lines say what failed; FFmpeg's messages and statistics would only
    // flood the host's console.
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_FATAL); });
    d_->initialised = true;
    return true;
}

bool CImageDataTranscoding::StartConvert(const std::string &dir, const std::string &name,
                                         const STREAM_INFO &stream_info, const VIDEO_INFO &video,
                                         int &error)
{
    Private &d = *d_;
    if (!d.initialised) {
        error = TRANSCODE_NOT_INITIALISED;
        return false;
    }
    if (d.started) {
        StopConvert(error);
    }
    if (stream_info.system_format != SYSTEM_FORMAT_MP4 ||
        stream_info.video_format != VIDEO_FORMAT_H264) {
        TESK_LOG_ERROR("unsupported stream: system %d video %d", stream_info.system_format,
                       stream_info.video_format);
        error = TRANSCODE_UNSUPPORTED_FORMAT;
        return false;
    }
    d.width = video.width & ~1;
    d.height = video.height & ~1;
    if (dir.empty() || name.empty() || d.width < 2 || d.height < 2 || !(video.frame_rate > 0.0f)) {
        error = TRANSCODE_BAD_PARAMETER;
        return false;
    }
    const std::string path = dir + "/" + name + ".mp4";
    {
        std::lock_guard<std::mutex> lock(d.path_mutex);
        d.whole_path = path;
    }
    d.Release();
    d.next_pts = 0;
    d.encoded = 0;
    d.skipped = 0;
    d.worker_error = TRANSCODE_OK;

    const AVCodec *codec = FindH264Encoder();
    const AVCodec *jpeg = avcodec_find_decoder(AV_CODEC_ID_MJPEG);
    if (!codec || !jpeg) {
        TESK_LOG_ERROR("no H.264 encoder or JPEG decoder in libavcodec");
        error = TRANSCODE_NO_ENCODER;
        return false;
    }
    d.encoder_name = codec->name;
    int ret = avformat_alloc_output_context2(&d.format, nullptr, "mp4", path.c_str());
    if (ret < 0 || !d.format) {
        error = TRANSCODE_OPEN_FILE_FAILED;
        return false;
    }
    d.stream = avformat_new_stream(d.format, nullptr);
    d.encoder = avcodec_alloc_context3(codec);
    d.decoder = avcodec_alloc_context3(jpeg);
    d.decoded = av_frame_alloc();
    d.packet = av_packet_alloc();
    if (!d.stream || !d.encoder || !d.decoder || !d.decoded || !d.packet) {
        d.Release();
        error = TRANSCODE_ENCODE_FAILED;
        return false;
    }
    const AVRational rate = av_d2q(video.frame_rate, 100000);
    d.encoder->width = d.width;
    d.encoder->height = d.height;
    d.encoder->pix_fmt = AV_PIX_FMT_YUV420P;
    d.encoder->framerate = rate;
    d.encoder->time_base = av_inv_q(rate);
    d.encoder->thread_count = 0;
    if (d.format->oformat->flags & AVFMT_GLOBALHEADER)
        d.encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary *options = nullptr;
    if (d.encoder_name == "libx264")
        av_dict_set(&options, "preset", "veryfast", 0);
    ret = avcodec_open2(d.encoder, codec, &options);
    av_dict_free(&options);
    // One picture per packet: a single decoding thread adds no delay, and the encoder's own
    // threads already use the other cores.
    d.decoder->thread_count = 1;
    if (ret >= 0)
        ret = avcodec_open2(d.decoder, jpeg, nullptr);
    if (ret < 0) {
        TESK_LOG_ERROR("cannot open the codecs: %s", AvError(ret).c_str());
        d.Release();
        error = TRANSCODE_NO_ENCODER;
        return false;
    }
    if (avcodec_parameters_from_context(d.stream->codecpar, d.encoder) < 0) {
        d.Release();
        error = TRANSCODE_ENCODE_FAILED;
        return false;
    }
    d.stream->time_base = d.encoder->time_base;
    d.stream->avg_frame_rate = rate;
    ret = avio_open(&d.format->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (ret >= 0)
        ret = avformat_write_header(d.format, nullptr);
    if (ret < 0) {
        TESK_LOG_ERROR("cannot write %s: %s", path.c_str(), AvError(ret).c_str());
        d.Release();
        error = TRANSCODE_OPEN_FILE_FAILED;
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(d.queue_mutex);
        d.queue.clear();
        d.input_done = false;
    }
    {
        std::lock_guard<std::mutex> lock(d.frames_mutex);
        d.frames.clear();
        d.frames_done = false;
    }
    d.worker = std::thread([&d] { d.Work(); });
    d.encoder_thread = std::thread([&d] { d.EncodeWork(); });
    d.started = true;
    TESK_LOG_INFO("converting pictures into %s: %dx%d at %.3f fps with %s", path.c_str(), d.width,
                  d.height, static_cast<double>(video.frame_rate), d.encoder_name.c_str());
    error = TRANSCODE_OK;
    return true;
}

bool CImageDataTranscoding::FC_Start_Binary_MP4(const char *data, long size, const FRAME_INFO *,
                                                int &error)
{
    Private &d = *d_;
    if (!d.started) {
        error = TRANSCODE_NOT_STARTED;
        return false;
    }
    if (d.worker_error != TRANSCODE_OK) {
        error = d.worker_error;
        return false;
    }
    if (!data || size <= 0 || size > INT_MAX - AV_INPUT_BUFFER_PADDING_SIZE) {
        error = TRANSCODE_BAD_PARAMETER;
        return false;
    }
    // The decoder reads ahead of the data; the padding keeps it inside the buffer.
    Private::Picture picture;
    picture.bytes.assign(static_cast<size_t>(size) + AV_INPUT_BUFFER_PADDING_SIZE, 0);
    std::copy(data, data + size, picture.bytes.begin());
    picture.size = static_cast<int>(size);
    {
        std::unique_lock<std::mutex> lock(d.queue_mutex);
        d.queue_changed.wait(lock, [&] { return d.queue.size() < kQueueCapacity; });
        d.queue.push_back(std::move(picture));
    }
    d.queue_changed.notify_all();
    error = TRANSCODE_OK;
    return true;
}

bool CImageDataTranscoding::StopConvert(int &error)
{
    Private &d = *d_;
    if (!d.started) {
        error = TRANSCODE_NOT_STARTED;
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(d.queue_mutex);
        d.input_done = true;
    }
    d.queue_changed.notify_all();
    d.worker.join();
    d.encoder_thread.join();
    d.started = false;
    bool ok = d.worker_error == TRANSCODE_OK;
    if (ok && !d.Encode(nullptr))
        ok = false;
    const int trailer = av_write_trailer(d.format);
    if (trailer < 0)
        TESK_LOG_ERROR("av_write_trailer failed: %s", AvError(trailer).c_str());
    d.Release();
    if (!ok) {
        error = d.worker_error != TRANSCODE_OK ? d.worker_error.load() : TRANSCODE_ENCODE_FAILED;
        return false;
    }
    if (trailer < 0) {
        error = TRANSCODE_WRITE_FAILED;
        return false;
    }
    TESK_LOG_INFO("conversion finished: %d frames, %d pictures skipped", d.encoded.load(),
                  d.skipped.load());
    error = TRANSCODE_OK;
    return true;
}

std::string CImageDataTranscoding::GetWholeFilePath() const
{
    std::lock_guard<std::mutex> lock(d_->path_mutex);
    return d_->whole_path;
}

int CImageDataTranscoding::EncodedFrames() const
{
    return d_->encoded;
}

int CImageDataTranscoding::SkippedPictures() const
{
    return d_->skipped;
}

std::string CImageDataTranscoding::EncoderName() const
{
    return d_->encoder_name;
}

} // namespace tesk_videoplayhelper
