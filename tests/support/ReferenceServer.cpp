#include "ReferenceServer.h"

#include <gtest/gtest.h>
#include <thread>

namespace velloq::testing {
namespace {

std::string field(const std::string& line, const std::string& name) {
    const auto at = line.find(" " + name + "=");
    if (at == std::string::npos) {
        return {};
    }
    const auto start = at + name.size() + 2;
    return line.substr(start, line.find_first_of(" \n", start) - start);
}

} // namespace

ReferenceServer::ReferenceServer(Options options) {
    std::vector<std::string> argv{VELLOQ_SERVER_BINARY,
                                  "--data-dir",
                                  (dir_.path() / "data").string(),
                                  "--listen",
                                  "127.0.0.1:0",
                                  "--key",
                                  key,
                                  "--disabled-key",
                                  disabledKey,
                                  "--enable-fault-injection",
                                  "--threads",
                                  "8"};
    if (options.plainHttp) {
        argv.push_back("--plain-http");
    }
    argv.insert(argv.end(), options.arguments.begin(), options.arguments.end());
    // Under ThreadSanitizer the server is instrumented too; its own findings
    // belong to its own tests, not to these.
    process_ = std::make_unique<ChildProcess>(
        argv, std::map<std::string, std::string>{{"TSAN_OPTIONS", "report_bugs=0"}});

    // The ready line is the server's own signal; nothing is timed here.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    std::string ready;
    while (ready.empty() && std::chrono::steady_clock::now() < deadline && process_->running()) {
        const std::string out = process_->output();
        if (const auto at = out.find("velloq-server ready");
            at != std::string::npos && out.find('\n', at) != std::string::npos) {
            ready = out.substr(at, out.find('\n', at) - at);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (ready.empty()) {
        ADD_FAILURE() << "velloq-server did not start: " << process_->errors();
        return;
    }
    baseURL_ = field(ready, "url");
    port_ = std::stoi(field(ready, "port"));
    if (const auto ca = field(ready, "ca"); ca != "none") {
        caFile_ = ca;
    }
    admin_ = std::make_unique<platform::CurlHttp>(
        caFile_.empty() ? std::nullopt : std::optional<std::filesystem::path>(caFile_));
}

void ReferenceServer::fault(const std::string& route, const std::string& json) {
    platform::HttpRequest request;
    request.method = "PUT";
    request.url = baseURL_ + "/_test/faults/" + route;
    request.headers = {{"Content-Type", "application/json"}};
    request.body = json;
    const auto response = admin_->send(request);
    ASSERT_TRUE(response.has_value()) << response.error().description;
    ASSERT_EQ(response->status, 204) << response->body;
}

std::string ReferenceServer::download(const std::string& url) {
    platform::HttpRequest request;
    request.url = url;
    request.maxResponseBytes = std::size_t{1} << 30;
    const auto response = admin_->send(request);
    EXPECT_TRUE(response.has_value() && response->status == 200) << url;
    return response ? response->body : std::string();
}

} // namespace velloq::testing
