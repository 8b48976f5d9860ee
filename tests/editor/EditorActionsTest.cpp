#include "editor/AnnotationEditorView.h"
#include "editor/EditorCanvas.h"
#include "EditorFixture.h"
#include "fakes/TempDir.h"

#include <fstream>
#include <iterator>

using namespace velloq::editor;
using velloq::Severity;

namespace {

class EditorActionsTest : public velloq::testing::EditorFixture {
protected:
    EditorActionsTest()
        : view(screenshot(), QSize(800, 600),
               QStringLiteral("Screenshot 2026-03-03 at 14.05.09.png"), services()) {
        view.resize(1000, 700);
        view.show();
        QApplication::processEvents();
        view.actions().onDone = [this] { ++closed; };
    }

    // Opens a text field holding `text`, as if typed.
    void typeText(const QString& text) {
        view.state().selectTool(AnnotationTool::text);
        click(view.canvas(), {100, 100});
        view.state().setEditingText(text);
    }

    AnnotationEditorView view;
    int closed = 0;
};

// The editor not yet laid out: its canvas has no size.
class UnlaidEditorTest : public velloq::testing::EditorFixture {};

} // namespace

TEST_F(EditorActionsTest, EveryActionCommitsOpenTextFirst) {
    typeText(QStringLiteral("note"));
    view.actions().copyImageAction();
    EXPECT_EQ(view.state().annotations().size(), 1u);
    EXPECT_FALSE(view.state().editingPoint().has_value());

    typeText(QStringLiteral("second"));
    view.actions().openAction();
    EXPECT_EQ(view.state().annotations().size(), 2u);
}

TEST_F(UnlaidEditorTest, ARenderFailureShowsItsBannerAndStops) {
    AnnotationEditorView view(screenshot(), QSize(800, 600), QStringLiteral("x.png"), services());
    ASSERT_EQ(view.state().canvasSize(), QSizeF(0, 0));
    view.actions().copyImageAction();
    view.actions().copyLinkAndDoneAction();
    view.actions().saveAction();
    EXPECT_TRUE(platform.clipboard.images.empty());
    EXPECT_TRUE(uploads.empty());
    EXPECT_TRUE(platform.savePanel.requests.empty());
    ASSERT_EQ(banners.size(), 3u);
    for (const auto& banner : banners) {
        EXPECT_EQ(banner.message, "Couldn't render the image.");
    }
}

TEST_F(EditorActionsTest, SaveWritesThePngWhereTheUserChoseAndOnlyAFailedWriteSaysSo) {
    velloq::testing::TempDir dir;
    platform.savePanel.answer = dir.path() / "out.png";
    view.actions().saveAction();
    ASSERT_EQ(platform.savePanel.requests.size(), 1u);
    EXPECT_EQ(platform.savePanel.requests[0].suggestedName,
              "Screenshot 2026-03-03 at 14.05.09.png");
    EXPECT_EQ(platform.savePanel.requests[0].extension, "png");
    std::ifstream file(dir.path() / "out.png", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), {});
    const QImage saved = QImage::fromData(QByteArray::fromStdString(bytes), "PNG");
    EXPECT_EQ(saved.size(), QSize(800, 600));
    EXPECT_TRUE(banners.empty()) << "Save shows no banner";

    platform.savePanel.answer.reset();
    view.actions().saveAction();
    EXPECT_TRUE(banners.empty()) << "a cancelled save says nothing";
    platform.files.failWrites = true;
    platform.savePanel.answer = dir.path() / "failed.png";
    view.actions().saveAction();
    EXPECT_EQ(platform.savePanel.requests.size(), 3u);
    ASSERT_EQ(banners.size(), 1u);
    EXPECT_EQ(banners[0].severity, velloq::Severity::error);
}

TEST_F(EditorActionsTest, AFailedUploadShowsTheSentenceAndLeavesTheClipboard) {
    view.actions().openAction();
    view.actions().copyLinkAndDoneAction();
    ASSERT_EQ(uploads.size(), 2u) << "nothing is disabled while an upload runs";
    finishUpload(velloq::Unexpected(std::string("Upload failed (server error 500).")));
    finishUpload(velloq::Unexpected(std::string("No API key is set.")));
    EXPECT_TRUE(platform.clipboard.texts.empty());
    EXPECT_EQ(closed, 0) << "the editor stays open";
    ASSERT_EQ(banners.size(), 2u);
    EXPECT_EQ(banners[0].severity, Severity::error);
    EXPECT_EQ(banners[0].message, "Upload failed (server error 500).");
    EXPECT_EQ(banners[1].message, "No API key is set.");
}

TEST_F(EditorActionsTest, CopyLinkAndDoneClosesAndTellsTheUserWhileOpenOpensTheLink) {
    view.actions().copyLinkAndDoneAction();
    ASSERT_EQ(uploads.size(), 1u);
    EXPECT_TRUE(uploads[0].startsWith("\x89PNG")) << "the rendered PNG is uploaded";
    EXPECT_EQ(closed, 0) << "nothing before the answer";
    finishUpload(std::string("https://vel.lq/xyz"));
    EXPECT_EQ(platform.clipboard.texts, std::vector<std::string>{"https://vel.lq/xyz"});
    EXPECT_EQ(closed, 1);
    EXPECT_TRUE(platform.application.openedURLs.empty());
    ASSERT_EQ(banners.size(), 1u);
    EXPECT_EQ(banners[0].severity, Severity::success);
    EXPECT_EQ(banners[0].message, "Link copied to clipboard");

    view.actions().openAction();
    EXPECT_EQ(platform.clipboard.texts.size(), 1u) << "nothing before the answer";
    finishUpload(std::string("https://vel.lq/abc"));
    EXPECT_EQ(platform.clipboard.text(), "https://vel.lq/abc");
    EXPECT_EQ(platform.application.openedURLs, std::vector<std::string>{"https://vel.lq/abc"});
    view.actions().openAction();
    finishUpload(std::string("ftp://vel.lq/abc"));
    EXPECT_EQ(platform.clipboard.text(), "ftp://vel.lq/abc");
    EXPECT_EQ(platform.application.openedURLs.size(), 1u)
        << "a link of another scheme is not opened";
    EXPECT_EQ(closed, 1) << "Open leaves the editor open";
    EXPECT_EQ(banners.size(), 1u);
}
