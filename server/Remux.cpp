#include "server/Remux.h"

#include "server/AvInput.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace velloq::server {
namespace {

struct OutputFree {
    void operator()(AVFormatContext* context) const {
        if (context->pb != nullptr) {
            avio_closep(&context->pb);
        }
        avformat_free_context(context);
    }
};

} // namespace

Expected<RemuxSummary, Error> remuxFaststart(const std::filesystem::path& input,
                                             const std::filesystem::path& output,
                                             const std::atomic<bool>& cancel) {
    auto in = openUploadedMp4(input, cancel);
    if (!in) {
        return Unexpected(in.error());
    }
    AVFormatContext& source = *in.value();
    AVFormatContext* rawOut = nullptr;
    if (avformat_alloc_output_context2(&rawOut, nullptr, "mp4", output.c_str()) < 0) {
        return fail("cannot set up the MP4 writer");
    }
    std::unique_ptr<AVFormatContext, OutputFree> out(rawOut);
    out->interrupt_callback = source.interrupt_callback;

    RemuxSummary summary;
    std::vector<int> mapped(source.nb_streams, -1);
    for (unsigned i = 0; i < source.nb_streams; ++i) {
        const AVCodecParameters& par = *source.streams[i]->codecpar;
        if (par.codec_type != AVMEDIA_TYPE_VIDEO && par.codec_type != AVMEDIA_TYPE_AUDIO) {
            continue;
        }
        AVStream* stream = avformat_new_stream(out.get(), nullptr);
        if (stream == nullptr || avcodec_parameters_copy(stream->codecpar, &par) < 0) {
            return fail("cannot copy a stream");
        }
        stream->codecpar->codec_tag = 0;
        stream->time_base = source.streams[i]->time_base;
        if (par.codec_type == AVMEDIA_TYPE_VIDEO && summary.width == 0) {
            summary.width = par.width;
            summary.height = par.height;
        }
        mapped[i] = stream->index;
    }
    if (out->nb_streams == 0) {
        return fail("no audio or video stream");
    }
    if (int opened = avio_open2(&out->pb, output.c_str(), AVIO_FLAG_WRITE, &out->interrupt_callback,
                                nullptr);
        opened < 0) {
        return fail("cannot write the copy: " + avError(opened));
    }
    AVDictionary* options = nullptr;
    av_dict_set(&options, "movflags", "+faststart", 0);
    const int header = avformat_write_header(out.get(), &options);
    av_dict_free(&options);
    if (header < 0) {
        return fail("cannot write the MP4 header: " + avError(header));
    }

    PacketPtr packet(av_packet_alloc());
    if (!packet) {
        return fail("out of memory");
    }
    double end = 0;
    while (true) {
        const int read = av_read_frame(&source, packet.get());
        if (read == AVERROR_EOF) {
            break;
        }
        if (read < 0 || cancel.load()) {
            return fail(cancel.load() ? "cancelled" : "unreadable packet: " + avError(read));
        }
        const auto index = static_cast<unsigned>(packet->stream_index);
        if (index >= mapped.size() || mapped[index] < 0) {
            av_packet_unref(packet.get());
            continue;
        }
        const AVRational from = source.streams[index]->time_base;
        if (packet->pts != AV_NOPTS_VALUE) {
            end = std::max(end, static_cast<double>(packet->pts + packet->duration) * av_q2d(from));
        }
        packet->stream_index = mapped[index];
        av_packet_rescale_ts(packet.get(), from, out->streams[mapped[index]]->time_base);
        packet->pos = -1;
        if (int written = av_interleaved_write_frame(out.get(), packet.get()); written < 0) {
            return fail("cannot write a packet: " + avError(written));
        }
    }
    // The trailer moves the index to the front: a second pass over the file.
    if (int trailer = av_write_trailer(out.get()); trailer < 0) {
        return fail("cannot finish the copy: " + avError(trailer));
    }
    summary.durationSeconds = end;
    return summary;
}

} // namespace velloq::server
