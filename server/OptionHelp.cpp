#include "server/OptionHelp.h"

namespace velloq::server {

const std::vector<std::vector<std::string>>& serverIntro() {
    static const std::vector<std::vector<std::string>> paragraphs{
        {"The reference sharing service for Velloq: stores uploaded screenshots and",
         "videos on local disk and serves them over HTTPS."},
        {"Without --cert, a private certificate authority and a certificate for",
         "localhost/127.0.0.1 are created in DATA/tls; point clients at the CA with",
         "VELLOQ_CA_FILE=DATA/tls/ca.pem. Once listening, one line is printed to stdout:",
         "  velloq-server ready url=<base URL> ca=<CA file or \"none\"> port=<port>",
         "Logs go to stderr, one line per request. SIGINT or SIGTERM stops the server.",
         "Published files persist in DATA; video uploads still in progress do not",
         "survive a restart (their part addresses are signed with a per-run secret)."},
        {"Options given on the command line win over the same keys in the --config",
         "file (NAME = VALUE lines; # starts a comment; flags take true or false)."},
    };
    return paragraphs;
}

const std::vector<OptionHelp>& optionHelp() {
    static const std::vector<OptionHelp> options{
        {"--config",
         "FILE",
         {"read settings from FILE first (keys as the options'", "names, without the dashes)"}},
        {"--data-dir",
         "DIR",
         {"storage directory (default:", "$XDG_DATA_HOME/velloq-server or",
          "~/.local/share/velloq-server)"},
         true},
        {"--listen",
         "HOST:PORT",
         {"address to listen on (default 127.0.0.1:8443; port 0",
          "picks a free port, reported on the ready line)"},
         true},
        {"--key-file",
         "FILE",
         {"API keys, one per line; \"KEY disabled\" refuses a key", "with 403"},
         true},
        {"--key", "KEY", {"accept KEY (repeatable; visible to other local users", "in ps)"}},
        {"--disabled-key", "KEY", {"refuse KEY with 403 (repeatable)"}},
        {"--public-url",
         "URL",
         {"base of the links handed out (default: this server's",
          "origin); set it when a reverse proxy serves the links"},
         true},
        {"--cert", "FILE", {"serve this certificate chain instead of the local CA"}, true},
        {"--cert-key", "FILE", {"the private key of --cert"}, true},
        {"--plain-http",
         "",
         {"serve plain HTTP: behind a reverse proxy that holds",
          "the certificate, or for tests of the client's HTTPS", "rule"},
         true},
        {"--max-upload-bytes", "N", {"largest image upload body (default 67108864)"}, true},
        {"--max-part-bytes", "N", {"largest video part (default 67108864)"}, true},
        {"--signed-url-ttl", "SEC", {"lifetime of a part upload address (default 900)"}, true},
        {"--video-ttl",
         "SEC",
         {"unfinished videos are dropped after this (default", "86400)"},
         true},
        {"--manifest",
         "FILE",
         {"JSON served at /linux-version.json: \"latest\", \"url\",",
          "optional \"notes\" and \"released\""},
         true},
        {"--threads", "N", {"request threads (default 32)"}, true},
        {"--max-connections",
         "N",
         {"open connections at most; beyond it, the one that",
          "has waited longest for its request is closed", "(default 2048)"},
         true},
        {"--ready-file",
         "FILE",
         {"also write {\"url\",\"caFile\",\"port\"} to FILE once", "listening"}},
        {"--enable-fault-injection",
         "",
         {"for client tests, on a loopback address only:",
          "PUT /_test/faults/ROUTE with a JSON body such as",
          "{\"status\":503,\"times\":2} or {\"dropEtag\":true} or",
          "{\"delayMs\":500} or {\"cutBody\":true}; DELETE",
          "/_test/faults clears them. ROUTE is one of upload,",
          "start, sign-part, put-part, complete, abort, healthz,", "manifest, image, video"}},
        {"--version", "", {"print the version"}},
        {"-h, --help", "", {"print this help"}},
    };
    return options;
}

std::string configKey(const OptionHelp& option) {
    return option.name.rfind("--", 0) == 0 ? option.name.substr(2) : option.name;
}

std::string formatServerUsage() {
    constexpr std::size_t column = 26; // where descriptions start
    std::string text = "Usage: velloq-server [options]\n";
    for (const auto& paragraph : serverIntro()) {
        text += "\n";
        for (const auto& line : paragraph) {
            text += line + "\n";
        }
    }
    text += "\nOptions:\n";
    for (const auto& option : optionHelp()) {
        std::string head = "  " + option.name;
        if (!option.argument.empty()) {
            head += " " + option.argument;
        }
        text += head;
        for (std::size_t i = 0; i < option.description.size(); ++i) {
            if (i == 0 && head.size() < column - 1) {
                text += std::string(column - head.size(), ' ');
            } else {
                text += (i == 0 ? "\n" : "") + std::string(column, ' ');
            }
            text += option.description[i] + "\n";
        }
    }
    return text;
}

} // namespace velloq::server
