#include "server/DataDir.h"

#include "server/Crypto.h"

namespace velloq::server {

Expected<DataDir, Error> DataDir::prepare(const fs::path& root) {
    std::error_code ec;
    fs::path absolute = fs::absolute(root, ec);
    if (ec) {
        return fail("bad data directory " + root.string() + ": " + ec.message());
    }
    // Start-up empties scratch directories, so refuse a directory we did not create:
    // a mistyped --data-dir must never cost someone their files.
    const fs::path marker = absolute / ".velloq-server";
    if (fs::exists(absolute, ec) && !fs::is_empty(absolute, ec) && !fs::exists(marker, ec)) {
        return fail(absolute.string() +
                    " is not empty and is not a velloq-server data directory; choose another");
    }
    auto rootMade = ensurePrivateDir(absolute);
    if (!rootMade) {
        return Unexpected(rootMade.error());
    }
    if (!fs::exists(marker, ec)) {
        auto marked = writeFileAtomically(marker, "velloq-server data directory\n", 0600);
        if (!marked) {
            return Unexpected(marked.error());
        }
    }
    DataDir dir(absolute);
    // Unfinished uploads of an earlier run cannot be completed: their signing secret is gone.
    for (const char* scratch : {"tmp", "pending"}) {
        fs::remove_all(absolute / scratch, ec);
        if (ec) {
            return fail("cannot clear " + (absolute / scratch).string() + ": " + ec.message());
        }
    }
    for (const char* sub : {"tls", "images", "videos", "pending", "tmp"}) {
        auto made = ensurePrivateDir(absolute / sub);
        if (!made) {
            return Unexpected(made.error());
        }
    }
    return dir;
}

bool DataDir::writable() const {
    for (const char* sub : {"tmp", "images", "videos", "pending"}) {
        auto probe = TempFile::create(root_ / sub);
        if (!probe || !probe.value().write("x", 1)) {
            return false;
        }
    }
    return true;
}

bool DataDir::isId(std::string_view text) {
    return isLowerHex(text, 32);
}

} // namespace velloq::server
