#pragma once

// File primitives with the guarantees the store relies on: everything is
// private to the server's user, and nothing becomes visible under its final
// name until it is complete and synced.

#include "server/Error.h"

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace velloq::server {

namespace fs = std::filesystem;

// Creates `dir` (and parents) and restricts it to the owner.
Expected<void, Error> ensurePrivateDir(const fs::path& dir);

// Writes `contents` to a private temporary file beside `target`, syncs it and
// renames it over `target`. `mode` applies to the final file.
Expected<void, Error> writeFileAtomically(const fs::path& target, std::string_view contents,
                                          unsigned mode);

// A file being filled in a temporary directory. It is removed when the
// object goes away unless it was moved to its final name first.
class TempFile {
public:
    static Expected<TempFile, Error> create(const fs::path& dir);

    TempFile(TempFile&& other) noexcept;
    TempFile& operator=(TempFile&& other) noexcept;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile();

    bool write(const char* data, std::size_t size);
    std::uint64_t size() const { return size_; }
    int fd() const { return fd_; }
    const fs::path& path() const { return path_; }

    enum class Sync { durable, none };
    // Syncs, closes and renames the file to `target`, then syncs the directory;
    // with Sync::none only closes and renames, for scratch data that need not
    // survive a crash.
    Expected<void, Error> publishAs(const fs::path& target, Sync sync = Sync::durable);
    // Appends everything `source` reads to from its position on; false on any
    // read or write error.
    bool appendFrom(int source);

private:
    TempFile(int fd, fs::path path) : fd_(fd), path_(std::move(path)) {}
    void discard();

    int fd_ = -1;
    fs::path path_;
    std::uint64_t size_ = 0;
};

// Appends the whole of `source` to `out`; false on any read or write error.
bool appendFile(TempFile& out, const fs::path& source);

} // namespace velloq::server
