#include "server/JsonBody.h"

#include <nlohmann/json.hpp>
#include <optional>

namespace velloq::server {
namespace {

constexpr int kMaxDepth = 4;

std::optional<nlohmann::json> parseObject(std::string_view body) {
    if (!nestingWithin(body, kMaxDepth)) {
        return std::nullopt;
    }
    auto json = nlohmann::json::parse(body, nullptr, false);
    if (json.is_discarded() || !json.is_object()) {
        return std::nullopt;
    }
    return json;
}

std::optional<long long> integerMember(const nlohmann::json& json, const char* name) {
    auto it = json.find(name);
    if (it == json.end() || !it->is_number_integer()) {
        return std::nullopt;
    }
    return it->get<long long>();
}

} // namespace

bool nestingWithin(std::string_view json, int maxDepth) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > maxDepth) {
                return false;
            }
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return true;
}

Expected<int, std::string> parseSignPartBody(std::string_view body) {
    auto json = parseObject(body);
    if (!json) {
        return Unexpected(std::string("expected a JSON object"));
    }
    auto part = integerMember(*json, "partNumber");
    if (!part || *part < 1 || *part > kMaxPartNumber) {
        return Unexpected(std::string("partNumber must be an integer from 1 to 10000"));
    }
    return static_cast<int>(*part);
}

Expected<CompleteBody, std::string> parseCompleteBody(std::string_view body) {
    auto json = parseObject(body);
    if (!json) {
        return Unexpected(std::string("expected a JSON object"));
    }
    auto size = integerMember(*json, "sizeBytes");
    auto parts = json->find("parts");
    if (!size || *size < 0 || parts == json->end() || !parts->is_array() ||
        parts->size() > static_cast<std::size_t>(kMaxPartNumber)) {
        return Unexpected(
            std::string("expected \"parts\" (array) and \"sizeBytes\" (integer >= 0)"));
    }
    CompleteBody out;
    out.sizeBytes = static_cast<std::uint64_t>(*size);
    for (const auto& part : *parts) {
        auto number = part.is_object() ? integerMember(part, "partNumber") : std::nullopt;
        auto etag = part.is_object() ? part.find("etag") : part.end();
        if (!number || etag == part.end() || !etag->is_string()) {
            return Unexpected(
                std::string("each part needs \"partNumber\" (integer) and \"etag\" (string)"));
        }
        out.parts.push_back({*number, etag->get<std::string>()});
    }
    return out;
}

} // namespace velloq::server
