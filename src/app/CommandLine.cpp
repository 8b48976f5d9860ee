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
    } else if (verb == "gui") {
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
    return "Usage: velloq [COMMAND]\n"
           "\n"
           "Without a command, Velloq starts in the system tray.\n"
           "\n"
           "Commands:\n"
           "  set-key     read the sharing service's API key from standard input and\n"
           "              store it in the keyring (an empty input removes it)\n"
           "  gui         open the capture overlay in the running Velloq (starting one\n"
           "              if none runs), as the Ctrl+Super+U hotkey does\n"
           "  capture --all | --display ID | --region X,Y,W,H [--output FILE] [--upload]\n"
           "              take a snapshot of every display, one display or a region\n"
           "              (global points, origin at the primary display's bottom-left)\n"
           "              and write it as PNG to FILE or to the Pictures folder;\n"
           "              prints the file's path; with --upload, sends it to the\n"
           "              sharing service instead and prints the link\n"
           "  displays    list the displays: id, name, frame (x,y,w,h), scale, primary\n"
           "  upload FILE...\n"
           "              send each file to the sharing service (a PNG as an image,\n"
           "              anything else as a video in parts) and print one link per file\n"
           "  record --display ID | --region X,Y,W,H | --window ID [--duration SECONDS]\n"
           "         [--fps 30|60] [--resolution 720p|1080p|source] [--mic [NAME] | --no-mic]\n"
           "         [--no-cursor] [--clicks] [--output FILE] [--upload]\n"
           "              record the screen until the duration ends or Ctrl+C, and\n"
           "              write an MPEG-4 file to FILE or to Videos/Velloq, printing\n"
           "              its path; with --upload, stream it to the sharing service\n"
           "              while recording and print the link at the end\n"
           "  --version   print the version\n"
           "  --help      print this help\n";
}

} // namespace velloq
