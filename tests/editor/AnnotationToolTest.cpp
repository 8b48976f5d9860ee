#include "editor/AnnotationTool.h"

#include "app/Theme.h"
#include "editor/MarkupTables.h"

#include <gtest/gtest.h>
#include <unordered_set>

using namespace velloq::editor;

TEST(AnnotationTool, RawValuesAndSymbolsInToolBarOrder) {
    const std::vector<std::pair<std::string_view, std::string_view>> expected = {
        {"pen", "pencil.tip"},       {"highlighter", "highlighter"}, {"text", "character.textbox"},
        {"arrow", "arrow.up.right"}, {"rect", "rectangle"},          {"number", "1.circle"},
        {"eraser", "eraser"}};
    ASSERT_EQ(allTools.size(), expected.size());
    for (std::size_t i = 0; i < allTools.size(); ++i) {
        EXPECT_EQ(rawValue(allTools[i]), expected[i].first);
        EXPECT_EQ(symbol(allTools[i]), expected[i].second);
        EXPECT_EQ(toolFromRawValue(expected[i].first), allTools[i]);
    }
}

TEST(AnnotationTool, OnlyTheExactRawValuesConstructATool) {
    for (std::string_view raw : {"Pen", " pen", "pen ", "PEN", "", "circle", "rectangle"}) {
        EXPECT_FALSE(toolFromRawValue(raw).has_value()) << "'" << raw << "'";
    }
}

TEST(AnnotationTool, HashesAsItsRawValue) {
    EXPECT_EQ(std::hash<AnnotationTool>{}(AnnotationTool::rect),
              std::hash<std::string_view>{}("rect"));
    const std::unordered_set<AnnotationTool> set(allTools.begin(), allTools.end());
    EXPECT_EQ(set.size(), 7u);
}

TEST(MarkupTables, HoldThePaletteWidthsAndFontSizes) {
    using velloq::Theme;
    const auto& palette = markupPalette();
    EXPECT_EQ(palette[0], Theme::coral());
    EXPECT_EQ(palette[1], Theme::violet());
    EXPECT_EQ(palette[2], Theme::amber());
    EXPECT_EQ(palette[3], Theme::green());
    EXPECT_EQ(palette[4], Theme::sky());
    EXPECT_EQ(palette[5], Theme::night());
    EXPECT_EQ(palette[6], QColor(Qt::white));
    for (const QColor& colour : palette) {
        EXPECT_EQ(colour.alpha(), 255);
    }
    EXPECT_EQ(&markupPalette(), &palette) << "made once and shared";
    EXPECT_EQ(strokeWidths, (std::array<double, 3>{2, 4, 7}));
    EXPECT_EQ(fontSizes, (std::array<double, 3>{11, 14, 18}));
}
