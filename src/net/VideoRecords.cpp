#include "net/VideoRecords.h"

#include <nlohmann/json.hpp>

namespace velloq {

std::string signPartRequestJson(std::int64_t partNumber) {
    return nlohmann::json{{"partNumber", partNumber}}.dump();
}

std::string completeRequestJson(const std::vector<CompletePart>& parts, std::int64_t sizeBytes) {
    auto list = nlohmann::json::array();
    for (const auto& part : parts) {
        list.push_back({{"partNumber", part.partNumber}, {"etag", part.etag}});
    }
    return nlohmann::json{{"parts", std::move(list)}, {"sizeBytes", sizeBytes}}.dump();
}

} // namespace velloq
