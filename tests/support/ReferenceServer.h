#pragma once

// The reference sharing service as a child process on an ephemeral loopback
// port, with a private data directory and its own certificate authority.

#include "fakes/ChildProcess.h"
#include "fakes/TempDir.h"
#include "platform/curl/CurlHttp.h"

#include <memory>
#include <string>
#include <vector>

namespace velloq::testing {

class ReferenceServer {
public:
    struct Options {
        bool plainHttp = false;
        std::vector<std::string> arguments; // added to the defaults
    };

    static constexpr const char* key = "sk-integration";
    static constexpr const char* disabledKey = "sk-disabled";

    explicit ReferenceServer(Options options);
    ReferenceServer() : ReferenceServer(Options{}) {}

    const std::string& baseURL() const { return baseURL_; }
    const std::string& caFile() const { return caFile_; } // empty in plain-HTTP mode
    int port() const { return port_; }
    const std::filesystem::path& dir() const { return dir_.path(); }

    // Makes `route` misbehave, e.g. fault("put-part", R"({"status":500,"times":1})").
    void fault(const std::string& route, const std::string& json);
    // GETs a published link's bytes.
    std::string download(const std::string& url);
    // A video link opens a page; the video as uploaded is beside it.
    std::string downloadVideo(const std::string& viewUrl) { return download(viewUrl + ".mp4"); }

private:
    TempDir dir_;
    std::unique_ptr<ChildProcess> process_;
    std::string baseURL_;
    std::string caFile_;
    int port_ = 0;
    std::unique_ptr<platform::CurlHttp> admin_; // trusts the server's CA
};

} // namespace velloq::testing
