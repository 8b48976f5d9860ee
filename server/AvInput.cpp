#include "server/AvInput.h"

extern "C" {
#include <libavutil/error.h>
}

#include <mutex>

namespace velloq::server {
namespace {

struct DictionaryFree {
    void operator()(AVDictionary* dictionary) const { av_dict_free(&dictionary); }
};

int interrupted(void* flag) {
    return static_cast<const std::atomic<bool>*>(flag)->load() ? 1 : 0;
}

} // namespace

std::string avError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

Expected<InputPtr, Error> openUploadedMp4(const std::filesystem::path& path,
                                          const std::atomic<bool>& cancel) {
    // What went wrong is returned and logged by the caller in one line.
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_QUIET); });
    AVFormatContext* raw = avformat_alloc_context();
    if (raw == nullptr) {
        return fail("out of memory");
    }
    raw->interrupt_callback = {interrupted, const_cast<std::atomic<bool>*>(&cancel)};
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    av_dict_set(&options, "format_whitelist", "mov,mp4,m4a,3gp,3g2,mj2", 0);
    const int opened =
        avformat_open_input(&raw, path.c_str(), av_find_input_format("mp4"), &options);
    std::unique_ptr<AVDictionary, DictionaryFree> unused(options);
    if (opened < 0) {
        return fail("not a readable MP4: " + avError(opened)); // raw was freed
    }
    return InputPtr(raw);
}

} // namespace velloq::server
