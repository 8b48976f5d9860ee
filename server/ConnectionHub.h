#pragma once

// What every connection shares with the server: limits, the handler, the
// worker pool, and the register of live connections that bounds their number.

#include "server/HttpServer.h"
#include "server/WorkerPool.h"

#include <atomic>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ssl/context.hpp>
#include <chrono>
#include <memory>
#include <mutex>
#include <unordered_set>

namespace velloq::server {

class ConnectionBase {
public:
    virtual ~ConnectionBase() = default;
    // Closes the socket on the connection's own strand; pending operations fail.
    virtual void abort() = 0;
    // Weak so that the register never keeps a connection alive.
    virtual std::weak_ptr<ConnectionBase> handle() = 0;

    void markWaiting(bool waiting) {
        if (waiting) {
            waitingSince.store(std::chrono::steady_clock::now().time_since_epoch().count());
        }
        waitingForHead.store(waiting);
    }

    std::atomic<bool> waitingForHead{true}; // handshake, head or keep-alive wait
    std::atomic<std::chrono::steady_clock::rep> waitingSince{
        std::chrono::steady_clock::now().time_since_epoch().count()};
};

struct ConnectionHub {
    ConnectionHub(const HttpLimits& l, RequestHandler h, LogSink s, boost::asio::ssl::context* t)
        : limits(l), handler(std::move(h)), log(std::move(s)), tls(t), pool(l.workers) {}

    // Registers a new connection. At the cap, the connection that has waited
    // longest for a head is closed to make room, so that slow clients cannot
    // lock others out; false when every connection is busy with a request.
    bool admit(ConnectionBase* connection);
    void leave(ConnectionBase* connection);
    // Closes every connection waiting for a head, or every connection.
    void closeConnections(bool busyToo);
    std::size_t liveCount();
    bool stopping() const { return stopping_.load(); }
    void beginStop() { stopping_ = true; }

    const HttpLimits limits;
    const RequestHandler handler;
    const LogSink log;
    boost::asio::ssl::context* const tls; // null: plain HTTP
    WorkerPool pool;

private:
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::unordered_set<ConnectionBase*> live_;
};

// Takes over an accepted socket whose executor is a strand of its own.
void startConnection(ConnectionHub& hub, boost::asio::ip::tcp::socket socket);

} // namespace velloq::server
