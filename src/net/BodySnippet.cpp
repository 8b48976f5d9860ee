#include "net/BodySnippet.h"

#include "common/Utf8.h"

#include <QString>
#include <QTextBoundaryFinder>

namespace velloq {
namespace {

constexpr int kSnippetCharacters = 300;

// Drops the bytes of a UTF-8 sequence that the cut left incomplete.
std::string_view withoutSplitTail(std::string_view bytes) {
    for (std::size_t back = 1; back <= 3 && back <= bytes.size(); ++back) {
        const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((byte & 0xC0) == 0x80) {
            continue; // continuation byte: keep looking for the lead
        }
        const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? bytes.substr(0, bytes.size() - back) : bytes;
    }
    return bytes;
}

} // namespace

std::string bodySnippet(std::string_view body, bool truncated) {
    if (truncated) {
        body = withoutSplitTail(body);
    }
    if (!isValidUtf8(body)) {
        return "<binary>";
    }
    const QString text = QString::fromUtf8(body.data(), static_cast<qsizetype>(body.size()));
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    for (int count = 0; count < kSnippetCharacters; ++count) {
        const qsizetype next = graphemes.toNextBoundary();
        if (next < 0) {
            return std::string(body);
        }
        end = next;
    }
    return text.left(end).toStdString();
}

} // namespace velloq
