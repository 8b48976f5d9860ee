#include "fakes/FakeHttp.h"

namespace velloq::testing {

std::optional<std::string> FakeHttp::Recorded::header(std::string_view name) const {
    platform::HttpResponse lookup;
    lookup.headers = headers;
    if (auto value = lookup.header(name)) {
        return std::string(*value);
    }
    return std::nullopt;
}

FakeHttp::Answer FakeHttp::send(const platform::HttpRequest& request) {
    Handler handler;
    {
        std::lock_guard lock(mutex_);
        std::optional<std::string> body;
        if (request.body) {
            body = std::string(*request.body);
        }
        requests_.push_back({request.method, request.url, request.headers, std::move(body),
                             request.idleTimeout, request.totalTimeout, request.cancel != nullptr});
        handler = handler_;
    }
    return handler ? handler(request) : respond(404);
}

void FakeHttp::setHandler(Handler handler) {
    std::lock_guard lock(mutex_);
    handler_ = std::move(handler);
}

std::vector<FakeHttp::Recorded> FakeHttp::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

FakeHttp::Answer FakeHttp::respond(int status, std::string body,
                                   std::vector<platform::HttpHeader> headers) {
    platform::HttpResponse response;
    response.status = status;
    response.body = std::move(body);
    response.headers = std::move(headers);
    return response;
}

FakeHttp::Answer FakeHttp::fail(platform::TransportErrorKind kind, std::string description) {
    return Unexpected(platform::TransportError{kind, std::move(description)});
}

} // namespace velloq::testing
