#include "app/CommandLine.h"

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
    } else if (verb == "--help" || verb == "-h" || verb == "help") {
        command = Command::help;
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
    return "Usage: velloq [COMMAND]\n"
           "\n"
           "Without a command, Velloq starts in the system tray.\n"
           "\n"
           "Commands:\n"
           "  set-key     read the sharing service's API key from standard input and\n"
           "              store it in the keyring (an empty input removes it)\n"
           "  --version   print the version\n"
           "  --help      print this help\n";
}

} // namespace velloq
