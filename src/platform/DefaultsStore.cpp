#include "platform/DefaultsStore.h"

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <strings.h>

namespace velloq::platform {

std::optional<std::string> DefaultsStore::string(std::string_view key) const {
    auto value = object(key);
    if (!value || !value->is_string()) {
        return std::nullopt;
    }
    return value->get<std::string>();
}

bool DefaultsStore::boolean(std::string_view key) const {
    auto value = object(key);
    if (!value) {
        return false;
    }
    if (value->is_boolean()) {
        return value->get<bool>();
    }
    if (value->is_number()) {
        return value->get<double>() != 0.0;
    }
    if (value->is_string()) {
        const auto text = value->get<std::string>();
        if (strcasecmp(text.c_str(), "true") == 0 || strcasecmp(text.c_str(), "yes") == 0) {
            return true;
        }
        return std::strtod(text.c_str(), nullptr) != 0.0;
    }
    return false;
}

} // namespace velloq::platform
