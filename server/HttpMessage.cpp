#include "server/HttpMessage.h"

#include <algorithm>

namespace velloq::server {
namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string decode(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
            hexValue(text[i + 2]) >= 0) {
            out.push_back(static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2])));
            i += 2;
        } else {
            out.push_back(text[i] == '+' ? ' ' : text[i]);
        }
    }
    return out;
}

const std::string* find(const Fields& fields, std::string_view name) {
    for (const auto& [key, value] : fields) {
        if (equalsIgnoringCase(key, name)) {
            return &value;
        }
    }
    return nullptr;
}

} // namespace

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        return lower(x) == lower(y);
    });
}

Fields parseQuery(std::string_view query) {
    Fields out;
    while (!query.empty()) {
        std::size_t amp = query.find('&');
        std::string_view pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        if (pair.empty()) {
            continue;
        }
        std::size_t eq = pair.find('=');
        out.emplace_back(decode(pair.substr(0, eq)), eq == std::string_view::npos
                                                         ? std::string()
                                                         : decode(pair.substr(eq + 1)));
    }
    return out;
}

std::size_t Request::headerCount(std::string_view name) const {
    return static_cast<std::size_t>(
        std::count_if(headers.begin(), headers.end(),
                      [&](const auto& f) { return equalsIgnoringCase(f.first, name); }));
}

std::string Request::header(std::string_view name) const {
    const std::string* value = find(headers, name);
    return value ? *value : std::string();
}

std::string Request::param(std::string_view name) const {
    for (const auto& [key, value] : params) {
        if (key == name) {
            return value;
        }
    }
    return {};
}

void Response::setHeader(std::string_view name, std::string value) {
    eraseHeader(name);
    headers.emplace_back(std::string(name), std::move(value));
}

void Response::eraseHeader(std::string_view name) {
    std::erase_if(headers, [&](const auto& f) { return equalsIgnoringCase(f.first, name); });
}

std::string Response::header(std::string_view name) const {
    const std::string* value = find(headers, name);
    return value ? *value : std::string();
}

void Response::setContent(std::string content, std::string type) {
    body = std::move(content);
    contentType = std::move(type);
    provider = nullptr;
    providerLength = 0;
}

} // namespace velloq::server
