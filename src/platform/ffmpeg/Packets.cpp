#include "platform/ffmpeg/Packets.h"

namespace velloq::platform::ffmpeg {

bool receivePackets(AVCodecContext& context, AVPacket& packet, const PacketHandler& handle) {
    for (;;) {
        const int result = avcodec_receive_packet(&context, &packet);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) {
            return true;
        }
        if (result < 0) {
            return false;
        }
        const bool handled = handle(packet);
        av_packet_unref(&packet);
        if (!handled) {
            return false;
        }
    }
}

} // namespace velloq::platform::ffmpeg
