#include "server/CommandLine.h"

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
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (std::size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
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
    return R"(Usage: velloq-server [options]

The reference sharing service for Velloq: stores uploaded screenshots and
videos on local disk and serves them over HTTPS.

Without --cert, a private certificate authority and a certificate for
localhost/127.0.0.1 are created in DATA/tls; point clients at the CA with
VELLOQ_CA_FILE=DATA/tls/ca.pem. Once listening, one line is printed to stdout:
  velloq-server ready url=<base URL> ca=<CA file or "none"> port=<port>
Logs go to stderr, one line per request. SIGINT or SIGTERM stops the server.
Published files persist in DATA; video uploads still in progress do not
survive a restart (their part addresses are signed with a per-run secret).

Options:
  --data-dir DIR          storage directory (default: $XDG_DATA_HOME/velloq-server
                          or ~/.local/share/velloq-server)
  --listen HOST:PORT      address to listen on (default 127.0.0.1:8443; port 0
                          picks a free port, reported on the ready line)
  --key-file FILE         API keys, one per line; "KEY disabled" refuses a key with 403
  --key KEY               accept KEY (repeatable; visible to other local users in ps)
  --disabled-key KEY      refuse KEY with 403 (repeatable)
  --public-url URL        base of the links handed out (default: this server's origin)
  --cert FILE --cert-key FILE
                          serve this certificate chain and key instead of the local CA
  --plain-http            serve plain HTTP (for tests of the client's HTTPS rule only)
  --max-upload-bytes N    largest image upload body (default 67108864)
  --max-part-bytes N      largest video part (default 67108864)
  --signed-url-ttl SEC    lifetime of a part upload address (default 900)
  --video-ttl SEC         unfinished videos are dropped after this (default 86400)
  --manifest FILE         JSON served at /linux-version.json: "latest", "url",
                          optional "notes" and "released"
  --threads N             request threads (default 32)
  --max-connections N     open connections at most; beyond it, the one that has
                          waited longest for its request is closed (default 2048)
  --ready-file FILE       also write {"url","caFile","port"} to FILE once listening
  --enable-fault-injection
                          for client tests, on a loopback address only:
                          PUT /_test/faults/ROUTE with a JSON body such as
                          {"status":503,"times":2} or {"dropEtag":true} or
                          {"delayMs":500} or {"cutBody":true}; DELETE
                          /_test/faults clears them. ROUTE is one of upload,
                          start, sign-part, put-part, complete, abort, healthz,
                          manifest, image, video
  --version               print the version
  -h, --help              print this help
)";
}

} // namespace velloq::server
