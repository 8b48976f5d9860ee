#include "server/ViewerPage.h"

#include <cmath>
#include <cstdio>

namespace velloq::server {
namespace {

// Seconds between reloads of the page shown while the copy is being made.
constexpr int kReloadSeconds = 2;

const char* const kStyle = "body{margin:0;min-height:100vh;background:#15161a;color:#e8e8ea;"
                           "font:15px/1.4 system-ui,sans-serif;display:flex;flex-direction:column;"
                           "align-items:center;justify-content:center}"
                           "video{max-width:96vw;max-height:84vh;background:#000;border-radius:6px}"
                           "p{margin:14px}a{color:#ff7b5c}";

std::string head(bool reload) {
    std::string out = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
                      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">";
    if (reload) {
        out += "<meta http-equiv=\"refresh\" content=\"" + std::to_string(kReloadSeconds) + "\">";
    }
    return out + "<title>Velloq video</title><style>" + kStyle + "</style></head><body>\n";
}

} // namespace

std::string formatDuration(double seconds) {
    const long long total = std::isfinite(seconds) && seconds > 0 ? std::llround(seconds) : 0;
    char text[32];
    if (total >= 3600) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", total / 3600, total / 60 % 60,
                      total % 60);
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", total / 60, total % 60);
    }
    return text;
}

std::string escapeHtml(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

std::string renderViewerPage(const ViewerContent& content) {
    const std::string download =
        "<a id=\"download\" href=\"" + escapeHtml(content.downloadUrl) + "\" download>Download</a>";
    if (content.videoUrl.empty()) {
        return head(true) + "<p id=\"preparing\">Preparing the video\u2026</p>\n<p>" + download +
               " the recording as uploaded</p>\n</body></html>\n";
    }
    std::string video = "<video id=\"video\" controls preload=\"metadata\" playsinline src=\"" +
                        escapeHtml(content.videoUrl) + "\"";
    if (!content.posterUrl.empty()) {
        video += " poster=\"" + escapeHtml(content.posterUrl) + "\"";
    }
    if (content.width > 0 && content.height > 0) {
        video += " width=\"" + std::to_string(content.width) + "\" height=\"" +
                 std::to_string(content.height) + "\"";
    }
    video += "></video>\n";
    std::string facts = "<p>";
    if (content.durationSeconds) {
        facts +=
            "<span id=\"duration\">" + formatDuration(*content.durationSeconds) + "</span> \u00b7 ";
    }
    return head(false) + video + facts + download + "</p>\n</body></html>\n";
}

} // namespace velloq::server
