#include "net/UpdateCheck.h"

#include "net/ServiceRequest.h"
#include "net/ServiceURL.h"

#include <chrono>
#include <nlohmann/json.hpp>

#ifndef VELLOQ_VERSION
#define VELLOQ_VERSION ""
#endif

namespace velloq::UpdateCheck {
namespace {

constexpr std::chrono::seconds kTimeout{10};

std::optional<std::string> stringMember(const nlohmann::json& json, const char* name) {
    const auto member = json.find(name);
    if (member == json.end() || !member->is_string()) {
        return std::nullopt;
    }
    return member->get<std::string>();
}

std::optional<Manifest> decodeManifest(std::string_view body) {
    const auto json = nlohmann::json::parse(body, nullptr, false);
    if (!json.is_object()) {
        return std::nullopt;
    }
    auto latest = stringMember(json, "latest");
    auto url = stringMember(json, "url");
    if (!latest || !url) {
        return std::nullopt;
    }
    // Optional members of another type are read as absent.
    return Manifest{std::move(*latest), std::move(*url), stringMember(json, "notes"),
                    stringMember(json, "released")};
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// ^\d+(\.\d+)*$ over the whole text, ASCII digits; by hand, because
// std::regex recurses per character and a long hostile text would exhaust the stack.
bool isVersionNumber(std::string_view text) {
    bool digitBefore = false;
    for (char c : text) {
        if (isDigit(c)) {
            digitBefore = true;
        } else if (c == '.' && digitBefore) {
            digitBefore = false;
        } else {
            return false;
        }
    }
    return digitBefore;
}

std::string_view digitRun(std::string_view text, std::size_t& at) {
    const std::size_t start = at;
    while (at < text.size() && isDigit(text[at])) {
        ++at;
    }
    return text.substr(start, at - start);
}

// Digit runs by value, however long: leading zeros dropped, then length, then digits.
int compareNumbers(std::string_view a, std::string_view b) {
    while (a.size() > 1 && a.front() == '0') {
        a.remove_prefix(1);
    }
    while (b.size() > 1 && b.front() == '0') {
        b.remove_prefix(1);
    }
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    return a.compare(b) < 0 ? -1 : a.compare(b) > 0 ? 1 : 0;
}

} // namespace

std::string currentVersion() {
    const std::string version = VELLOQ_VERSION;
    return version.empty() ? "0.0.0" : version;
}

int compareVersions(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            if (const int order = compareNumbers(digitRun(a, i), digitRun(b, j)); order != 0) {
                return order;
            }
            continue;
        }
        const auto x = static_cast<unsigned char>(a[i++]);
        const auto y = static_cast<unsigned char>(b[j++]);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    const std::size_t restA = a.size() - i;
    const std::size_t restB = b.size() - j;
    return restA == restB ? 0 : restA < restB ? -1 : 1;
}

Result evaluate(std::string_view body, std::string_view current) {
    auto manifest = decodeManifest(body);
    if (!manifest || !isVersionNumber(manifest->latest)) {
        return Result::error();
    }
    if (compareVersions(manifest->latest, current) <= 0) {
        return Result::upToDate(); // the url is not looked at
    }
    if (!isWebURL(manifest->url)) {
        return Result::error();
    }
    return Result::available(std::move(*manifest));
}

Result checkForUpdates(platform::Http& http) {
    platform::HttpRequest request;
    request.url = serviceBaseURL() + std::string(manifestPath);
    if (!parsesAsURL(request.url)) {
        return Result::error();
    }
    request.idleTimeout = kTimeout;
    request.maxResponseBytes = kMaxResponseBytes;
    const auto response = http.send(request);
    if (!response || !isSuccessStatus(response->status) || response->bodyTruncated) {
        return Result::error();
    }
    return evaluate(response->body, currentVersion());
}

} // namespace velloq::UpdateCheck
