#include "server/KeyRing.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

namespace velloq::server {
namespace {

bool isTokenChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) ||
           std::string_view("-._~+/").find(c) != std::string_view::npos;
}

std::string_view trimSpace(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

bool isValidKey(std::string_view key) {
    std::size_t end = key.find_last_not_of('=');
    if (end == std::string_view::npos || key.size() > 4096) {
        return false;
    }
    return std::all_of(key.begin(), key.begin() + static_cast<std::ptrdiff_t>(end) + 1,
                       isTokenChar);
}

Expected<std::vector<KeyEntry>, Error> parseKeyFile(std::string_view text) {
    std::vector<KeyEntry> entries;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        std::size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
        ++lineNumber;
        line = trimSpace(line.substr(0, line.find('#')));
        if (line.empty()) {
            continue;
        }
        std::size_t space = line.find_first_of(" \t");
        std::string_view key = line.substr(0, space);
        std::string_view rest =
            space == std::string_view::npos ? std::string_view{} : trimSpace(line.substr(space));
        if (!isValidKey(key) || !(rest.empty() || rest == "disabled")) {
            return fail("key file line " + std::to_string(lineNumber) +
                        ": expected a key, optionally followed by \"disabled\"");
        }
        entries.push_back({std::string(key), rest.empty()});
    }
    return entries;
}

Expected<std::vector<KeyEntry>, Error> loadKeyFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return fail("cannot read key file " + path.string());
    }
    std::ostringstream text;
    text << in.rdbuf();
    return parseKeyFile(text.str());
}

KeyRing::KeyRing(const std::vector<KeyEntry>& entries) {
    for (const auto& entry : entries) {
        Sha256Digest digest = sha256(entry.key);
        auto same = std::find_if(keys_.begin(), keys_.end(),
                                 [&](const Stored& s) { return s.digest == digest; });
        if (same == keys_.end()) {
            keys_.push_back({digest, entry.enabled});
        } else {
            same->enabled = same->enabled && entry.enabled; // disabling wins
        }
    }
}

AuthResult KeyRing::check(std::size_t headerCount, std::string_view headerValue) const {
    if (headerCount == 0) {
        return {AuthOutcome::Missing};
    }
    std::string_view value = trimSpace(headerValue);
    std::size_t space = value.find(' ');
    if (headerCount > 1 || space == std::string_view::npos ||
        !equalsIgnoringCase(value.substr(0, space), "Bearer")) {
        return {AuthOutcome::Malformed};
    }
    std::string_view key = trimSpace(value.substr(space));
    if (!isValidKey(key)) {
        return {AuthOutcome::Malformed};
    }
    Sha256Digest digest = sha256(key);
    AuthResult result{AuthOutcome::Unknown};
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        std::string_view stored(reinterpret_cast<const char*>(keys_[i].digest.data()), 32);
        std::string_view given(reinterpret_cast<const char*>(digest.data()), 32);
        if (constantTimeEqual(stored, given)) {
            result = {keys_[i].enabled ? AuthOutcome::Granted : AuthOutcome::Disabled, i};
        }
    }
    return result;
}

} // namespace velloq::server
