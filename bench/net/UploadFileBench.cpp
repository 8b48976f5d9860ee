// MultipartUploadService::uploadFile of one file to the service named by
// VELLOQ_SERVICE_URL (with VELLOQ_CA_FILE and the key in VELLOQ_BENCH_KEY).
// Prints the time taken and the peak memory above what the process held
// before the upload. Run through net/upload_file.sh.

#include "BenchPlatform.h"
#include "net/MultipartUploadService.h"
#include "platform/curl/CurlHttp.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

namespace {

// A field of /proc/self/status in KiB (VmRSS now, VmHWM the peak).
long statusKiB(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field + ":", 0) == 0) {
            return std::stol(line.substr(field.size() + 1));
        }
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    const char* key = std::getenv("VELLOQ_BENCH_KEY");
    if (argc != 2 || key == nullptr) {
        std::cerr << "usage: VELLOQ_BENCH_KEY=... velloq_upload_file_bench FILE\n";
        return 2;
    }
    velloq::platform::CurlHttp http(velloq::platform::CurlHttp::extraCAFromEnvironment());
    velloq::bench::BenchPlatform platform(key, http);
    velloq::MultipartUploadService api(http);

    const long baseline = statusKiB("VmRSS");
    const auto started = std::chrono::steady_clock::now();
    auto link = api.uploadFile(argv[1]);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    if (!link) {
        std::cerr << "upload failed: " << velloq::userMessage(link.error()) << "\n";
        return 1;
    }
    const double mib = static_cast<double>(std::filesystem::file_size(argv[1])) / (1 << 20);
    std::printf("uploadFile: %.1f MiB in %.2f s = %.0f MiB/s; peak RSS %.1f MiB above baseline\n",
                mib, took.count(), mib / took.count(),
                static_cast<double>(statusKiB("VmHWM") - baseline) / 1024.0);
    return 0;
}
