#include "platform/media/MovieDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/core/Paths.h"

namespace platform::media {

int BytesPerPixel(PixelFormat format)
{
    switch (format) {
        case PixelFormat::Rgb32:
            return 4;
        case PixelFormat::Rgb24:
            return 3;
        case PixelFormat::Rgb565:
        case PixelFormat::Rgb555:
            return 2;
    }
    return 4;
}

std::optional<PixelFormat> OutputFormatFor(const DisplayFormat& display)
{
    switch (display.bitsPerPixel) {
        case 16: {
            if (display.redMask == 0 || display.greenMask == 0) return std::nullopt;
            // The green field's width: from its lowest bit up to red's lowest.
            const int red = __builtin_ctz(display.redMask);
            const int green = __builtin_ctz(display.greenMask);
            if (red - green == 6) return PixelFormat::Rgb565;
            if (red - green == 5) return PixelFormat::Rgb555;
            return std::nullopt;
        }
        case 24:
            return PixelFormat::Rgb24;
        case 32:
            return PixelFormat::Rgb32;
        default:
            return std::nullopt;
    }
}

bool AcceptsPicture(const DisplayFormat& display, PixelFormat format)
{
    std::optional<PixelFormat> want = OutputFormatFor(display);
    return want && *want == format;
}

namespace {

AVPixelFormat ToAv(PixelFormat format)
{
    switch (format) {
        case PixelFormat::Rgb32:
            return AV_PIX_FMT_BGR0;
        case PixelFormat::Rgb24:
            return AV_PIX_FMT_RGB24;
        case PixelFormat::Rgb565:
            return AV_PIX_FMT_RGB565LE;
        case PixelFormat::Rgb555:
            return AV_PIX_FMT_RGB555LE;
    }
    return AV_PIX_FMT_BGR0;
}

std::string AvError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

bool SaneSize(int w, int h)
{
    return w > 0 && h > 0 && w <= kMaxMovieSide && h <= kMaxMovieSide;
}

// Where the bytes come from: a file or memory. The library reads through it,
// so it never sees the file's name (and cannot guess the kind from it).
class Source {
public:
    virtual ~Source() = default;
    virtual int Read(uint8_t* buf, int size) = 0;
    virtual int64_t Seek(int64_t offset, int whence) = 0;

    static int ReadPacket(void* opaque, uint8_t* buf, int size)
    {
        int n = static_cast<Source*>(opaque)->Read(buf, size);
        return n > 0 ? n : AVERROR_EOF;
    }
    static int64_t SeekPacket(void* opaque, int64_t offset, int whence)
    {
        return static_cast<Source*>(opaque)->Seek(offset, whence);
    }
};

class FileSource : public Source {
public:
    explicit FileSource(std::FILE* f) : m_file(f) {}
    ~FileSource() override { std::fclose(m_file); }
    int Read(uint8_t* buf, int size) override
    {
        size_t n = std::fread(buf, 1, static_cast<size_t>(size), m_file);
        return static_cast<int>(n);
    }
    int64_t Seek(int64_t offset, int whence) override
    {
        if (whence == AVSEEK_SIZE) {
            long here = std::ftell(m_file);
            if (std::fseek(m_file, 0, SEEK_END) != 0) return -1;
            long size = std::ftell(m_file);
            std::fseek(m_file, here, SEEK_SET);
            return size;
        }
        whence &= ~AVSEEK_FORCE;
        if (std::fseek(m_file, static_cast<long>(offset), whence) != 0) return -1;
        return std::ftell(m_file);
    }

private:
    std::FILE* m_file;
};

class MemorySource : public Source {
public:
    explicit MemorySource(std::vector<uint8_t> bytes) : m_bytes(std::move(bytes)) {}
    int Read(uint8_t* buf, int size) override
    {
        size_t left = m_bytes.size() - m_pos;
        size_t n = std::min(left, static_cast<size_t>(size));
        std::memcpy(buf, m_bytes.data() + m_pos, n);
        m_pos += n;
        return static_cast<int>(n);
    }
    int64_t Seek(int64_t offset, int whence) override
    {
        const auto size = static_cast<int64_t>(m_bytes.size());
        if (whence == AVSEEK_SIZE) return size;
        whence &= ~AVSEEK_FORCE;
        int64_t base = whence == SEEK_CUR ? static_cast<int64_t>(m_pos) : whence == SEEK_END ? size : 0;
        int64_t to = base + offset;
        if (to < 0 || to > size) return -1;
        m_pos = static_cast<size_t>(to);
        return to;
    }

private:
    std::vector<uint8_t> m_bytes;
    size_t m_pos = 0;
};

class LibavDecoder : public MovieDecoder {
public:
    explicit LibavDecoder(std::unique_ptr<Source> source) : m_source(std::move(source)) {}
    ~LibavDecoder() override { Teardown(); }

    bool Init(std::string* why)
    {
        if (!OpenContainer(why)) return false;
        m_outWidth = m_info.width;
        m_outHeight = m_info.height;
        return true;
    }

    const MovieInfo& Info() const override { return m_info; }

    bool SetVideoOutput(PixelFormat format, int width, int height) override
    {
        if (width == 0 && height == 0) {
            width = m_info.width;
            height = m_info.height;
        }
        if (!SaneSize(width, height)) return false;
        m_format = format;
        m_outWidth = width;
        m_outHeight = height;
        return true;
    }

    bool SetSoundOutput(int rate) override
    {
        if (rate < 0 || rate > 192000) return false;
        m_wantRate = rate;
        if (m_swr) swr_free(&m_swr);
        return true;
    }

    int SoundOutputRate() const override { return m_wantRate > 0 ? m_wantRate : m_info.soundRate; }

    Item Next(VideoFrame& frame, SoundChunk& sound) override
    {
        while (!m_over) {
            if (m_videoPending) {
                int r = avcodec_receive_frame(m_video, m_frame);
                if (r == 0) {
                    bool ok = ConvertVideo(frame);
                    av_frame_unref(m_frame);
                    if (ok) return Item::Video;
                    return Stop("the picture cannot be converted");
                }
                m_videoPending = false;
                if (r == AVERROR_EOF)
                    m_videoDone = true;
                else if (r != AVERROR(EAGAIN))
                    return Stop(AvError(r));
            }
            if (m_soundPending) {
                int r = avcodec_receive_frame(m_sound, m_frame);
                if (r == 0) {
                    bool ok = ConvertSound(sound);
                    av_frame_unref(m_frame);
                    if (!ok) return Stop("the sound cannot be converted");
                    if (!sound.samples.empty()) return Item::Sound;
                    continue;
                }
                m_soundPending = false;
                if (r == AVERROR_EOF)
                    m_soundDone = true;
                else if (r != AVERROR(EAGAIN))
                    return Stop(AvError(r));
            }
            if (m_flushed) {
                if (m_videoDone && (m_sound == nullptr || m_soundDone)) return Stop({});
                // A decoder that gave no EOF after its flush has nothing more.
                if (!m_videoPending && !m_soundPending) return Stop({});
                continue;
            }
            int r = av_read_frame(m_fmt, m_packet);
            if (r < 0) {
                if (r != AVERROR_EOF) m_failure = AvError(r);
                Flush();
                continue;
            }
            if (m_packet->stream_index == m_videoIndex) {
                r = avcodec_send_packet(m_video, m_packet);
                av_packet_unref(m_packet);
                if (r < 0 && r != AVERROR(EAGAIN)) return Stop(AvError(r));
                m_videoPending = true;
            } else if (m_sound != nullptr && m_packet->stream_index == m_soundIndex) {
                r = avcodec_send_packet(m_sound, m_packet);
                av_packet_unref(m_packet);
                if (r < 0 && r != AVERROR(EAGAIN)) return Stop(AvError(r));
                m_soundPending = true;
            } else {
                av_packet_unref(m_packet);
            }
        }
        return Item::End;
    }

    bool Rewind() override
    {
        // Opening afresh works for every container alike, whatever its
        // seeking is like; the file is small and already in the cache.
        const PixelFormat format = m_format;
        const int w = m_outWidth, h = m_outHeight, rate = m_wantRate;
        const MovieInfo before = m_info;
        Teardown();
        if (m_source->Seek(0, SEEK_SET) != 0) return false;
        std::string why;
        if (!OpenContainer(&why) || m_info.width != before.width || m_info.height != before.height) {
            m_failure = why;
            m_over = true;
            return false;
        }
        m_format = format;
        m_outWidth = w;
        m_outHeight = h;
        m_wantRate = rate;
        return true;
    }

    const std::string& Failure() const override { return m_failure; }

private:
    bool OpenContainer(std::string* why)
    {
        auto fail = [&](std::string text) {
            if (why) *why = std::move(text);
            Teardown();
            return false;
        };
        m_over = m_flushed = m_videoPending = m_soundPending = m_videoDone = m_soundDone = false;
        m_failure.clear();
        m_videoCount = 0;
        m_soundTime = 0;

        constexpr int kBuffer = 32768;
        auto* buffer = static_cast<uint8_t*>(av_malloc(kBuffer));
        if (buffer == nullptr) return fail("out of memory");
        m_io = avio_alloc_context(buffer, kBuffer, 0, m_source.get(), &Source::ReadPacket, nullptr,
                                  &Source::SeekPacket);
        if (m_io == nullptr) {
            av_free(buffer);
            return fail("out of memory");
        }
        m_fmt = avformat_alloc_context();
        if (m_fmt == nullptr) return fail("out of memory");
        m_fmt->pb = m_io;
        m_fmt->flags |= AVFMT_FLAG_CUSTOM_IO;
        // An empty name: the kind is judged from the bytes alone.
        int r = avformat_open_input(&m_fmt, "", nullptr, nullptr);
        if (r < 0) {
            m_fmt = nullptr;  // freed by the failed open
            return fail("not a movie the player knows (" + AvError(r) + ")");
        }
        r = avformat_find_stream_info(m_fmt, nullptr);
        if (r < 0) return fail("the movie's streams cannot be read (" + AvError(r) + ")");

        for (unsigned i = 0; i < m_fmt->nb_streams; ++i) {
            const AVCodecParameters* par = m_fmt->streams[i]->codecpar;
            if (par->codec_type == AVMEDIA_TYPE_VIDEO && m_videoIndex < 0 &&
                avcodec_find_decoder(par->codec_id) != nullptr)
                m_videoIndex = static_cast<int>(i);
            if (par->codec_type == AVMEDIA_TYPE_AUDIO && m_soundIndex < 0 &&
                avcodec_find_decoder(par->codec_id) != nullptr)
                m_soundIndex = static_cast<int>(i);
        }
        if (m_videoIndex < 0) return fail("the file holds no picture the player can decode");
        const AVStream* vs = m_fmt->streams[m_videoIndex];
        if (!SaneSize(vs->codecpar->width, vs->codecpar->height))
            return fail("the movie's picture size is not sane");
        m_video = OpenCodec(vs);
        if (m_video == nullptr) return fail("the movie's picture cannot be decoded");

        if (m_soundIndex >= 0) {
            const AVStream* as = m_fmt->streams[m_soundIndex];
            m_sound = OpenCodec(as);
            // A movie whose sound cannot be decoded still plays, silent.
            if (m_sound != nullptr && (m_sound->sample_rate <= 0 || m_sound->sample_rate > 192000 ||
                                       m_sound->ch_layout.nb_channels <= 0)) {
                avcodec_free_context(&m_sound);
            }
        }
        m_frame = av_frame_alloc();
        m_packet = av_packet_alloc();
        if (m_frame == nullptr || m_packet == nullptr) return fail("out of memory");

        m_info = {};
        m_info.width = vs->codecpar->width;
        m_info.height = vs->codecpar->height;
        AVRational rate = vs->avg_frame_rate.num > 0 ? vs->avg_frame_rate : vs->r_frame_rate;
        m_info.frameRate = rate.num > 0 && rate.den > 0 ? av_q2d(rate) : 0;
        if (m_fmt->duration > 0) m_info.duration = static_cast<double>(m_fmt->duration) / AV_TIME_BASE;
        m_info.hasSound = m_sound != nullptr;
        m_info.soundRate = m_sound ? m_sound->sample_rate : 0;
        m_start =
            m_fmt->start_time != AV_NOPTS_VALUE ? static_cast<double>(m_fmt->start_time) / AV_TIME_BASE : 0;
        return true;
    }

    static AVCodecContext* OpenCodec(const AVStream* stream)
    {
        const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
        if (codec == nullptr) return nullptr;
        AVCodecContext* ctx = avcodec_alloc_context3(codec);
        if (ctx == nullptr) return nullptr;
        if (avcodec_parameters_to_context(ctx, stream->codecpar) < 0) {
            avcodec_free_context(&ctx);
            return nullptr;
        }
        ctx->pkt_timebase = stream->time_base;
        ctx->thread_count = 1;
        if (avcodec_open2(ctx, codec, nullptr) < 0) {
            avcodec_free_context(&ctx);
            return nullptr;
        }
        return ctx;
    }

    void Teardown()
    {
        if (m_sws) sws_freeContext(m_sws);
        m_sws = nullptr;
        if (m_swr) swr_free(&m_swr);
        if (m_video) avcodec_free_context(&m_video);
        if (m_sound) avcodec_free_context(&m_sound);
        if (m_frame) av_frame_free(&m_frame);
        if (m_packet) av_packet_free(&m_packet);
        if (m_fmt) avformat_close_input(&m_fmt);
        if (m_io) {
            av_freep(&m_io->buffer);
            avio_context_free(&m_io);
        }
        m_videoIndex = m_soundIndex = -1;
    }

    void Flush()
    {
        m_flushed = true;
        avcodec_send_packet(m_video, nullptr);
        m_videoPending = true;
        if (m_sound) {
            avcodec_send_packet(m_sound, nullptr);
            m_soundPending = true;
        }
    }

    Item Stop(std::string why)
    {
        if (!why.empty() && m_failure.empty()) m_failure = std::move(why);
        m_over = true;
        return Item::End;
    }

    double TimeOf(const AVFrame* f, const AVStream* s) const
    {
        int64_t pts = f->best_effort_timestamp;
        if (pts == AV_NOPTS_VALUE) return -1;
        return static_cast<double>(pts) * av_q2d(s->time_base) - m_start;
    }

    bool ConvertVideo(VideoFrame& out)
    {
        if (!SaneSize(m_frame->width, m_frame->height)) return false;
        m_sws = sws_getCachedContext(m_sws, m_frame->width, m_frame->height,
                                     static_cast<AVPixelFormat>(m_frame->format), m_outWidth, m_outHeight,
                                     ToAv(m_format), SWS_BILINEAR, nullptr, nullptr, nullptr);
        if (m_sws == nullptr) return false;
        out.width = m_outWidth;
        out.height = m_outHeight;
        out.format = m_format;
        out.stride = m_outWidth * BytesPerPixel(m_format);
        // libswscale may write a little past a row's end: the rows are
        // padded, and the last one too.
        out.stride = (out.stride + 63) & ~63;
        out.pixels.resize(static_cast<size_t>(out.stride) * static_cast<size_t>(m_outHeight) + 64);
        uint8_t* dst[4] = {out.pixels.data(), nullptr, nullptr, nullptr};
        int dstStride[4] = {out.stride, 0, 0, 0};
        int rows = sws_scale(m_sws, m_frame->data, m_frame->linesize, 0, m_frame->height, dst, dstStride);
        if (rows <= 0) return false;
        double t = TimeOf(m_frame, m_fmt->streams[m_videoIndex]);
        if (t < 0 && m_info.frameRate > 0) t = static_cast<double>(m_videoCount) / m_info.frameRate;
        out.time = std::max(0.0, t);
        ++m_videoCount;
        return true;
    }

    bool ConvertSound(SoundChunk& out)
    {
        out.samples.clear();
        const int outRate = SoundOutputRate();
        if (m_frame->nb_samples <= 0) return true;
        if (m_frame->sample_rate <= 0 || m_frame->sample_rate > 192000 || m_frame->extended_data == nullptr)
            return false;
        // A damaged stream may change its layout between frames; the
        // converter is made for what each frame really holds.
        const int channels = m_frame->ch_layout.nb_channels > 0 ? m_frame->ch_layout.nb_channels
                                                                : m_sound->ch_layout.nb_channels;
        if (m_swr != nullptr && (m_frame->sample_rate != m_swrInRate || m_frame->format != m_swrInFormat ||
                                 channels != m_swrInChannels))
            swr_free(&m_swr);
        if (m_swr == nullptr) {
            AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
            AVChannelLayout in{};
            if (m_frame->ch_layout.nb_channels > 0) {
                if (av_channel_layout_copy(&in, &m_frame->ch_layout) < 0) return false;
            } else {
                av_channel_layout_default(&in, channels);
            }
            if (in.order == AV_CHANNEL_ORDER_UNSPEC) av_channel_layout_default(&in, in.nb_channels);
            int r = swr_alloc_set_opts2(&m_swr, &stereo, AV_SAMPLE_FMT_S16, outRate, &in,
                                        static_cast<AVSampleFormat>(m_frame->format), m_frame->sample_rate, 0,
                                        nullptr);
            av_channel_layout_uninit(&in);
            if (r < 0 || swr_init(m_swr) < 0) {
                swr_free(&m_swr);
                return false;
            }
            m_swrInRate = m_frame->sample_rate;
            m_swrInFormat = m_frame->format;
            m_swrInChannels = channels;
        }
        int room = swr_get_out_samples(m_swr, m_frame->nb_samples);
        if (room <= 0) return true;
        out.samples.resize(static_cast<size_t>(room) * 2);
        uint8_t* dst[1] = {reinterpret_cast<uint8_t*>(out.samples.data())};
        int made = swr_convert(m_swr, dst, room, const_cast<const uint8_t**>(m_frame->extended_data),
                               m_frame->nb_samples);
        if (made < 0) return false;
        out.samples.resize(static_cast<size_t>(made) * 2);
        double t = TimeOf(m_frame, m_fmt->streams[m_soundIndex]);
        out.time = t < 0 ? m_soundTime : t;
        m_soundTime = out.time + static_cast<double>(made) / outRate;
        return true;
    }

    std::unique_ptr<Source> m_source;
    AVIOContext* m_io = nullptr;
    AVFormatContext* m_fmt = nullptr;
    AVCodecContext* m_video = nullptr;
    AVCodecContext* m_sound = nullptr;
    AVFrame* m_frame = nullptr;
    AVPacket* m_packet = nullptr;
    SwsContext* m_sws = nullptr;
    SwrContext* m_swr = nullptr;
    int m_swrInRate = 0;
    int m_swrInFormat = -1;
    int m_swrInChannels = 0;
    int m_videoIndex = -1;
    int m_soundIndex = -1;
    MovieInfo m_info;
    double m_start = 0;
    double m_soundTime = 0;
    int64_t m_videoCount = 0;
    PixelFormat m_format = PixelFormat::Rgb32;
    int m_outWidth = 0;
    int m_outHeight = 0;
    int m_wantRate = 0;
    bool m_over = false;
    bool m_flushed = false;
    bool m_videoPending = false;
    bool m_soundPending = false;
    bool m_videoDone = false;
    bool m_soundDone = false;
    std::string m_failure;
};

std::unique_ptr<MovieDecoder> Finish(std::unique_ptr<Source> source, std::string* why)
{
    // The library's own complaints about damaged files are ours to report.
    av_log_set_level(AV_LOG_QUIET);
    auto decoder = std::make_unique<LibavDecoder>(std::move(source));
    if (!decoder->Init(why)) return nullptr;
    return decoder;
}

}  // namespace

std::unique_ptr<MovieDecoder> MovieDecoder::Open(std::string_view sjisPath, std::string* why)
{
    const std::string native = ToNativePath(sjisPath);
    std::FILE* f = std::fopen(native.c_str(), "rb");
    if (f == nullptr) {
        if (why) *why = "the file cannot be opened";
        return nullptr;
    }
    return Finish(std::make_unique<FileSource>(f), why);
}

std::unique_ptr<MovieDecoder> MovieDecoder::OpenBytes(std::vector<uint8_t> bytes, std::string* why)
{
    return Finish(std::make_unique<MemorySource>(std::move(bytes)), why);
}

}  // namespace platform::media
