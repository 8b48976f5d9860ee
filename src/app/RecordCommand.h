#pragma once

// `velloq record`: a screen recording from the command line, of a display,
// a region or a window, until a duration ends or SIGINT/SIGTERM; written to
// a file, or streamed to the sharing service while it is being made.

#include "geometry/Geometry.h"

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace velloq {

struct RecordOptions {
    enum class Mode { display, region, window };
    Mode mode = Mode::display;
    std::uint32_t id = 0;                  // display or window
    geometry::Rect region;                 // global points
    std::optional<double> duration;        // seconds
    std::optional<int> frameRate;          // 30 or 60; else the setting
    std::optional<std::string> resolution; // "720p", "1080p", "source"; else the setting
    std::optional<bool> mic;               // else the setting
    std::optional<std::string> micName;    // a device's name or id; else the setting
    std::optional<bool> cursor;            // else the setting
    std::optional<bool> clicks;            // else the setting
    std::string output;                    // empty: the Videos folder (without --upload)
    bool upload = false;
};

// Reads the arguments after `record`; returns why they were not understood, or none.
std::optional<std::string> parseRecordArguments(const std::vector<std::string>& arguments,
                                                RecordOptions& options);

// Where a recording goes without --output: `Velloq/` in the XDG Videos
// folder (or ~/Videos), a name from the local time, never an existing file's.
std::filesystem::path defaultRecordingPath(std::time_t now);

// Records as the options say; returns the exit status.
int runRecord(const RecordOptions& options, int argc, char** argv);

} // namespace velloq
