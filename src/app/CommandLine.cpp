#include "app/CommandLine.h"

#include "app/CommandHelp.h"

namespace velloq {

Invocation parseCommandLine(const std::vector<std::string>& arguments) {
    if (arguments.empty()) {
        return {Command::tray, {}};
    }
    const std::string& verb = arguments.front();
    Command command = Command::invalid;
    if (verb == "set-key") {
        command = Command::setKey;
    } else if (verb == "--version" || verb == "version") {
        command = Command::version;
    } else if (verb == "gui") {
        if (arguments.size() == 2 && arguments[1] == "--record") {
            Invocation invocation{Command::gui, {}};
            invocation.recordFlow = true;
            return invocation;
        }
        command = Command::gui;
    } else if (verb == "--help" || verb == "-h" || verb == "help") {
        command = Command::help;
    } else if (verb == "capture" || verb == "displays") {
        Invocation invocation{verb == "capture" ? Command::capture : Command::displays, {}};
        if (auto problem = parseCaptureArguments(arguments, invocation.capture)) {
            return {Command::invalid, *problem};
        }
        return invocation;
    } else if (verb == "record") {
        Invocation invocation{Command::record, {}};
        if (auto problem = parseRecordArguments(arguments, invocation.record)) {
            return {Command::invalid, *problem};
        }
        return invocation;
    } else if (verb == "upload") {
        if (arguments.size() < 2) {
            return {Command::invalid, "'upload' needs at least one FILE"};
        }
        Invocation invocation{Command::upload, {}};
        invocation.files.assign(arguments.begin() + 1, arguments.end());
        return invocation;
    } else {
        return {Command::invalid, "unknown command '" + verb + "'"};
    }
    if (arguments.size() > 1) {
        // set-key in particular takes no argument: a key typed on the command
        // line would land in the process list and the shell history.
        return {Command::invalid, "'" + verb + "' takes no arguments"};
    }
    return {command, {}};
}

const char* usageText() {
    static const std::string text = formatUsage();
    return text.c_str();
}

} // namespace velloq
