#pragma once

// Opening an uploaded video with libavformat, and owners for what that makes.
// Uploads are untrusted: only the MP4 demuxer reads them, only from the local
// file, and it never follows references to other files.

#include "server/Error.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>

namespace velloq::server {

struct InputClose {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
using InputPtr = std::unique_ptr<AVFormatContext, InputClose>;

struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
using PacketPtr = std::unique_ptr<AVPacket, PacketFree>;

std::string avError(int code);

// `cancel` set from another thread makes every read fail from then on.
Expected<InputPtr, Error> openUploadedMp4(const std::filesystem::path& path,
                                          const std::atomic<bool>& cancel);

} // namespace velloq::server
