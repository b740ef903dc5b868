#include "tools/moviegen/MovieGen.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <cmath>
#include <cstring>
#include <memory>

namespace moviegen {
namespace {

struct Rgb {
    uint8_t r, g, b;
};

constexpr Rgb kBars[] = {{235, 235, 235}, {235, 235, 16}, {16, 235, 235}, {16, 235, 16},
                         {235, 16, 235},  {235, 16, 16},  {16, 16, 235}};
constexpr Rgb kSet{255, 255, 0};
constexpr Rgb kClear{0, 0, 255};

struct BlockRow {
    int top, blockW, blockH;
};

BlockRow Blocks(int width, int height)
{
    const int blockH = height / 8;
    return {height - blockH - height / 16, width / kNumberBits, blockH};
}

void Put(std::vector<uint8_t>& px, int width, int x, int y, Rgb c)
{
    uint8_t* p = &px[(static_cast<size_t>(y) * width + x) * 3];
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
}

}  // namespace

std::vector<uint8_t> DrawFrame(int n, int width, int height)
{
    std::vector<uint8_t> px(static_cast<size_t>(width) * height * 3, 24);
    const int barsBottom = height * 9 / 16;
    const int nBars = static_cast<int>(std::size(kBars));
    for (int y = 0; y < barsBottom; ++y)
        for (int x = 0; x < width; ++x) Put(px, width, x, y, kBars[x * nBars / width]);

    // The disc crosses the bars once in the movie's four seconds.
    const int r = height / 8;
    const int cx = r + (width - 2 * r) * (n % kFrames) / (kFrames - 1);
    const int cy = barsBottom / 2;
    for (int y = cy - r; y <= cy + r; ++y)
        for (int x = cx - r; x <= cx + r; ++x) {
            if (x < 0 || y < 0 || x >= width || y >= height) continue;
            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) Put(px, width, x, y, {255, 128, 0});
        }

    const BlockRow row = Blocks(width, height);
    for (int bit = 0; bit < kNumberBits; ++bit) {
        const bool set = (n >> (kNumberBits - 1 - bit)) & 1;
        for (int y = row.top; y < row.top + row.blockH; ++y)
            for (int x = bit * row.blockW; x < (bit + 1) * row.blockW; ++x)
                Put(px, width, x, y, set ? kSet : kClear);
    }
    return px;
}

int ReadFrameNumber(int width, int height, const uint8_t* rgb24, int stride)
{
    const BlockRow row = Blocks(width, height);
    int n = 0;
    for (int bit = 0; bit < kNumberBits; ++bit) {
        const int cx = bit * row.blockW + row.blockW / 2;
        const int cy = row.top + row.blockH / 2;
        int g = 0, b = 0;
        for (int y = cy - 2; y < cy + 2; ++y)
            for (int x = cx - 2; x < cx + 2; ++x) {
                const uint8_t* p = rgb24 + static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 3;
                g += p[1];
                b += p[2];
            }
        g /= 16;
        b /= 16;
        n <<= 1;
        if (g > 160 && b < 96)
            n |= 1;
        else if (!(g < 96 && b > 160))
            return -1;
    }
    return n;
}

std::vector<int16_t> MakeSound(int rate, double seconds)
{
    const auto count = static_cast<size_t>(std::lround(rate * seconds));
    std::vector<int16_t> s(count);
    const int clickLength = rate / 200;
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate;
        double v = 0.3 * std::sin(2 * M_PI * 440 * t);
        if (static_cast<int>(i % static_cast<size_t>(rate)) < clickLength) v = (i / 8) % 2 ? 0.9 : -0.9;
        s[i] = static_cast<int16_t>(std::lround(v * 32767));
    }
    return s;
}

namespace {

struct VideoSpec {
    AVCodecID codec;
    AVPixelFormat pixels;
    int64_t bitRate;
};

struct SoundSpec {
    AVCodecID codec;
    int rate;
    int channels;
    int64_t bitRate;
};

// Writes the movie with one picture and one sound stream; nothing is left
// behind on failure but a partial file.
class Writer {
public:
    ~Writer()
    {
        if (m_sws) sws_freeContext(m_sws);
        avcodec_free_context(&m_video);
        avcodec_free_context(&m_sound);
        av_frame_free(&m_frame);
        av_packet_free(&m_packet);
        if (m_fmt) {
            if (m_fmt->pb) avio_closep(&m_fmt->pb);
            avformat_free_context(m_fmt);
        }
    }

    bool Write(const std::string& path, const char* container, const VideoSpec& v, const SoundSpec& s,
               std::string& why)
    {
        if (avformat_alloc_output_context2(&m_fmt, nullptr, container, path.c_str()) < 0)
            return Fail(why, "no muxer");
        if (!OpenVideo(v) || !OpenSound(s)) return Fail(why, "cannot open an encoder");
        if (avio_open(&m_fmt->pb, path.c_str(), AVIO_FLAG_WRITE) < 0)
            return Fail(why, "cannot write " + path);
        if (avformat_write_header(m_fmt, nullptr) < 0) return Fail(why, "cannot write the header");

        m_frame = av_frame_alloc();
        m_packet = av_packet_alloc();
        const double seconds = static_cast<double>(kFrames) / kFrameRate;
        const std::vector<int16_t> mono = MakeSound(s.rate, seconds);
        size_t soundAt = 0;
        for (int n = 0; n < kFrames; ++n) {
            if (!EncodeVideo(n)) return Fail(why, "cannot encode a picture");
            // Sound up to the end of this picture, so the streams interleave.
            const auto upTo = std::min(
                mono.size(),
                static_cast<size_t>(std::lround((n + 1) * static_cast<double>(s.rate) / kFrameRate)));
            while (soundAt < upTo || (n == kFrames - 1 && soundAt < mono.size())) {
                if (!EncodeSound(mono, soundAt)) return Fail(why, "cannot encode the sound");
            }
        }
        if (!Drain(m_video, m_videoStream, nullptr) || !Drain(m_sound, m_soundStream, nullptr))
            return Fail(why, "cannot finish the streams");
        if (av_write_trailer(m_fmt) < 0) return Fail(why, "cannot write the trailer");
        return true;
    }

private:
    bool Fail(std::string& why, std::string text)
    {
        why = std::move(text);
        return false;
    }

    bool OpenVideo(const VideoSpec& v)
    {
        const AVCodec* codec = avcodec_find_encoder(v.codec);
        if (codec == nullptr) return false;
        m_video = avcodec_alloc_context3(codec);
        m_video->width = kWidth;
        m_video->height = kHeight;
        m_video->pix_fmt = v.pixels;
        m_video->time_base = {1, kFrameRate};
        m_video->framerate = {kFrameRate, 1};
        m_video->gop_size = kFrameRate;
        m_video->max_b_frames = 0;
        m_video->bit_rate = v.bitRate;
        m_video->thread_count = 1;
        // 15 frames a second is one of MPEG-1's extra rates.
        m_video->strict_std_compliance = FF_COMPLIANCE_UNOFFICIAL;
        if (m_fmt->oformat->flags & AVFMT_GLOBALHEADER) m_video->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (avcodec_open2(m_video, codec, nullptr) < 0) return false;
        m_videoStream = avformat_new_stream(m_fmt, nullptr);
        m_videoStream->time_base = m_video->time_base;
        return avcodec_parameters_from_context(m_videoStream->codecpar, m_video) >= 0;
    }

    bool OpenSound(const SoundSpec& s)
    {
        const AVCodec* codec = avcodec_find_encoder(s.codec);
        if (codec == nullptr) return false;
        m_sound = avcodec_alloc_context3(codec);
        m_sound->sample_fmt = AV_SAMPLE_FMT_S16;
        m_sound->sample_rate = s.rate;
        av_channel_layout_default(&m_sound->ch_layout, s.channels);
        m_sound->bit_rate = s.bitRate;
        m_sound->time_base = {1, s.rate};
        if (m_fmt->oformat->flags & AVFMT_GLOBALHEADER) m_sound->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (avcodec_open2(m_sound, codec, nullptr) < 0) return false;
        m_soundStream = avformat_new_stream(m_fmt, nullptr);
        m_soundStream->time_base = m_sound->time_base;
        return avcodec_parameters_from_context(m_soundStream->codecpar, m_sound) >= 0;
    }

    bool EncodeVideo(int n)
    {
        const std::vector<uint8_t> rgb = DrawFrame(n, kWidth, kHeight);
        av_frame_unref(m_frame);
        m_frame->format = m_video->pix_fmt;
        m_frame->width = kWidth;
        m_frame->height = kHeight;
        if (av_frame_get_buffer(m_frame, 0) < 0) return false;
        m_sws = sws_getCachedContext(m_sws, kWidth, kHeight, AV_PIX_FMT_RGB24, kWidth, kHeight,
                                     m_video->pix_fmt, SWS_BICUBIC, nullptr, nullptr, nullptr);
        if (m_sws == nullptr) return false;
        const uint8_t* src[1] = {rgb.data()};
        const int srcStride[1] = {kWidth * 3};
        sws_scale(m_sws, src, srcStride, 0, kHeight, m_frame->data, m_frame->linesize);
        m_frame->pts = n;
        return Drain(m_video, m_videoStream, m_frame);
    }

    bool EncodeSound(const std::vector<int16_t>& mono, size_t& at)
    {
        const int channels = m_sound->ch_layout.nb_channels;
        int count = m_sound->frame_size > 0 ? m_sound->frame_size : 1024;
        const size_t left = mono.size() - at;
        const bool last = left < static_cast<size_t>(count);
        av_frame_unref(m_frame);
        m_frame->format = m_sound->sample_fmt;
        m_frame->sample_rate = m_sound->sample_rate;
        av_channel_layout_copy(&m_frame->ch_layout, &m_sound->ch_layout);
        // An encoder of fixed frames gets its last one filled with silence.
        m_frame->nb_samples = count;
        if (av_frame_get_buffer(m_frame, 0) < 0) return false;
        auto* out = reinterpret_cast<int16_t*>(m_frame->data[0]);
        for (int i = 0; i < count; ++i) {
            const size_t k = at + static_cast<size_t>(i);
            const int16_t v = k < mono.size() ? mono[k] : 0;
            for (int c = 0; c < channels; ++c) out[i * channels + c] = v;
        }
        if (last && (m_sound->codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE)) {
            m_frame->nb_samples = static_cast<int>(left);
        }
        m_frame->pts = static_cast<int64_t>(at);
        at += last ? left : static_cast<size_t>(count);
        return Drain(m_sound, m_soundStream, m_frame);
    }

    // Sends frame (or the end when null) and writes every packet that comes.
    bool Drain(AVCodecContext* ctx, AVStream* stream, AVFrame* frame)
    {
        if (avcodec_send_frame(ctx, frame) < 0) return false;
        for (;;) {
            int r = avcodec_receive_packet(ctx, m_packet);
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
            if (r < 0) return false;
            av_packet_rescale_ts(m_packet, ctx->time_base, stream->time_base);
            m_packet->stream_index = stream->index;
            if (av_interleaved_write_frame(m_fmt, m_packet) < 0) return false;
        }
    }

    AVFormatContext* m_fmt = nullptr;
    AVCodecContext* m_video = nullptr;
    AVCodecContext* m_sound = nullptr;
    AVStream* m_videoStream = nullptr;
    AVStream* m_soundStream = nullptr;
    AVFrame* m_frame = nullptr;
    AVPacket* m_packet = nullptr;
    SwsContext* m_sws = nullptr;
};

}  // namespace

bool WriteOpening(const std::string& path, std::string& why)
{
    av_log_set_level(AV_LOG_ERROR);
    Writer w;
    return w.Write(path, "mpeg", {AV_CODEC_ID_MPEG1VIDEO, AV_PIX_FMT_YUV420P, 800000},
                   {AV_CODEC_ID_MP2, 44100, 2, 128000}, why);
}

bool WriteEventMovie(const std::string& path, std::string& why)
{
    av_log_set_level(AV_LOG_ERROR);
    Writer w;
    return w.Write(path, "avi", {AV_CODEC_ID_MSVIDEO1, AV_PIX_FMT_RGB555LE, 0},
                   {AV_CODEC_ID_PCM_S16LE, 22050, 1, 0}, why);
}

}  // namespace moviegen
