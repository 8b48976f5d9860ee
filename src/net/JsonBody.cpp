#include "net/JsonBody.h"

#include <nlohmann/json.hpp>

namespace velloq {

std::optional<std::string> nonEmptyStringMember(std::string_view body, const char* name) {
    const auto json = nlohmann::json::parse(body, nullptr, false);
    if (!json.is_object()) {
        return std::nullopt; // a parse failure is "discarded", which is no object either
    }
    const auto member = json.find(name);
    if (member == json.end() || !member->is_string() ||
        member->get_ref<const std::string&>().empty()) {
        return std::nullopt;
    }
    return member->get<std::string>();
}

} // namespace velloq
