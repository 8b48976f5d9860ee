#include "ManPage.h"

#include "app/CommandHelp.h"
#include "server/OptionHelp.h"

#include <vector>

namespace velloq::dist {
namespace {

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += (text.empty() ? "" : " ") + line;
    }
    return text;
}

std::string header(const std::string& name, const std::string& version) {
    std::string upper;
    for (char c : name) {
        upper += c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
    }
    return ".TH " + roffEscape(upper) + " 1 \"\" \"Velloq " + roffEscape(version) +
           "\" \"User Commands\"\n"
           // Options and paths read better unbroken and unstretched.
           ".nh\n.ad l\n";
}

// Lines indented in the terminal text stay verbatim in the page.
std::string paragraph(const std::vector<std::string>& lines) {
    std::string text = ".PP\n";
    for (const auto& line : lines) {
        if (line.rfind("  ", 0) == 0) {
            text += ".RS\n.nf\n" + roffEscape(line.substr(2)) + "\n.fi\n.RE\n";
        } else {
            text += roffEscape(line) + "\n";
        }
    }
    return text;
}

} // namespace

std::string roffEscape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else {
            out += c;
        }
    }
    if (!out.empty() && (out.front() == '.' || out.front() == '\'')) {
        out.insert(0, "\\&");
    }
    return out;
}

std::string clientManPage(const std::string& version) {
    std::string page = header("velloq", version);
    page += ".SH NAME\nvelloq \\- screenshots and screen recordings shared as links\n";
    page += ".SH SYNOPSIS\n.B velloq\n[\\fICOMMAND\\fR] [\\fIOPTIONS\\fR]\n";
    page += ".SH DESCRIPTION\n" + paragraph(trayHelp());
    page += ".SH COMMANDS\n";
    for (const auto& verb : verbHelp()) {
        page += ".TP\n\\fB" + roffEscape(verb.verb) + "\\fR";
        if (!verb.synopsis.empty()) {
            page += " " + roffEscape(joined(verb.synopsis));
        }
        page += "\n" + roffEscape(joined(verb.description)) + "\n";
    }
    page += ".SH ENVIRONMENT\n";
    for (const auto& variable : environmentHelp()) {
        page += ".TP\n.B " + roffEscape(variable.name) + "\n" +
                roffEscape(joined(variable.description)) + "\n";
    }
    page += ".SH FILES\n.TP\n.I $XDG_CONFIG_HOME/velloq/settings.json\n"
            "the settings (default \\fI~/.config/velloq/\\fR)\n"
            ".SH SEE ALSO\n.BR velloq\\-server (1)\n";
    return page;
}

std::string serverManPage(const std::string& version) {
    std::string page = header("velloq-server", version);
    page += ".SH NAME\nvelloq\\-server \\- the sharing service Velloq uploads to\n";
    page += ".SH SYNOPSIS\n.B velloq\\-server\n[\\fIOPTIONS\\fR]\n.SH DESCRIPTION\n";
    for (const auto& lines : server::serverIntro()) {
        page += paragraph(lines);
    }
    page += ".SH OPTIONS\n";
    for (const auto& option : server::optionHelp()) {
        page += ".TP\n\\fB" + roffEscape(option.name) + "\\fR";
        if (!option.argument.empty()) {
            page += " \\fI" + roffEscape(option.argument) + "\\fR";
        }
        page += "\n" + roffEscape(joined(option.description)) + "\n";
    }
    page += ".SH CONFIGURATION FILE\n.PP\nThe file named by \\fB\\-\\-config\\fR holds "
            "\\fINAME\\fR = \\fIVALUE\\fR lines; blank lines and lines starting with # are "
            "skipped. A mistake stops the server with a message naming the line. These names "
            "are known:\n";
    for (const auto& option : server::optionHelp()) {
        if (option.inConfigFile) {
            page += ".TP\n\\fB" + roffEscape(server::configKey(option)) + "\\fR = \\fI" +
                    roffEscape(option.argument.empty() ? "true|false" : option.argument) +
                    "\\fR\nas \\fB" + roffEscape(option.name) + "\\fR\n";
        }
    }
    page += ".SH FILES\n"
            ".TP\n.I /etc/velloq\\-server/velloq\\-server.conf\n"
            "the configuration the service unit reads\n"
            ".TP\n.I /etc/velloq\\-server/keys\n"
            "the API keys the service unit hands over as a credential\n"
            ".TP\n.I /var/lib/velloq\\-server\n"
            "the service's storage\n"
            ".SH SEE ALSO\n.BR velloq (1),\n.BR systemd.exec (5)\n";
    return page;
}

} // namespace velloq::dist
