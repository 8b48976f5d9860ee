#include "server/CommandLine.h"

#include "server/ConfigFile.h"
#include "server/OptionHelp.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <map>

namespace velloq::server {
namespace {

template <class T> bool parseNumber(const std::string& text, T& out, T minimum) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc{} && end == text.data() + text.size() && out >= minimum;
}

bool parseListen(const std::string& text, ServerConfig& config) {
    std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) {
        return false;
    }
    std::string host = text.substr(0, colon);
    if (host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    int port = 0;
    if (host.empty() || !parseNumber(text.substr(colon + 1), port, 0) || port > 65535) {
        return false;
    }
    config.host = host;
    config.port = port;
    return true;
}

// Options that take a value, and what to do with it.
using Setter = bool (*)(const std::string&, CommandLine&, std::string& error);

const std::map<std::string, Setter>& valueOptions() {
    static const std::map<std::string, Setter> options{
        {"--data-dir",
         [](const std::string& v, CommandLine& c, std::string&) {
             c.config.dataDir = v;
             return !v.empty();
         }},
        {"--listen", [](const std::string& v, CommandLine& c,
                        std::string&) { return parseListen(v, c.config); }},
        {"--cert",
         [](const std::string& v, CommandLine& c, std::string&) {
             c.config.certFile = v;
             return true;
         }},
        {"--cert-key",
         [](const std::string& v, CommandLine& c, std::string&) {
             c.config.keyFile = v;
             return true;
         }},
        {"--public-url",
         [](const std::string& v, CommandLine& c, std::string&) {
             c.config.publicUrl = v;
             return true;
         }},
        {"--key",
         [](const std::string& v, CommandLine& c, std::string&) {
             c.config.keys.push_back({v, true});
             return isValidKey(v);
         }},
        {"--disabled-key",
         [](const std::string& v, CommandLine& c, std::string&) {
             c.config.keys.push_back({v, false});
             return isValidKey(v);
         }},
        {"--key-file",
         [](const std::string& v, CommandLine& c, std::string& error) {
             auto keys = loadKeyFile(v);
             if (!keys) {
                 error = keys.error().message;
                 return false;
             }
             c.config.keys.insert(c.config.keys.end(), keys.value().begin(), keys.value().end());
             return true;
         }},
        {"--max-upload-bytes",
         [](const std::string& v, CommandLine& c, std::string&) {
             return parseNumber(v, c.config.maxUploadBytes, std::uint64_t{1});
         }},
        {"--max-part-bytes",
         [](const std::string& v, CommandLine& c, std::string&) {
             return parseNumber(v, c.config.maxPartBytes, std::uint64_t{1});
         }},
        {"--signed-url-ttl",
         [](const std::string& v, CommandLine& c, std::string&) {
             long long seconds = 0;
             bool ok = parseNumber(v, seconds, 1LL);
             c.config.signedUrlLifetime = std::chrono::seconds(seconds);
             return ok;
         }},
        {"--video-ttl",
         [](const std::string& v, CommandLine& c, std::string&) {
             long long seconds = 0;
             bool ok = parseNumber(v, seconds, 1LL);
             c.config.videoLifetime = std::chrono::seconds(seconds);
             return ok;
         }},
        {"--manifest",
         [](const std::string& v, CommandLine& c, std::string& error) {
             auto manifest = loadManifest(v);
             if (!manifest) {
                 error = manifest.error().message;
                 return false;
             }
             c.config.manifest = manifest.value();
             return true;
         }},
        {"--threads",
         [](const std::string& v, CommandLine& c, std::string&) {
             return parseNumber(v, c.config.threads, 1) && c.config.threads <= 1024;
         }},
        {"--max-connections",
         [](const std::string& v, CommandLine& c, std::string&) {
             return parseNumber(v, c.config.maxConnections, std::size_t{16});
         }},
        {"--ready-file",
         [](const std::string& v, CommandLine& c, std::string&) {
             c.config.readyFile = v;
             return !v.empty();
         }},
    };
    return options;
}

// The value of --config, wherever it stands, so the file can be read before
// the command line's own options override it.
Expected<std::optional<std::string>, Error> configPath(const std::vector<std::string>& args) {
    std::optional<std::string> path;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::optional<std::string> value;
        if (args[i].rfind("--config=", 0) == 0) {
            value = args[i].substr(9);
        } else if (args[i] == "--config") {
            if (i + 1 >= args.size()) {
                return fail("--config needs a value");
            }
            value = args[++i];
        } else {
            continue;
        }
        if (path || value->empty()) {
            return fail(path ? "--config given twice" : "invalid value for --config");
        }
        path = value;
    }
    return path;
}

Expected<CommandLine, Error> applyConfigFile(const std::string& path, CommandLine line) {
    auto settings = readConfigFile(path);
    if (!settings) {
        return Unexpected(settings.error());
    }
    for (const ConfigSetting& setting : settings.value()) {
        const std::string at = path + ":" + std::to_string(setting.line) + ": ";
        const auto& table = optionHelp();
        auto doc = std::find_if(table.begin(), table.end(), [&](const OptionHelp& option) {
            return option.inConfigFile && configKey(option) == setting.name;
        });
        if (doc == table.end()) {
            return fail(at + "unknown setting " + setting.name);
        }
        if (doc->name == "--plain-http") { // the one flag the file may set
            auto flag = parseFlag(setting.value);
            if (!flag) {
                return fail(at + setting.name + " takes true or false");
            }
            line.config.plainHttp = *flag;
            continue;
        }
        std::string error;
        if (!valueOptions().at(doc->name)(setting.value, line, error)) {
            // Never echo the value: it may be a key.
            return fail(at + (error.empty() ? "invalid value for " + setting.name : error));
        }
    }
    return line;
}

} // namespace

std::filesystem::path defaultDataDir() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') {
        return std::filesystem::path(xdg) / "velloq-server";
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home && *home ? home : ".") / ".local/share/velloq-server";
}

Expected<CommandLine, Error> parseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    line.config.dataDir = defaultDataDir();
    auto config = configPath(args);
    if (!config) {
        return Unexpected(config.error());
    }
    if (config.value()) {
        auto read = applyConfigFile(*config.value(), std::move(line));
        if (!read) {
            return Unexpected(read.error());
        }
        line = std::move(read).value();
    }
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (std::size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        if (name == "--config") {
            i += value ? 0 : 1; // read above
            continue;
        }
        if (name == "--help" || name == "-h") {
            line.showHelp = true;
            continue;
        }
        if (name == "--version" || name == "--plain-http" || name == "--enable-fault-injection") {
            if (value) {
                return fail(name + " takes no value");
            }
            line.showVersion = line.showVersion || name == "--version";
            line.config.plainHttp = line.config.plainHttp || name == "--plain-http";
            line.config.faultInjection =
                line.config.faultInjection || name == "--enable-fault-injection";
            continue;
        }
        auto option = valueOptions().find(name);
        if (option == valueOptions().end()) {
            return fail("unknown option " + name);
        }
        if (!value) {
            if (i + 1 >= args.size()) {
                return fail(name + " needs a value");
            }
            value = args[++i];
        }
        std::string error;
        if (!option->second(*value, line, error)) {
            // Never echo the value: it may be a key.
            return fail(error.empty() ? "invalid value for " + name : error);
        }
    }
    const ServerConfig& c = line.config;
    if (c.certFile.has_value() != c.keyFile.has_value()) {
        return fail("--cert and --cert-key go together");
    }
    if (c.plainHttp && c.certFile) {
        return fail("--plain-http cannot be combined with --cert");
    }
    return line;
}

std::string usageText() {
    return formatServerUsage();
}

} // namespace velloq::server
