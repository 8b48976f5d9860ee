#pragma once

// The tools of the editor's tool bar, in tool-bar order. The raw value is the
// tool's stable name; the symbol names the glyph on its tool-bar button.

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

namespace velloq::editor {

enum class AnnotationTool { pen, highlighter, text, arrow, rect, number, eraser };

// Every tool, in the order the tool bar shows them.
inline constexpr std::array<AnnotationTool, 7> allTools = {
    AnnotationTool::pen,  AnnotationTool::highlighter, AnnotationTool::text,  AnnotationTool::arrow,
    AnnotationTool::rect, AnnotationTool::number,      AnnotationTool::eraser};

[[nodiscard]] std::string_view rawValue(AnnotationTool tool);
[[nodiscard]] std::string_view symbol(AnnotationTool tool);
// Exactly the seven raw values construct a tool; any other spelling gives none.
[[nodiscard]] std::optional<AnnotationTool> toolFromRawValue(std::string_view raw);

} // namespace velloq::editor

// A tool hashes as its raw-value string does.
template <> struct std::hash<velloq::editor::AnnotationTool> {
    std::size_t operator()(velloq::editor::AnnotationTool tool) const noexcept {
        return std::hash<std::string_view>{}(velloq::editor::rawValue(tool));
    }
};
