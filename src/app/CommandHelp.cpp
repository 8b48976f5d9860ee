#include "app/CommandHelp.h"

namespace velloq {

const std::vector<std::string>& trayHelp() {
    static const std::vector<std::string> text{
        "Without a command, Velloq starts in the system tray."};
    return text;
}

const std::vector<VerbHelp>& verbHelp() {
    using K = ValueKind;
    static const std::vector<VerbHelp> verbs{
        {"set-key",
         {},
         {"read the sharing service's API key from standard input and",
          "store it in the keyring (an empty input removes it)"}},
        {"gui",
         {"[--record]"},
         {"open the capture overlay in the running Velloq (starting one",
          "if none runs), as the Ctrl+Super+U hotkey does; with --record,",
          "start the recording flow, as Ctrl+Super+R does"},
         {{"--record"}}},
        {"capture",
         {"--all | --display ID | --region X,Y,W,H [--output FILE] [--upload]"},
         {"take a snapshot of every display, one display or a region",
          "(global points, origin at the primary display's bottom-left)",
          "and write it as PNG to FILE or to the Pictures folder;",
          "prints the file's path; with --upload, sends it to the",
          "sharing service instead and prints the link"},
         {{"--all"},
          {"--display", K::word},
          {"--region", K::word},
          {"--output", K::file},
          {"--upload"}}},
        {"displays", {}, {"list the displays: id, name, frame (x,y,w,h), scale, primary"}},
        {"upload",
         {"FILE..."},
         {"send each file to the sharing service (a PNG as an image,",
          "anything else as a video in parts) and print one link per file"},
         {},
         true},
        {"record",
         {"--display ID | --region X,Y,W,H | --window ID [--duration SECONDS]",
          "[--fps 30|60] [--resolution 720p|1080p|source]",
          "[--mic [NAME] | --no-mic] [--no-cursor] [--clicks]", "[--output FILE] [--upload]"},
         {"record the screen until the duration ends or Ctrl+C, and",
          "write an MPEG-4 file to FILE or to Videos/Velloq, printing",
          "its path; with --upload, stream it to the sharing service",
          "while recording and print the link at the end"},
         {{"--display", K::word},
          {"--region", K::word},
          {"--window", K::word},
          {"--duration", K::word},
          {"--fps", K::choice, {"30", "60"}},
          {"--resolution", K::choice, {"720p", "1080p", "source"}},
          {"--mic", K::optional},
          {"--no-mic"},
          {"--no-cursor"},
          {"--clicks"},
          {"--output", K::file},
          {"--upload"}}},
        {"--version", {}, {"print the version"}},
        {"--help", {}, {"print this help"}},
    };
    return verbs;
}

const std::vector<EnvironmentHelp>& environmentHelp() {
    static const std::vector<EnvironmentHelp> variables{
        {"VELLOQ_SERVICE_URL",
         {"base URL of the sharing service (https only), instead of the", "one set at build time"}},
        {"VELLOQ_CA_FILE",
         {"one more certificate authority (PEM) to trust besides the",
          "system's, e.g. a self-hosted server's; verification stays on"}},
        {"VELLOQ_LOG_STDERR", {"1: diagnostics also go to standard error"}},
    };
    return variables;
}

std::string formatUsage() {
    constexpr std::size_t column = 14; // where descriptions start
    std::string text = "Usage: velloq [COMMAND]\n\n";
    for (const auto& line : trayHelp()) {
        text += line + "\n";
    }
    text += "\nCommands:\n";
    const std::string indent(column, ' ');
    for (const auto& verb : verbHelp()) {
        std::string head = "  " + verb.verb;
        for (std::size_t i = 0; i < verb.synopsis.size(); ++i) {
            head +=
                (i == 0 ? " " : "\n" + std::string(verb.verb.size() + 3, ' ')) + verb.synopsis[i];
        }
        const bool sameLine = verb.synopsis.empty() && head.size() < column;
        text += head;
        for (std::size_t i = 0; i < verb.description.size(); ++i) {
            if (i == 0 && sameLine) {
                text += std::string(column - head.size(), ' ') + verb.description[i] + "\n";
            } else {
                text += (i == 0 ? "\n" : "") + indent + verb.description[i] + "\n";
            }
        }
    }
    text += "\nEnvironment:\n";
    for (const auto& variable : environmentHelp()) {
        text += "  " + variable.name + "\n";
        for (const auto& line : variable.description) {
            text += indent + line + "\n";
        }
    }
    return text;
}

} // namespace velloq
