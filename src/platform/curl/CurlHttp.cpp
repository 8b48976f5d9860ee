#include "platform/curl/CurlHttp.h"

#include "platform/curl/CurlErrors.h"
#include "platform/Log.h"

#include <cstdlib>
#include <cstring>
#include <curl/curl.h>
#include <memory>
#include <mutex>

namespace velloq::platform {
namespace {

using Clock = std::chrono::steady_clock;

struct SlistFree {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using HeaderList = std::unique_ptr<curl_slist, SlistFree>;

// Everything one transfer's callbacks read and write.
struct Exchange {
    const HttpRequest& request;
    const std::atomic<bool>& closing;
    HttpResponse response;
    std::string_view unsent; // request body still to hand to libcurl
    curl_off_t lastMoved = -1;
    Clock::time_point lastMove = Clock::now();
    bool idleExpired = false;
    bool cancelled = false;
};

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                             text.back() == '\n')) {
        text.remove_suffix(1);
    }
    return text;
}

size_t onBody(char* data, size_t, size_t size, void* user) {
    auto& exchange = *static_cast<Exchange*>(user);
    auto& body = exchange.response.body;
    const std::size_t room = exchange.request.maxResponseBytes - body.size();
    if (size > room) {
        // Keep what fits and stop reading: an endless body must not hold us.
        body.append(data, room);
        exchange.response.bodyTruncated = true;
        return CURL_WRITEFUNC_ERROR;
    }
    body.append(data, size);
    return size;
}

size_t onHeader(char* data, size_t, size_t size, void* user) {
    auto& response = static_cast<Exchange*>(user)->response;
    const std::string_view line(data, size);
    if (line.starts_with("HTTP/")) {
        // A status line starts a new response (after "100 Continue", say).
        response.headers.clear();
        return size;
    }
    const auto colon = line.find(':');
    if (colon != std::string_view::npos && colon > 0) {
        response.headers.push_back(
            {std::string(line.substr(0, colon)), std::string(trimmed(line.substr(colon + 1)))});
    }
    return size;
}

size_t onRead(char* buffer, size_t, size_t size, void* user) {
    auto& unsent = static_cast<Exchange*>(user)->unsent;
    const std::size_t n = std::min(size, unsent.size());
    std::memcpy(buffer, unsent.data(), n);
    unsent.remove_prefix(n);
    return n;
}

int onSeek(void* user, curl_off_t offset, int origin) {
    auto& exchange = *static_cast<Exchange*>(user);
    const auto body = exchange.request.body.value_or(std::string_view{});
    if (origin != SEEK_SET || offset < 0 || static_cast<std::size_t>(offset) > body.size()) {
        return CURL_SEEKFUNC_CANTSEEK;
    }
    exchange.unsent = body.substr(static_cast<std::size_t>(offset));
    return CURL_SEEKFUNC_OK;
}

// Called often while bytes move and about once a second while they do not.
int onProgress(void* user, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t uploaded) {
    auto& exchange = *static_cast<Exchange*>(user);
    const auto* cancel = exchange.request.cancel;
    if (exchange.closing.load() || (cancel != nullptr && cancel->load())) {
        exchange.cancelled = true;
        return 1;
    }
    const auto now = Clock::now();
    if (downloaded + uploaded != exchange.lastMoved) {
        exchange.lastMoved = downloaded + uploaded;
        exchange.lastMove = now;
    } else if (now - exchange.lastMove >= exchange.request.idleTimeout) {
        exchange.idleExpired = true;
        return 1;
    }
    return 0;
}

// Called for each new connection only; a reused one was verified when it was made.
CURLcode onTlsContext(CURL*, void* context, void* user) {
    const auto& extra = *static_cast<const ExtraCertificates*>(user);
    return extra.addTo(static_cast<SSL_CTX*>(context)) ? CURLE_OK : CURLE_SSL_CERTPROBLEM;
}

void initialiseOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

void configureBody(CURL* curl, Exchange& exchange) {
    const auto& request = exchange.request;
    const auto size = static_cast<curl_off_t>(request.body.value_or(std::string_view{}).size());
    exchange.unsent = request.body.value_or(std::string_view{});
    if (request.method == "GET" && !request.body) {
        return;
    }
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, onRead);
    curl_easy_setopt(curl, CURLOPT_READDATA, &exchange);
    curl_easy_setopt(curl, CURLOPT_SEEKFUNCTION, onSeek);
    curl_easy_setopt(curl, CURLOPT_SEEKDATA, &exchange);
    if (request.method == "PUT") {
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, size);
        return;
    }
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, size);
    if (request.method != "POST") {
        curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, request.method.c_str());
    }
}

HeaderList headerList(const HttpRequest& request) {
    HeaderList list;
    bool contentType = false;
    const auto append = [&list](const std::string& line) {
        curl_slist* grown = curl_slist_append(list.get(), line.c_str());
        if (grown != nullptr) {
            (void)list.release();
            list.reset(grown);
        }
    };
    for (const auto& header : request.headers) {
        contentType = contentType || strcasecmp(header.name.c_str(), "Content-Type") == 0;
        append(header.name + ": " + header.value);
    }
    // libcurl labels every POST as a form unless told otherwise; we send
    // exactly the headers we were given.
    if (!contentType) {
        append("Content-Type:");
    }
    return list;
}

} // namespace

CurlHttp::CurlHttp(const std::optional<std::filesystem::path>& extraCA) {
    initialiseOnce();
    if (extraCA) {
        std::string error;
        extraCertificates_ = ExtraCertificates::load(*extraCA, error);
        if (!error.empty()) {
            logLine("Velloq: VELLOQ_CA_FILE ignored — " + error);
        }
    }
}

std::optional<std::filesystem::path> CurlHttp::extraCAFromEnvironment() {
    const char* file = std::getenv("VELLOQ_CA_FILE");
    if (file == nullptr || *file == '\0') {
        return std::nullopt;
    }
    return std::filesystem::path(file);
}

Expected<HttpResponse, TransportError> CurlHttp::send(const HttpRequest& request) {
    if (closing_) {
        return Unexpected(TransportError{TransportErrorKind::cancelled, "client closed"});
    }
    EasyHandle handle = pool_.acquire();
    if (!handle) {
        return Unexpected(TransportError{TransportErrorKind::other, "cannot create a transfer"});
    }
    CURL* curl = handle.get();
    Exchange exchange{request, closing_, {}, {}};
    char detail[CURL_ERROR_SIZE] = {};
    const HeaderList headers = headerList(request);

    curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!extraCertificates_.empty()) {
        curl_easy_setopt(curl, CURLOPT_SSL_CTX_FUNCTION, onTlsContext);
        curl_easy_setopt(curl, CURLOPT_SSL_CTX_DATA, &extraCertificates_);
    }
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, detail);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &exchange);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &exchange);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &exchange);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(request.idleTimeout.count()));
    if (request.totalTimeout) {
        curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS,
                         static_cast<long>(request.totalTimeout->count()));
    }
    // Larger upload chunks than the 64 KiB default keep multi-megabyte parts moving.
    curl_easy_setopt(curl, CURLOPT_UPLOAD_BUFFERSIZE, 512L * 1024L);
    configureBody(curl, exchange);

    const CURLcode code = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    exchange.response.status = static_cast<int>(status);
    if (code == CURLE_OK) {
        pool_.release(std::move(handle));
        return std::move(exchange.response);
    }
    if (code == CURLE_WRITE_ERROR && exchange.response.bodyTruncated) {
        return std::move(exchange.response);
    }
    if (exchange.cancelled) {
        return Unexpected(TransportError{TransportErrorKind::cancelled, "cancelled"});
    }
    if (exchange.idleExpired) {
        return Unexpected(TransportError{TransportErrorKind::timedOut, "The request timed out."});
    }
    long osErrno = 0;
    curl_easy_getinfo(curl, CURLINFO_OS_ERRNO, &osErrno);
    return Unexpected(transportErrorFor(code, osErrno, detail));
}

} // namespace velloq::platform
