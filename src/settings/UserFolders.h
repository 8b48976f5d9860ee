#pragma once

// The user's own folders, as the desktop names them (XDG user directories),
// and fresh file names in them.

#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>

namespace velloq::settings {

enum class UserFolder { pictures, videos };

// XDG_PICTURES_DIR / XDG_VIDEOS_DIR from the environment or from
// user-dirs.dirs, else ~/Pictures or ~/Videos.
std::filesystem::path userFolder(UserFolder which);

// "velloq-YYYY-MM-DD-HHMMSS.EXT" in `folder` from the local time `now`, with
// "-2", "-3", … added until no file has that name.
std::filesystem::path datedPath(const std::filesystem::path& folder, std::string_view extension,
                                std::time_t now);

// `path` with the home folder written as "~", for sentences the user reads.
std::string homeRelative(const std::filesystem::path& path);

} // namespace velloq::settings
