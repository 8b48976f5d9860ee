#include "platform/ffmpeg/SegmentMuxer.h"

namespace velloq::platform::ffmpeg {
namespace {

constexpr int ioBufferSize = 64 * 1024;

} // namespace

int SegmentMuxer::collect(void* opaque, std::uint8_t* data, int size) {
    static_cast<SegmentMuxer*>(opaque)->pending_.append(reinterpret_cast<const char*>(data),
                                                        std::size_t(size));
    return size;
}

std::unique_ptr<SegmentMuxer> SegmentMuxer::open(AVCodecContext& video, AVCodecContext* audio,
                                                 SegmentSink sink) {
    auto muxer = std::unique_ptr<SegmentMuxer>(new SegmentMuxer());
    muxer->sink_ = std::move(sink);
    auto* buffer = static_cast<unsigned char*>(av_malloc(ioBufferSize));
    if (buffer == nullptr) {
        return nullptr;
    }
    muxer->io_.reset(
        avio_alloc_context(buffer, ioBufferSize, 1, muxer.get(), nullptr, &collect, nullptr));
    if (!muxer->io_) {
        av_free(buffer);
        return nullptr;
    }
    AVFormatContext* format = nullptr;
    if (avformat_alloc_output_context2(&format, nullptr, "mp4", nullptr) < 0) {
        return nullptr;
    }
    muxer->format_.reset(format);
    format->pb = muxer->io_.get();
    format->flags |= AVFMT_FLAG_CUSTOM_IO;
    for (AVCodecContext* codec : {&video, audio}) {
        if (codec == nullptr) {
            continue;
        }
        AVStream* stream = avformat_new_stream(format, nullptr);
        if (stream == nullptr || avcodec_parameters_from_context(stream->codecpar, codec) < 0) {
            return nullptr;
        }
        stream->time_base = codec->time_base;
    }
    AVDictionary* raw = nullptr;
    av_dict_set(&raw, "movflags", "frag_custom+delay_moov+default_base_moof+skip_trailer", 0);
    std::unique_ptr<AVDictionary, DictionaryFree> options(raw);
    raw = options.release();
    const int written = avformat_write_header(format, &raw);
    options.reset(raw);
    if (written < 0) {
        return nullptr;
    }
    return muxer;
}

SegmentMuxer::~SegmentMuxer() {
    // The format context must not free our I/O context; it goes on its own.
    if (format_) {
        format_->pb = nullptr;
    }
}

bool SegmentMuxer::write(AVPacket& packet, int stream, AVRational timeBase) {
    if (stream >= int(format_->nb_streams)) {
        return false;
    }
    packet.stream_index = stream;
    av_packet_rescale_ts(&packet, timeBase, format_->streams[stream]->time_base);
    return av_write_frame(format_.get(), &packet) >= 0;
}

bool SegmentMuxer::flush() {
    if (av_write_frame(format_.get(), nullptr) < 0) {
        return false;
    }
    avio_flush(io_.get());
    if (!pending_.empty()) {
        std::string segment;
        segment.swap(pending_);
        sink_(segment);
    }
    return true;
}

bool SegmentMuxer::finish() {
    if (!flush()) {
        return false;
    }
    const bool ended = av_write_trailer(format_.get()) >= 0;
    avio_flush(io_.get());
    if (!pending_.empty()) { // nothing is expected after the last fragment
        std::string rest;
        rest.swap(pending_);
        sink_(rest);
    }
    return ended;
}

} // namespace velloq::platform::ffmpeg
