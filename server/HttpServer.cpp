#include "server/HttpServer.h"

#include "server/ConnectionHub.h"
#include "server/TlsContext.h"

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/strand.hpp>
#include <mutex>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace velloq::server {
namespace {

namespace asio = boost::asio;
using asio::ip::tcp;

constexpr int kNetworkThreads = 2;

// Each connection holds a descriptor; the soft limit is often far below the cap.
std::size_t connectionsAllowed(std::size_t wanted) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) {
        return std::min<std::size_t>(wanted, 900);
    }
    if (limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        if (::setrlimit(RLIMIT_NOFILE, &limit) != 0) {
            ::getrlimit(RLIMIT_NOFILE, &limit);
        }
    }
    const auto spare = static_cast<std::size_t>(limit.rlim_cur) > 128
                           ? static_cast<std::size_t>(limit.rlim_cur) - 128
                           : 1;
    return std::min(wanted, spare);
}

} // namespace

struct HttpServer::State {
    std::unique_ptr<asio::ssl::context> tls;
    std::unique_ptr<ConnectionHub> hub;
    // Declared after the hub: connections still queued in it refer to the hub.
    asio::io_context ioc{kNetworkThreads};
    asio::strand<asio::io_context::executor_type> strand{ioc.get_executor()};
    tcp::acceptor acceptor{strand};
    asio::steady_timer retry{strand};
    asio::executor_work_guard<asio::io_context::executor_type> work{ioc.get_executor()};
    std::mutex stopMutex;
    bool stopped = false;

    void accept() {
        acceptor.async_accept(
            asio::make_strand(ioc), [this](boost::system::error_code ec, tcp::socket socket) {
                if (!ec) {
                    boost::system::error_code ignored;
                    socket.set_option(tcp::no_delay(true), ignored);
                    startConnection(*hub, std::move(socket));
                    accept();
                } else if (ec != asio::error::operation_aborted && acceptor.is_open()) {
                    // Out of descriptors, most likely: wait instead of spinning.
                    retry.expires_after(std::chrono::milliseconds(50));
                    retry.async_wait([this](boost::system::error_code waited) {
                        if (!waited) {
                            accept();
                        }
                    });
                }
            });
    }
};

HttpServer::HttpServer(std::unique_ptr<State> state) : state_(std::move(state)) {}

HttpServer::~HttpServer() {
    stop();
}

Expected<std::unique_ptr<HttpServer>, Error>
HttpServer::create(const std::string& host, int port, const std::optional<TlsFiles>& tls,
                   const HttpLimits& limits, RequestHandler handler, LogSink log) {
    auto state = std::make_unique<State>();
    if (tls) {
        auto context = makeTlsContext(*tls);
        if (!context) {
            return Unexpected(context.error());
        }
        state->tls = std::move(context).value();
    }
    HttpLimits bounded = limits;
    bounded.maxConnections = connectionsAllowed(limits.maxConnections);
    state->hub = std::make_unique<ConnectionHub>(bounded, std::move(handler), std::move(log),
                                                 state->tls.get());
    boost::system::error_code ec;
    tcp::resolver resolver(state->ioc);
    auto endpoints = resolver.resolve(host, std::to_string(port),
                                      tcp::resolver::passive | tcp::resolver::numeric_service, ec);
    const std::string where = host + ":" + std::to_string(port);
    if (ec || endpoints.empty()) {
        return fail("cannot listen on " + where + ": unknown address");
    }
    tcp::endpoint endpoint = endpoints.begin()->endpoint();
    auto& acceptor = state->acceptor;
    if (acceptor.open(endpoint.protocol(), ec) ||
        acceptor.set_option(tcp::acceptor::reuse_address(true), ec) ||
        acceptor.bind(endpoint, ec) ||
        acceptor.listen(asio::socket_base::max_listen_connections, ec)) {
        return fail("cannot listen on " + where + ": " + ec.message());
    }
    state->accept();
    return std::unique_ptr<HttpServer>(new HttpServer(std::move(state)));
}

int HttpServer::port() const {
    boost::system::error_code ec;
    auto endpoint = state_->acceptor.local_endpoint(ec);
    return ec ? -1 : endpoint.port();
}

void HttpServer::run() {
    std::vector<std::thread> helpers;
    for (int i = 1; i < kNetworkThreads; ++i) {
        helpers.emplace_back([this] { state_->ioc.run(); });
    }
    state_->ioc.run();
    for (auto& helper : helpers) {
        helper.join();
    }
}

void HttpServer::stop() {
    std::lock_guard lock(state_->stopMutex);
    if (state_->stopped) {
        return;
    }
    state_->stopped = true;
    ConnectionHub& hub = *state_->hub;
    hub.beginStop();
    asio::post(state_->strand, [s = state_.get()] {
        boost::system::error_code ignored;
        s->acceptor.close(ignored);
        s->retry.cancel();
    });
    hub.closeConnections(false);
    // Requests being handled get a moment to finish their answer.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (hub.liveCount() > 0 && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    hub.closeConnections(true);
    hub.pool.stop();
    state_->work.reset();
    state_->ioc.stop();
}

} // namespace velloq::server
