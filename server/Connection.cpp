// One client connection: TLS handshake and request head on the network
// threads against one deadline, then the handler on a worker thread, which
// reads the body and writes the answer through blocking calls that the
// connection's strand carries out with a timeout each.

#include "server/ConnectionHub.h"
#include "server/Framing.h"
#include "server/ResponseHead.h"

#include <boost/asio/post.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/ssl.hpp>
#include <future>

namespace velloq::server {
namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using error_code = boost::system::error_code;
using TlsStream = beast::ssl_stream<beast::tcp_stream>;

constexpr std::size_t kBufferLimit = 64 * 1024;
constexpr std::size_t kDrainLimit = 1 << 20;
constexpr std::size_t kBodyChunk = 256 * 1024;

template <class Stream>
class Connection final : public ConnectionBase,
                         public BodyReader,
                         public std::enable_shared_from_this<Connection<Stream>> {
public:
    template <class... Args>
    Connection(ConnectionHub& hub, asio::ip::tcp::socket socket, Args&&... args)
        : hub_(hub), stream_(std::move(socket), std::forward<Args>(args)...),
          buffer_(kBufferLimit) {}

    ~Connection() override { hub_.leave(this); }

    void start() {
        if (!hub_.admit(this)) {
            error_code ignored;
            tcp().socket().close(ignored);
            return;
        }
        error_code ec;
        auto endpoint = tcp().socket().remote_endpoint(ec);
        remoteAddr_ = ec ? std::string() : endpoint.address().to_string();
        tcp().expires_after(hub_.limits.headDeadline);
        if constexpr (std::is_same_v<Stream, TlsStream>) {
            stream_.async_handshake(asio::ssl::stream_base::server,
                                    [self = this->shared_from_this()](error_code failed) {
                                        if (!failed) {
                                            self->readHead();
                                        }
                                    });
        } else {
            readHead();
        }
    }

    void abort() override {
        asio::post(tcp().get_executor(),
                   [self = this->shared_from_this()] { self->tcp().close(); });
    }

    std::weak_ptr<ConnectionBase> handle() override { return this->weak_from_this(); }

    bool read(const ContentReceiver& receiver) override {
        // Large enough that a multi-megabyte part costs few hand-overs
        // between the strand and this worker, and few writes to disk.
        std::vector<char> chunk(kBodyChunk);
        while (!finished()) {
            auto got = readSome(chunk.data(), chunk.size());
            if (!got) {
                return false;
            }
            if (*got > 0 && !receiver(chunk.data(), *got)) {
                return false;
            }
        }
        return true;
    }

    bool finished() const override { return parser_->is_done(); }

private:
    beast::tcp_stream& tcp() { return beast::get_lowest_layer(stream_); }

    // The deadline was set before the handshake, or by the answer that came before.
    void readHead() {
        markWaiting(true);
        parser_.emplace();
        parser_->header_limit(static_cast<std::uint32_t>(hub_.limits.headerLimit));
        parser_->body_limit(hub_.limits.bodyLimit);
        http::async_read_header(
            stream_, buffer_, *parser_,
            [self = this->shared_from_this()](error_code ec, std::size_t) { self->onHead(ec); });
    }

    void onHead(error_code ec) {
        if (hub_.stopping() || ec == http::error::end_of_stream ||
            (ec && ec.category() != make_error_code(http::error::end_of_stream).category())) {
            tcp().close(); // gone, timed out, closed by stop() or not speaking TLS
            return;
        }
        if (ec == http::error::header_limit) {
            refuseHead(431, "request head too large");
            return;
        }
        if (ec == http::error::body_limit) {
            refuseHead(413, "request body too large");
            return;
        }
        if (ec) {
            refuseHead(400, "malformed request");
            return;
        }
        auto& message = parser_->get();
        request_ = Request{};
        for (const auto& field : message) {
            request_.headers.emplace_back(std::string(field.name_string()),
                                          std::string(field.value()));
        }
        if (auto problem = framingProblem(request_.headers)) {
            refuseHead(400, *problem);
            return;
        }
        request_.method = std::string(message.method_string());
        request_.target = std::string(message.target());
        std::string_view target = request_.target;
        std::size_t query = target.find('?');
        request_.path = std::string(target.substr(0, query));
        if (query != std::string_view::npos) {
            request_.params = parseQuery(target.substr(query + 1));
        }
        request_.remoteAddr = remoteAddr_;
        request_.hasBody = !parser_->is_done();
        if (auto length = parser_->content_length()) {
            request_.contentLength = *length;
        }
        request_.expectsContinue = message.version() >= 11 &&
                                   equalsIgnoringCase(request_.header("Expect"), "100-continue");
        continued_ = false;
        markWaiting(false);
        tcp().expires_never();
        hub_.pool.post([self = this->shared_from_this()] { self->serve(); });
    }

    void refuseHead(int status, std::string_view reason) {
        if (hub_.log) {
            hub_.log("refused a request from " + remoteAddr_ + ": " + std::string(reason));
        }
        Response res;
        res.status = status;
        res.setContent("{\"error\":\"" + std::string(reason) + "\"}", "application/json");
        res.close = true;
        auto text = std::make_shared<std::string>(responseHead(res, false) + res.body);
        tcp().expires_after(hub_.limits.ioTimeout);
        asio::async_write(stream_, asio::buffer(*text),
                          [self = this->shared_from_this(), text](error_code, std::size_t) {
                              self->lingerAndClose();
                          });
    }

    // On a worker thread.
    void serve() {
        Response res;
        hub_.handler(request_, *this, res);
        if (!finished() || !parser_->get().keep_alive() || hub_.stopping()) {
            res.close = true;
        }
        bool whole = writeResponse(res);
        auto self = this->shared_from_this();
        asio::post(tcp().get_executor(), [self, reuse = whole && !res.close] {
            if (reuse) {
                self->tcp().expires_after(self->hub_.limits.headDeadline);
                self->readHead();
            } else {
                self->lingerAndClose();
            }
        });
    }

    // Runs `start` on the strand and waits for the completion it is handed.
    template <class Start> std::pair<error_code, std::size_t> await(Start start) {
        std::promise<std::pair<error_code, std::size_t>> done;
        auto result = done.get_future();
        asio::post(tcp().get_executor(), [&] {
            tcp().expires_after(hub_.limits.ioTimeout);
            start([&done](error_code ec, std::size_t n) { done.set_value({ec, n}); });
        });
        return result.get();
    }

    bool writeAll(const char* data, std::size_t size) {
        auto [ec, n] = await([&](auto handler) {
            asio::async_write(stream_, asio::buffer(data, size), std::move(handler));
        });
        return !ec && n == size;
    }

    std::optional<std::size_t> readSome(char* out, std::size_t size) {
        if (request_.expectsContinue && !continued_) {
            continued_ = true;
            static constexpr std::string_view kContinue = "HTTP/1.1 100 Continue\r\n\r\n";
            if (!writeAll(kContinue.data(), kContinue.size())) {
                return std::nullopt;
            }
        }
        std::size_t got = 0;
        while (got == 0 && !parser_->is_done()) {
            auto [ec, n] = await([&](auto handler) {
                auto& body = parser_->get().body();
                body.data = out;
                body.size = size;
                body.more = true;
                fillBody(std::move(handler));
            });
            if (ec && ec != http::error::need_buffer) {
                return std::nullopt;
            }
            got = size - parser_->get().body().size;
        }
        return got;
    }

    // On the strand: reads until the body buffer is full or the body ends, so
    // that the worker is woken once per buffer rather than once per TLS record.
    void fillBody(std::function<void(error_code, std::size_t)> done) {
        tcp().expires_after(hub_.limits.ioTimeout);
        http::async_read_some(stream_, buffer_, *parser_,
                              [this, done = std::move(done)](error_code ec, std::size_t n) mutable {
                                  if (ec == http::error::need_buffer) {
                                      ec = {};
                                  }
                                  if (!ec && !parser_->is_done() &&
                                      parser_->get().body().size > 0) {
                                      fillBody(std::move(done));
                                  } else {
                                      done(ec, n);
                                  }
                              });
    }

    bool writeResponse(const Response& res) {
        const bool head = request_.method == "HEAD";
        const std::string text = responseHead(res, head);
        std::uint64_t total = head || !hasBody(res.status) ? 0 : res.bodySize();
        const std::uint64_t sendable = res.cutAfter ? std::min(*res.cutAfter, total) : total;
        if (!res.provider) {
            std::string whole = text + res.body.substr(0, static_cast<std::size_t>(sendable));
            return writeAll(whole.data(), whole.size()) && sendable == total;
        }
        if (!writeAll(text.data(), text.size())) {
            return false;
        }
        std::vector<char> chunk(64 * 1024);
        for (std::uint64_t sent = 0; sent < sendable;) {
            std::size_t want =
                static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), sendable - sent));
            std::size_t got = res.provider(sent, chunk.data(), want);
            if (got == 0 || !writeAll(chunk.data(), got)) {
                return false;
            }
            sent += got;
        }
        return sendable == total;
    }

    // Stops sending, then reads and drops what the client still sends for a
    // moment: closing with unread data would make the client's kernel throw
    // away the answer it has not read yet.
    void lingerAndClose() {
        markWaiting(true); // nothing left to serve: stop() may close it at once
        error_code ignored;
        tcp().socket().shutdown(asio::ip::tcp::socket::shutdown_send, ignored);
        tcp().expires_after(std::chrono::seconds(1));
        drain();
    }

    void drain() {
        tcp().async_read_some(asio::buffer(discard_),
                              [self = this->shared_from_this()](error_code ec, std::size_t n) {
                                  self->drained_ += n;
                                  if (ec || self->drained_ > kDrainLimit) {
                                      self->tcp().close();
                                  } else {
                                      self->drain();
                                  }
                              });
    }

    ConnectionHub& hub_;
    Stream stream_;
    beast::flat_buffer buffer_;
    std::optional<http::request_parser<http::buffer_body>> parser_;
    Request request_;
    std::string remoteAddr_;
    bool continued_ = false;
    std::array<char, 4096> discard_{};
    std::size_t drained_ = 0;
};

} // namespace

void startConnection(ConnectionHub& hub, asio::ip::tcp::socket socket) {
    if (hub.tls) {
        std::make_shared<Connection<TlsStream>>(hub, std::move(socket), *hub.tls)->start();
    } else {
        std::make_shared<Connection<beast::tcp_stream>>(hub, std::move(socket))->start();
    }
}

} // namespace velloq::server
