// The editor's upload actions end to end: the rendered PNG goes through the
// real client and libcurl to the reference server over loopback TLS.

#include "editor/AnnotationEditorView.h"
#include "editor/AnnotationWindowController.h"
#include "editor/EditorBottomBar.h"
#include "editor/EditorCanvas.h"
#include "editor/EditorWindow.h"
#include "editor/MarkupTables.h"
#include "EditorFixture.h"
#include "keystore/APIKeyStore.h"
#include "support/ReferenceServer.h"

#include <chrono>
#include <cstdlib>
#include <QPushButton>
#include <thread>

using namespace velloq::editor;

namespace {

class UploadIntegrationTest : public velloq::testing::EditorFixture {
protected:
    UploadIntegrationTest() {
        ::setenv("VELLOQ_SERVICE_URL", server.baseURL().c_str(), 1);
        ::setenv("VELLOQ_CA_FILE", server.caFile().c_str(), 1);
        curl = std::make_unique<velloq::platform::CurlHttp>(
            velloq::platform::CurlHttp::extraCAFromEnvironment());
        auto services = velloq::platform::installed();
        services.http = curl.get();
        velloq::platform::install(services);
        EXPECT_TRUE(velloq::APIKeyStore::saveAPIKey(velloq::testing::ReferenceServer::key));

        // The product's encoder and upload; only the banner is recorded.
        velloq::ImageRoutes routes = velloq::productRoutes();
        routes.showBanner = this->services().showBanner;
        controller.setServices(routes);
        controller.show(screenshot({800, 600}, 2), QSize(800, 600));
        QApplication::processEvents();
    }
    ~UploadIntegrationTest() override {
        controller.window()->hide();
        ::unsetenv("VELLOQ_SERVICE_URL");
        ::unsetenv("VELLOQ_CA_FILE");
    }

    // Runs the main queue until a banner arrives: the upload finishes on a
    // worker thread and comes back through one post.
    void awaitBanner() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (banners.empty() && std::chrono::steady_clock::now() < deadline) {
            platform.loop.runPending();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ASSERT_FALSE(banners.empty()) << "the upload never finished";
    }

    AnnotationWindowController& controller = AnnotationWindowController::shared();
    velloq::testing::ReferenceServer server;
    std::unique_ptr<velloq::platform::CurlHttp> curl;
};

} // namespace

TEST_F(UploadIntegrationTest, CopyLinkAndDoneUploadsTheAnnotatedImage) {
    ASSERT_NE(controller.view(), nullptr);
    AnnotationEditorView& view = *controller.view();
    // A badge in the middle of the image: canvas centre, at 2 pixels per point.
    const QSizeF canvas = view.state().canvasSize();
    view.state().selectTool(AnnotationTool::number);
    view.state().press({canvas.width() / 2, canvas.height() / 2});
    view.state().release({canvas.width() / 2, canvas.height() / 2});

    view.bottomBar().copyLinkButton().click();
    awaitBanner();

    ASSERT_EQ(platform.clipboard.texts.size(), 1u);
    const std::string link = platform.clipboard.texts[0];
    EXPECT_TRUE(link.starts_with(server.baseURL() + "/")) << link;
    EXPECT_FALSE(controller.window()->isVisible());
    EXPECT_EQ(banners[0].severity, velloq::Severity::success);
    EXPECT_EQ(banners[0].message, "Link copied to clipboard");

    const QImage uploaded =
        QImage::fromData(QByteArray::fromStdString(server.download(link)), "PNG");
    ASSERT_EQ(uploaded.size(), QSize(800, 600));
    const QRgb badge = uploaded.pixel(400 + 20, 300);
    EXPECT_EQ(badge, markupPalette()[0].rgb()) << "the badge is in the uploaded pixels";
    EXPECT_EQ(uploaded.pixel(10, 10), qRgb(230, 230, 230));
}
