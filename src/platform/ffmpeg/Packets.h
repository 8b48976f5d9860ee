#pragma once

// What both encoders do with the packets their codec hands back.

#include "platform/ffmpeg/AvHandles.h"

#include <functional>

namespace velloq::platform::ffmpeg {

using PacketHandler = std::function<bool(AVPacket& packet)>;

// Hands every packet the codec has ready to `handle`; false on a codec error
// or when `handle` refuses one.
bool receivePackets(AVCodecContext& context, AVPacket& packet, const PacketHandler& handle);

} // namespace velloq::platform::ffmpeg
