#pragma once

// `velloq capture` and `velloq displays`: non-interactive snapshots for scripts.

#include "geometry/Geometry.h"

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace velloq {

struct CaptureOptions {
    enum class Mode { all, display, region };
    Mode mode = Mode::all;
    std::uint32_t displayID = 0;
    geometry::Rect region; // global points
    std::string output;    // empty: a new file in the Pictures folder
    bool upload = false;   // send to the sharing service and print the link instead
};

// Reads the arguments of `capture` or `displays` (the verb first); returns
// why they were not understood, or none.
std::optional<std::string> parseCaptureArguments(const std::vector<std::string>& arguments,
                                                 CaptureOptions& options);

// Prints one line per display, primary first: id, name, frame (x,y,w,h in
// global points), scale, and "primary" on the primary one.
int runDisplays(std::ostream& out, std::ostream& err);

// Takes the snapshot, writes the PNG and prints its path, or with `upload`
// sends it to the sharing service and prints the link (and writes the file
// only when --output names one). Returns the exit status.
int runCapture(const CaptureOptions& options, std::ostream& out, std::ostream& err);

// Where a capture goes without --output: the XDG Pictures folder (or
// ~/Pictures), a name from the local time, never an existing file's.
std::filesystem::path defaultCapturePath(std::time_t now);

// The verbs as the executable runs them: checks the X display first, then
// brings up Qt's GUI so that the screens' scales are Qt's.
int runScreenVerb(bool displays, const CaptureOptions& options, int argc, char** argv);

} // namespace velloq
