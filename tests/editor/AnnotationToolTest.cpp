#include "editor/AnnotationTool.h"

#include <gtest/gtest.h>

using namespace velloq::editor;

TEST(AnnotationTool, OnlyTheExactRawValuesConstructATool) {
    for (std::string_view raw : {"Pen", " pen", "pen ", "PEN", "", "circle", "rectangle"}) {
        EXPECT_FALSE(toolFromRawValue(raw).has_value()) << "'" << raw << "'";
    }
}
