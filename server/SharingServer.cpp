#include "server/SharingServer.h"

#include "server/Certificates.h"
#include "server/Crypto.h"
#include "server/HttpSupport.h"
#include "server/JsonBody.h"
#include "server/Routes.h"

#include <algorithm>
#include <chrono>
#include <regex>
#include <signal.h>

namespace velloq::server {
namespace {

std::string ownOrigin(const ServerConfig& config, int port) {
    std::string host = config.host;
    if (host == "0.0.0.0") {
        host = "127.0.0.1";
    } else if (host == "::") {
        host = "::1";
    }
    if (host.find(':') != std::string::npos) {
        host = "[" + host + "]";
    }
    return (config.plainHttp ? "http://" : "https://") + host + ":" + std::to_string(port);
}

Expected<std::string, Error> publicBase(const ServerConfig& config, int port) {
    if (config.publicUrl.empty()) {
        return ownOrigin(config, port);
    }
    static const std::regex url(R"(^https?://[^/\s?#]+(/[^\s?#]*)?$)");
    std::string base = config.publicUrl;
    while (!base.empty() && base.back() == '/') {
        base.pop_back();
    }
    if (!std::regex_match(base, url)) {
        return fail("--public-url must be an http or https URL without query or fragment");
    }
    return base;
}

void ignoreSigpipe() {
    // TLS writes to a peer that went away raise SIGPIPE; the write error is enough.
    struct sigaction current {};
    if (::sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
        ::signal(SIGPIPE, SIG_IGN);
    }
}

} // namespace

Expected<std::unique_ptr<SharingServer>, Error> SharingServer::create(const ServerConfig& config) {
    if (config.faultInjection && !isLoopbackHost(config.host)) {
        return fail("fault injection is only available on a loopback address");
    }
    auto data = DataDir::prepare(config.dataDir);
    auto secret = randomHex(32);
    if (!data || !secret) {
        return data ? fail("no randomness for the signing secret") : Unexpected(data.error());
    }
    std::unique_ptr<SharingServer> server(new SharingServer());
    std::optional<TlsFiles> tls;
    if (config.certFile && config.keyFile) {
        tls = TlsFiles{*config.certFile, *config.keyFile};
    } else if (!config.plainHttp) {
        auto local = ensureLocalTls(data.value().tlsDir());
        if (!local) {
            return Unexpected(local.error());
        }
        tls = TlsFiles{local.value().serverCert, local.value().serverKey};
        server->caFile_ = local.value().caCert;
    }
    ignoreSigpipe();
    server->ctx_ = std::make_unique<ServerContext>(config, std::move(data).value(), *secret);
    ServerContext& ctx = *server->ctx_;
    addUploadRoute(ctx);
    addVideoRoutes(ctx);
    addPublicRoutes(ctx);
    addViewerRoutes(ctx);
    if (config.faultInjection) {
        addFaultRoutes(ctx);
    }
    HttpLimits limits;
    limits.workers = config.threads;
    limits.maxConnections = config.maxConnections;
    limits.bodyLimit =
        std::max({config.maxUploadBytes, config.maxPartBytes, std::uint64_t{kCompleteBodyLimit}}) +
        (1 << 20);
    auto http = HttpServer::create(
        config.host, config.port, tls, limits,
        [&ctx](Request& req, BodyReader& reader, Response& res) {
            handleRequest(ctx, req, reader, res);
        },
        config.log);
    if (!http) {
        return Unexpected(http.error());
    }
    server->http_ = std::move(http).value();
    server->port_ = server->http_->port();
    auto base = publicBase(config, server->port_);
    if (!base) {
        return Unexpected(base.error());
    }
    ctx.baseUrl = base.value();
    if (ctx.keys.size() == 0) {
        ctx.log.line("warning: no API keys configured; every upload will be refused");
    }
    server->sweeper_ = std::thread([s = server.get()] { s->sweepLoop(); });
    return server;
}

SharingServer::~SharingServer() {
    stop();
}

const std::string& SharingServer::baseUrl() const {
    return ctx_->baseUrl;
}

const std::filesystem::path& SharingServer::dataDir() const {
    return ctx_->data.root();
}

void SharingServer::run() {
    ctx_->log.line("serving " + ctx_->baseUrl + " from " + ctx_->data.root().string());
    http_->run();
}

void SharingServer::start() {
    listener_ = std::thread([this] { run(); });
}

void SharingServer::stop() {
    {
        std::lock_guard lock(sweepMutex_);
        stopping_ = true;
    }
    sweepWake_.notify_all();
    if (ctx_) {
        ctx_->faststart.stop(); // a copy being written is abandoned, not waited for
    }
    if (http_) {
        http_->stop();
    }
    if (listener_.joinable()) {
        listener_.join();
    }
    if (sweeper_.joinable()) {
        sweeper_.join();
    }
}

std::size_t SharingServer::expireStaleVideos() {
    return ctx_->videos.expireStale();
}

void SharingServer::sweepLoop() {
    const auto interval = std::clamp<std::chrono::seconds>(
        ctx_->config.videoLifetime / 4, std::chrono::seconds(1), std::chrono::seconds(60));
    std::unique_lock lock(sweepMutex_);
    while (!sweepWake_.wait_for(lock, interval, [this] { return stopping_; })) {
        lock.unlock();
        if (std::size_t dropped = ctx_->videos.expireStale(); dropped > 0) {
            ctx_->log.line("dropped " + std::to_string(dropped) + " expired unfinished video(s)");
        }
        lock.lock();
    }
}

std::string SharingServer::readyLine() const {
    return "velloq-server ready url=" + baseUrl() +
           " ca=" + (caFile_ ? caFile_->string() : std::string("none")) +
           " port=" + std::to_string(port_);
}

std::string SharingServer::readyJson() const {
    nlohmann::json json{{"url", baseUrl()}, {"port", port_}};
    json["caFile"] = caFile_ ? nlohmann::json(caFile_->string()) : nlohmann::json(nullptr);
    return json.dump() + "\n";
}

} // namespace velloq::server
