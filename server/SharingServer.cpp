#include "server/SharingServer.h"

#include "server/Certificates.h"
#include "server/Crypto.h"
#include "server/HttpSupport.h"
#include "server/Routes.h"

#include <algorithm>
#include <chrono>
#include <openssl/ssl.h>
#include <regex>
#include <signal.h>
#include <sys/socket.h>

namespace velloq::server {
namespace {

// cpp-httplib listens with a backlog of 5; a burst of clients would then see
// dropped SYNs and one-second stalls. Listening again widens the queue.
template <class Base> class WideBacklog : public Base {
public:
    using Base::Base;
    void widenBacklog() { ::listen(this->svr_sock_, SOMAXCONN); }
};

struct TlsFiles {
    std::filesystem::path cert;
    std::filesystem::path key;
};

std::unique_ptr<httplib::Server> makeTransport(const TlsFiles* tls) {
    if (!tls) {
        return std::make_unique<WideBacklog<httplib::Server>>();
    }
    auto setup = [files = *tls](SSL_CTX& ctx) {
        SSL_CTX_set_min_proto_version(&ctx, TLS1_2_VERSION);
        SSL_CTX_set_options(&ctx, SSL_OP_NO_COMPRESSION | SSL_OP_NO_RENEGOTIATION);
        return SSL_CTX_use_certificate_chain_file(&ctx, files.cert.c_str()) == 1 &&
               SSL_CTX_use_PrivateKey_file(&ctx, files.key.c_str(), SSL_FILETYPE_PEM) == 1 &&
               SSL_CTX_check_private_key(&ctx) == 1;
    };
    return std::make_unique<WideBacklog<httplib::SSLServer>>(setup);
}

void widenBacklog(httplib::Server& server, bool tls) {
    if (tls) {
        static_cast<WideBacklog<httplib::SSLServer>&>(server).widenBacklog();
    } else {
        static_cast<WideBacklog<httplib::Server>&>(server).widenBacklog();
    }
}

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

Result<std::string> publicBase(const ServerConfig& config, int port) {
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

Result<std::unique_ptr<SharingServer>> SharingServer::create(const ServerConfig& config) {
    if (config.faultInjection && !isLoopbackHost(config.host)) {
        return fail("fault injection is only available on a loopback address");
    }
    auto data = DataDir::prepare(config.dataDir);
    auto secret = randomHex(32);
    if (!data || !secret) {
        return data ? fail("no randomness for the signing secret") : data.error();
    }
    std::unique_ptr<SharingServer> server(new SharingServer());
    std::optional<TlsFiles> tls;
    if (config.certFile && config.keyFile) {
        tls = TlsFiles{*config.certFile, *config.keyFile};
    } else if (!config.plainHttp) {
        auto local = ensureLocalTls(data.value().tlsDir());
        if (!local) {
            return local.error();
        }
        tls = TlsFiles{local.value().serverCert, local.value().serverKey};
        server->caFile_ = local.value().caCert;
    }
    ignoreSigpipe();
    server->ctx_ = std::make_unique<ServerContext>(config, std::move(data).value(), *secret);
    server->http_ = makeTransport(tls ? &*tls : nullptr);
    httplib::Server& http = *server->http_;
    if (!http.is_valid()) {
        return fail("cannot load the TLS certificate and key");
    }
    const std::size_t threads = static_cast<std::size_t>(config.threads);
    http.new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
    http.set_payload_max_length(std::max(config.maxUploadBytes, config.maxPartBytes) + (1 << 20));
    http.set_read_timeout(30);
    http.set_write_timeout(30);
    http.set_keep_alive_max_count(100);
    ServerContext& ctx = *server->ctx_;
    installHooks(http, ctx);
    addUploadRoute(http, ctx);
    addVideoRoutes(http, ctx);
    addPublicRoutes(http, ctx);
    if (config.faultInjection) {
        addFaultRoutes(http, ctx);
    }
    addFallbackRoutes(http);

    server->port_ = config.port == 0
                        ? http.bind_to_any_port(config.host)
                        : (http.bind_to_port(config.host, config.port) ? config.port : -1);
    if (server->port_ <= 0) {
        return fail("cannot listen on " + config.host + ":" + std::to_string(config.port));
    }
    widenBacklog(http, tls.has_value());
    auto base = publicBase(config, server->port_);
    if (!base) {
        return base.error();
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

bool SharingServer::run() {
    ctx_->log.line("serving " + ctx_->baseUrl + " from " + ctx_->data.root().string());
    return http_->listen_after_bind();
}

void SharingServer::start() {
    listener_ = std::thread([this] { run(); });
    for (int i = 0; i < 5000 && !http_->is_running(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void SharingServer::stop() {
    {
        std::lock_guard lock(sweepMutex_);
        stopping_ = true;
    }
    sweepWake_.notify_all();
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
