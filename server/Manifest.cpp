#include "server/Manifest.h"

#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

namespace velloq::server {

Expected<Manifest, Error> validateManifest(Manifest manifest) {
    static const std::regex version(R"(^\d+(\.\d+)*$)");
    static const std::regex link(R"(^https?://[^/\s]+(/\S*)?$)");
    if (!std::regex_match(manifest.latest, version)) {
        return fail("manifest \"latest\" must be a dotted decimal version such as 1.4.2");
    }
    if (!std::regex_match(manifest.url, link)) {
        return fail("manifest \"url\" must be an http or https address");
    }
    return manifest;
}

Expected<Manifest, Error> parseManifest(std::string_view text) {
    auto json = nlohmann::json::parse(text, nullptr, false);
    if (json.is_discarded() || !json.is_object()) {
        return fail("manifest is not a JSON object");
    }
    auto textOf = [&](const char* name) -> std::optional<std::string> {
        auto it = json.find(name);
        if (it == json.end() || !it->is_string()) {
            return std::nullopt;
        }
        return it->get<std::string>();
    };
    for (const char* optional : {"notes", "released"}) {
        if (json.contains(optional) && !json[optional].is_string()) {
            return fail(std::string("manifest \"") + optional + "\" must be a string");
        }
    }
    auto latest = textOf("latest");
    auto url = textOf("url");
    if (!latest || !url) {
        return fail("manifest needs string members \"latest\" and \"url\"");
    }
    return validateManifest(Manifest{*latest, *url, textOf("notes"), textOf("released")});
}

Expected<Manifest, Error> loadManifest(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return fail("cannot read manifest " + path.string());
    }
    std::ostringstream text;
    text << in.rdbuf();
    return parseManifest(text.str());
}

std::string manifestJson(const Manifest& manifest) {
    nlohmann::json json{{"latest", manifest.latest}, {"url", manifest.url}};
    if (manifest.notes) {
        json["notes"] = *manifest.notes;
    }
    if (manifest.released) {
        json["released"] = *manifest.released;
    }
    return json.dump();
}

} // namespace velloq::server
