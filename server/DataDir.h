#pragma once

// Layout of the server's data directory:
//   tls/       generated CA and server certificate
//   images/    published images, <id>.png
//   videos/    published videos, <id>.mp4 as uploaded, and the copy browsers
//              play, <id>.web.mp4, described by <id>.web.json, with its first
//              picture <id>.poster.png
//   pending/   parts of unfinished videos, <videoId>/<n>.part
//   tmp/       files still being written; emptied at start-up
// Every directory is private to the server's user. Names are always ids the
// server generated, never text taken from a request.

#include "server/Files.h"

#include <string>
#include <string_view>

namespace velloq::server {

class DataDir {
public:
    // Creates the layout and removes what an earlier run left unfinished.
    static Expected<DataDir, Error> prepare(const fs::path& root);

    const fs::path& root() const { return root_; }
    fs::path tlsDir() const { return root_ / "tls"; }
    fs::path tmpDir() const { return root_ / "tmp"; }
    fs::path pendingDir(std::string_view videoId) const {
        return root_ / "pending" / std::string(videoId);
    }
    fs::path imagePath(std::string_view id) const {
        return root_ / "images" / (std::string(id) + ".png");
    }
    fs::path videoPath(std::string_view id) const {
        return root_ / "videos" / (std::string(id) + ".mp4");
    }
    fs::path webVideoPath(std::string_view id) const {
        return root_ / "videos" / (std::string(id) + ".web.mp4");
    }
    fs::path posterPath(std::string_view id) const {
        return root_ / "videos" / (std::string(id) + ".poster.png");
    }
    fs::path webVideoInfoPath(std::string_view id) const {
        return root_ / "videos" / (std::string(id) + ".web.json");
    }

    Expected<TempFile, Error> createTemp() const { return TempFile::create(tmpDir()); }

    // True when a file can be created and removed in every storage directory.
    bool writable() const;

    // Ids the server hands out: 32 lower-case hex digits.
    static bool isId(std::string_view text);

private:
    explicit DataDir(fs::path root) : root_(std::move(root)) {}
    fs::path root_;
};

} // namespace velloq::server
