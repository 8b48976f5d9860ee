#include "platform/json/JsonDefaultsStore.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <nlohmann/json.hpp>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velloq::platform {
namespace fs = std::filesystem;

namespace {

std::string errnoText(int error) {
    return std::strerror(error);
}

fs::path homeDirectory() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') {
        return home;
    }
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return "/";
}

bool writeAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The whole file, or the errno that stopped the read.
Expected<std::string, int> readFile(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return Unexpected(errno);
    }
    std::string data;
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) {
            break;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int error = errno;
            ::close(fd);
            return Unexpected(error);
        }
        data.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return data;
}

} // namespace

// What the file held when it was last read.
struct JsonDefaultsStore::Snapshot {
    enum class State { missing, valid, corrupt, unreadable } state = State::missing;
    nlohmann::json values = nlohmann::json::object();
};

JsonDefaultsStore::JsonDefaultsStore(fs::path file) : file_(std::move(file)) {}

fs::path JsonDefaultsStore::defaultPath() {
    fs::path base;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config == '/') {
        base = config;
    } else {
        base = homeDirectory() / ".config";
    }
    return base / "velloq" / "settings.json";
}

JsonDefaultsStore::Snapshot JsonDefaultsStore::load() const {
    Snapshot snapshot;
    auto text = readFile(file_);
    if (!text) {
        // ENOTDIR: a file stands where a folder of the path should be, so
        // there are no settings yet (and writing will report why it cannot).
        if (text.error() == ENOENT || text.error() == ENOTDIR) {
            failures_.clear("unreadable");
            return snapshot;
        }
        snapshot.state = Snapshot::State::unreadable;
        failures_.report("unreadable", "Velloq: settings file " + file_.string() +
                                           " cannot be read (" + errnoText(text.error()) +
                                           "); using defaults");
        return snapshot;
    }
    failures_.clear("unreadable");
    auto parsed = nlohmann::json::parse(*text, nullptr, /*allow_exceptions=*/false);
    if (parsed.is_discarded() || !parsed.is_object()) {
        snapshot.state = Snapshot::State::corrupt;
        failures_.report("corrupt", "Velloq: settings file " + file_.string() +
                                        " is not a JSON object; using defaults");
        return snapshot;
    }
    failures_.clear("corrupt");
    snapshot.state = Snapshot::State::valid;
    snapshot.values = std::move(parsed);
    return snapshot;
}

std::optional<nlohmann::json> JsonDefaultsStore::object(std::string_view key) const {
    std::lock_guard lock(mutex_);
    auto snapshot = load();
    auto found = snapshot.values.find(key);
    if (found == snapshot.values.end()) {
        return std::nullopt;
    }
    return *found;
}

Expected<void, DefaultsError> JsonDefaultsStore::set(std::string_view key,
                                                     const nlohmann::json& value) {
    return update(key, &value);
}

Expected<void, DefaultsError> JsonDefaultsStore::remove(std::string_view key) {
    return update(key, nullptr);
}

Expected<void, DefaultsError> JsonDefaultsStore::update(std::string_view key,
                                                        const nlohmann::json* value) {
    std::lock_guard lock(mutex_);
    auto snapshot = load();
    switch (snapshot.state) {
    case Snapshot::State::unreadable:
        // Replacing a file we could not read would throw away whatever it holds.
        return Unexpected(DefaultsError::unreadable);
    case Snapshot::State::corrupt:
        if (auto kept = keepCorruptCopy(); !kept) {
            return kept;
        }
        break;
    case Snapshot::State::missing:
    case Snapshot::State::valid:
        break;
    }
    if (value != nullptr) {
        snapshot.values[std::string(key)] = *value;
    } else {
        snapshot.values.erase(std::string(key));
    }
    return replaceFile(snapshot.values.dump(2) + "\n");
}

Expected<void, DefaultsError> JsonDefaultsStore::keepCorruptCopy() {
    const auto stamp = std::to_string(std::time(nullptr));
    fs::path copy = file_;
    copy += ".corrupt-" + stamp;
    std::error_code ec;
    fs::copy_file(file_, copy, fs::copy_options::overwrite_existing, ec);
    if (ec) {
        failures_.report("unwritable",
                         "Velloq: could not keep a copy of the corrupt settings file (" +
                             ec.message() + "); not saving settings");
        return Unexpected(DefaultsError::unwritable);
    }
    fs::permissions(copy, fs::perms::owner_read | fs::perms::owner_write, ec);
    logLine("Velloq: kept the corrupt settings file as " + copy.string());
    return {};
}

Expected<void, DefaultsError> JsonDefaultsStore::replaceFile(const std::string& contents) {
    const fs::path directory = file_.parent_path();
    auto fail = [&](const std::string& what, int error) -> Expected<void, DefaultsError> {
        failures_.report("unwritable", "Velloq: could not save settings to " + file_.string() +
                                           " (" + what + ": " + errnoText(error) + ")");
        return Unexpected(DefaultsError::unwritable);
    };

    std::error_code ec;
    fs::create_directories(directory, ec);
    if (ec) {
        return fail("create directory", ec.value());
    }

    std::string temp = (directory / ".settings.json.XXXXXX").string();
    const int fd = ::mkstemp(temp.data()); // created 0600
    if (fd < 0) {
        return fail("create temporary file", errno);
    }
    const bool written = writeAll(fd, contents) && ::fsync(fd) == 0;
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        ::unlink(temp.c_str());
        return fail("write", written ? errno : writeError);
    }
    if (::rename(temp.c_str(), file_.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        return fail("replace", error);
    }
    // The rename is durable only once the directory entry is on disk.
    if (const int dirFd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    failures_.clear("unwritable");
    return {};
}

} // namespace velloq::platform
