// How fast VideoStreamUploader::append cuts a stream into 5 MiB parts when
// the transport costs nothing: the uploader's own overhead per byte.

#include "BenchPlatform.h"
#include "net/VideoStreamUploader.h"

#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {

// Answers every request at once: a video id, a part address, an ETag, a link.
class NoOpHttp final : public velloq::platform::Http {
public:
    velloq::Expected<velloq::platform::HttpResponse, velloq::platform::TransportError>
    send(const velloq::platform::HttpRequest& request) override {
        velloq::platform::HttpResponse response;
        response.status = 200;
        if (request.method == "PUT") {
            response.headers.push_back({"ETag", "\"e\""});
        } else if (request.url.ends_with("/start")) {
            response.body = R"({"videoId":"v"})";
        } else if (request.url.ends_with("/sign-part")) {
            response.body = R"({"url":"https://store.test/p"})";
        } else {
            response.body = R"({"viewUrl":"https://store.test/v"})";
        }
        return response;
    }
};

void BM_StreamAppend(benchmark::State& state) {
    ::setenv("VELLOQ_SERVICE_URL", "https://service.test", 1);
    NoOpHttp http;
    velloq::bench::BenchPlatform platform("sk-bench", http);
    const std::string segment(static_cast<std::size_t>(state.range(0)), 'x');
    velloq::VideoStreamUploader uploader(http);
    if (!uploader.start()) {
        state.SkipWithError("start failed");
        return;
    }
    for (auto _ : state) {
        uploader.append(segment);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
// Segments of 64 KiB, 1 MiB (about two seconds of video) and 12 MiB.
BENCHMARK(BM_StreamAppend)->Arg(64 << 10)->Arg(1 << 20)->Arg(12 << 20);

} // namespace
