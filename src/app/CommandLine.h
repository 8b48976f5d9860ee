#pragma once

#include "app/CaptureCommands.h"
#include "app/RecordCommand.h"

#include <string>
#include <vector>

namespace velloq {

enum class Command { tray, setKey, version, help, capture, displays, gui, record, upload, invalid };

struct Invocation {
    Command command = Command::tray;
    std::string problem; // why the arguments were not understood
    CaptureOptions capture{};
    RecordOptions record{};
    std::vector<std::string> files{}; // upload
    bool recordFlow = false;          // gui --record
};

// Reads the arguments after the program name.
Invocation parseCommandLine(const std::vector<std::string>& arguments);

// The text `velloq --help` prints.
const char* usageText();

} // namespace velloq
