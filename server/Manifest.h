#pragma once

// The update manifest the server publishes for clients. It is validated when
// loaded, so the server never hands out a manifest every client would reject.

#include "server/Result.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace velloq::server {

struct Manifest {
    std::string latest; // dotted decimal version, e.g. 1.4.2
    std::string url;    // http or https download page
    std::optional<std::string> notes;
    std::optional<std::string> released;
};

Result<Manifest> validateManifest(Manifest manifest);
Result<Manifest> parseManifest(std::string_view json);
Result<Manifest> loadManifest(const std::filesystem::path& path);
std::string manifestJson(const Manifest& manifest);

} // namespace velloq::server
