#include "platform/ffmpeg/FfmpegMediaWriter.h"
#include "platform/ffmpeg/FfmpegPosterFrames.h"

#include <dlfcn.h>
#include <filesystem>
#include <string>
#include <vector>

// FFmpeg's libraries and the codecs they bring take a good part of an idle
// tray app's memory, yet only recordings use them: the writer lives in a
// module loaded the first time a recording starts (or a poster is asked for).

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

// The loaded module, or null when none could be loaded; it stays loaded for
// the process's life.
void* loadedModule() {
    static void* const module = []() -> void* {
        for (const std::string& path : modulePaths()) {
            if (void* found = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
                return found;
            }
        }
        return nullptr;
    }();
    return module;
}

template <typename Service> Service* moduleService(const char* entryName) {
    void* module = loadedModule();
    if (module == nullptr) {
        return nullptr;
    }
    using Entry = Service* (*)();
    auto entry = reinterpret_cast<Entry>(dlsym(module, entryName));
    return entry != nullptr ? entry() : nullptr;
}

} // namespace

Expected<std::unique_ptr<MediaWriter>, MediaWriterError>
FfmpegMediaEncoding::create(const VideoSettings& video, const std::optional<AudioSettings>& audio,
                            SegmentSink sink) {
    static MediaEncoding* const encoding = moduleService<MediaEncoding>("velloq_ffmpeg_encoding");
    if (encoding == nullptr) {
        return Unexpected(MediaWriterError::unavailable);
    }
    return encoding->create(video, audio, std::move(sink));
}

std::optional<RgbaImage> FfmpegPosterFrames::frameAt(const std::filesystem::path& file,
                                                     double seconds, int maxSide) {
    static PosterFrames* const posters = moduleService<PosterFrames>("velloq_ffmpeg_poster_frames");
    if (posters == nullptr) {
        return std::nullopt;
    }
    return posters->frameAt(file, seconds, maxSide);
}

} // namespace velloq::platform
