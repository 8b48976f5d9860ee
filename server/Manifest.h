#pragma once

// The update manifest the server publishes for clients. It is validated when
// loaded, so the server never hands out a manifest every client would reject.

#include "server/Error.h"

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

Expected<Manifest, Error> validateManifest(Manifest manifest);
Expected<Manifest, Error> parseManifest(std::string_view json);
Expected<Manifest, Error> loadManifest(const std::filesystem::path& path);
std::string manifestJson(const Manifest& manifest);

} // namespace velloq::server
