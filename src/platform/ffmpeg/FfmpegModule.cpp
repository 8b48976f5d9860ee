#include "platform/ffmpeg/FfmpegMediaWriter.h"

#include <dlfcn.h>
#include <filesystem>
#include <string>
#include <vector>

// FFmpeg's libraries and the codecs they bring take a good part of an idle
// tray app's memory, yet only recordings use them: the writer lives in a
// module loaded the first time a recording starts.

namespace velloq::platform {
namespace {

// Beside an installed program first, then where the build put it.
std::vector<std::string> modulePaths() {
    std::vector<std::string> paths;
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        paths.push_back(
            (program.parent_path().parent_path() / "lib" / "velloq" / VELLOQ_FFMPEG_MODULE_NAME)
                .string());
    }
    paths.push_back(VELLOQ_FFMPEG_MODULE_BUILT);
    return paths;
}

MediaEncoding* loadModule() {
    for (const std::string& path : modulePaths()) {
        void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            continue;
        }
        using Entry = MediaEncoding* (*)();
        if (auto entry = reinterpret_cast<Entry>(dlsym(module, "velloq_ffmpeg_encoding"))) {
            return entry(); // the module stays loaded for the process's life
        }
        dlclose(module);
    }
    return nullptr;
}

} // namespace

Expected<std::unique_ptr<MediaWriter>, MediaWriterError>
FfmpegMediaEncoding::create(const VideoSettings& video, const std::optional<AudioSettings>& audio,
                            SegmentSink sink) {
    static MediaEncoding* const encoding = loadModule();
    if (encoding == nullptr) {
        return Unexpected(MediaWriterError::unavailable);
    }
    return encoding->create(video, audio, std::move(sink));
}

} // namespace velloq::platform
