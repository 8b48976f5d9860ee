#include "app/UploadCommand.h"

#include "net/ImageUpload.h"
#include "net/MultipartUploadService.h"
#include "net/UploadError.h"
#include "platform/Platform.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>

namespace velloq {
namespace {

constexpr std::string_view pngSignature{"\x89PNG\r\n\x1a\n", 8};

bool startsWithPng(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string head(pngSignature.size(), '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    return in && head == pngSignature;
}

std::optional<std::string> readWhole(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        return std::nullopt;
    }
    return bytes;
}

// "12.0 / 33.0 MiB at 41.2 MiB/s", redrawn in place on a terminal.
class ProgressLine {
public:
    ProgressLine(std::ostream& err, std::uintmax_t total)
        : err_(err), total_(static_cast<double>(total)),
          started_(std::chrono::steady_clock::now()) {}

    void update(double fraction) {
        constexpr double mib = 1024.0 * 1024.0;
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
        const double sent = fraction * total_;
        char line[96];
        std::snprintf(line, sizeof line, "\r%.1f / %.1f MiB at %.1f MiB/s", sent / mib,
                      total_ / mib, seconds > 0 ? sent / mib / seconds : 0.0);
        // The last batch ends the line, before the upload's own log line.
        drawn_ = fraction < 1;
        err_ << line << (drawn_ ? "" : "\n") << std::flush;
    }
    ~ProgressLine() {
        if (drawn_) {
            err_ << "\n";
        }
    }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

private:
    std::ostream& err_;
    double total_;
    std::chrono::steady_clock::time_point started_;
    bool drawn_ = false;
};

NetResult<std::string> uploadOne(const std::filesystem::path& file, std::ostream& err,
                                 bool showProgress) {
    if (startsWithPng(file)) {
        const auto bytes = readWhole(file);
        if (!bytes) {
            return Unexpected(NetError(FileReadError{"cannot read " + file.string()}));
        }
        return uploadImage(*bytes, platform::http());
    }
    std::error_code sizeError;
    const auto size = std::filesystem::file_size(file, sizeError);
    std::optional<ProgressLine> progress;
    // Small files are done before a progress line would mean anything.
    if (showProgress && !sizeError && size > MultipartUploadService::partSize) {
        progress.emplace(err, size);
    }
    const MultipartUploadService service(platform::http());
    return service.uploadFile(file, [&progress](double fraction) {
        if (progress) {
            progress->update(fraction);
        }
    });
}

} // namespace

int runUpload(const std::vector<std::string>& files, std::ostream& out, std::ostream& err,
              bool showProgress) {
    int status = 0;
    for (const auto& name : files) {
        const std::filesystem::path file(name);
        std::error_code error;
        if (!std::filesystem::is_regular_file(file, error)) {
            err << "velloq: cannot read " << name << ": not a readable file\n";
            status = 1;
            continue;
        }
        const auto link = uploadOne(file, err, showProgress);
        if (!link) {
            const auto* unreadable = std::get_if<FileReadError>(&link.error());
            err << "velloq: " << name << ": "
                << (unreadable != nullptr ? unreadable->description : userMessage(link.error()))
                << "\n";
            status = 1;
            continue;
        }
        out << *link << std::endl;
    }
    return status;
}

} // namespace velloq
