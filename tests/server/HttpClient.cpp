#include "HttpClient.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <curl/curl.h>

namespace velloq::server::test {
namespace {

struct Transfer {
    const HttpRequest* request;
    HttpResponse* response;
    std::uint64_t offset = 0;
};

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    if (transfer->request->sink) {
        transfer->request->sink(data, size * count);
    } else {
        transfer->response->body.append(data, size * count);
    }
    return size * count;
}

std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* user) {
    std::string line(data, size * count);
    auto* response = static_cast<HttpResponse*>(user);
    if (line.rfind("HTTP/", 0) == 0) {
        response->headers.clear(); // a new response (after 100 Continue)
    }
    std::size_t colon = line.find(':');
    if (colon != std::string::npos) {
        std::string name = line.substr(0, colon);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        std::string value = line.substr(colon + 1);
        value.erase(0, value.find_first_not_of(' '));
        value.erase(value.find_last_not_of("\r\n ") + 1);
        response->headers[name] = value;
    }
    return size * count;
}

std::size_t onRead(char* out, std::size_t size, std::size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    std::size_t room = size * count;
    if (transfer->request->sourceSize) {
        room = static_cast<std::size_t>(
            std::min<std::uint64_t>(room, *transfer->request->sourceSize - transfer->offset));
    }
    std::size_t n = room == 0 ? 0 : transfer->request->source(transfer->offset, out, room);
    transfer->offset += n;
    transfer->response->bytesSent = transfer->offset;
    return n;
}

} // namespace

HttpResponse send(const HttpRequest& request) {
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    HttpResponse response;
    if (!initialised) {
        response.curlCode = CURLE_FAILED_INIT;
        return response;
    }
    Transfer transfer{&request, &response};
    CURL* curl = curl_easy_init();
    curl_slist* headers = nullptr;
    for (const auto& header : request.headers) {
        headers = curl_slist_append(headers, header.c_str());
    }
    curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, request.method.c_str());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 60L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!request.caFile.empty()) {
        curl_easy_setopt(curl, CURLOPT_CAINFO, request.caFile.c_str());
    }
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &response);
    if (request.source) {
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(curl, CURLOPT_READFUNCTION, onRead);
        curl_easy_setopt(curl, CURLOPT_READDATA, &transfer);
        if (request.sourceSize) {
            curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE,
                             static_cast<curl_off_t>(*request.sourceSize));
        }
        curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, request.method.c_str());
    } else if (request.body) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.body->data());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(request.body->size()));
    }
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    response.curlCode = static_cast<int>(curl_easy_perform(curl));
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &response.status);
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    return response;
}

} // namespace velloq::server::test
