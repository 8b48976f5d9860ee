#include "editor/AnnotationTool.h"

namespace velloq::editor {

namespace {

struct ToolNames {
    std::string_view raw;
    std::string_view symbol;
};

// Indexed by the enumeration's value, which follows tool-bar order.
constexpr std::array<ToolNames, allTools.size()> names = {{
    {"pen", "pencil.tip"},
    {"highlighter", "highlighter"},
    {"text", "character.textbox"},
    {"arrow", "arrow.up.right"},
    {"rect", "rectangle"},
    {"number", "1.circle"},
    {"eraser", "eraser"},
}};

const ToolNames& namesOf(AnnotationTool tool) {
    return names.at(static_cast<std::size_t>(tool));
}

} // namespace

std::string_view rawValue(AnnotationTool tool) {
    return namesOf(tool).raw;
}

std::string_view symbol(AnnotationTool tool) {
    return namesOf(tool).symbol;
}

std::optional<AnnotationTool> toolFromRawValue(std::string_view raw) {
    for (AnnotationTool tool : allTools) {
        if (rawValue(tool) == raw) {
            return tool;
        }
    }
    return std::nullopt;
}

} // namespace velloq::editor
