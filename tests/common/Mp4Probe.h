#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <string>

namespace TestSupport {

// What FFmpeg itself reads back from a produced video file.
struct Mp4Probe
{
    bool opened = false;
    std::string format_name;
    AVCodecID codec = AV_CODEC_ID_NONE;
    int width = 0;
    int height = 0;
    int pixel_format = -1;
    int frames = 0; // video packets: one per frame for an intra/inter H.264 stream
    double frame_rate = 0;
};

inline Mp4Probe ProbeVideo(const std::string &path)
{
    Mp4Probe probe;
    AVFormatContext *format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0)
        return probe;
    probe.opened = true;
    probe.format_name = format->iformat->name;
    if (avformat_find_stream_info(format, nullptr) >= 0) {
        const int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        if (index >= 0) {
            const AVStream *stream = format->streams[index];
            probe.codec = stream->codecpar->codec_id;
            probe.width = stream->codecpar->width;
            probe.height = stream->codecpar->height;
            probe.pixel_format = stream->codecpar->format;
            probe.frame_rate = av_q2d(stream->avg_frame_rate);
            AVPacket *packet = av_packet_alloc();
            while (av_read_frame(format, packet) >= 0) {
                if (packet->stream_index == index)
                    ++probe.frames;
                av_packet_unref(packet);
            }
            av_packet_free(&packet);
        }
    }
    avformat_close_input(&format);
    return probe;
}

} // namespace TestSupport
