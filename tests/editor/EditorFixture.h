#pragma once

// What the editor's widget and action tests share: fake platform services, a
// Qt application on the offscreen platform, stand-ins for the PNG encoder, the
// upload and the banner that record what they were asked, and pointer helpers.

#include "app/ProductRoutes.h"
#include "fakes/FakePlatform.h"
#include "fakes/QtApp.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace velloq::testing {

struct Banner {
    Severity severity;
    std::string title;
    std::string message;
};

class EditorFixture : public ::testing::Test {
protected:
    EditorFixture() { qtApp(); }

    ImageRoutes services() {
        ImageRoutes services = productRoutes();
        services.uploadImage = [this](QByteArray png, std::function<void(UploadOutcome)> done) {
            uploads.push_back(std::move(png));
            pendingUploads.push_back(std::move(done));
        };
        services.showBanner = [this](Severity severity, std::string_view title,
                                     std::string_view message) {
            banners.push_back({severity, std::string(title), std::string(message)});
        };
        return services;
    }

    // Finishes the oldest upload still waiting.
    void finishUpload(UploadOutcome outcome) {
        ASSERT_FALSE(pendingUploads.empty());
        auto done = std::move(pendingUploads.front());
        pendingUploads.erase(pendingUploads.begin());
        done(std::move(outcome));
    }

    // A 2x screenshot: `pixels` big, filled with a light grey.
    static QImage screenshot(QSize pixels = {800, 600}, double scale = 2) {
        QImage image(pixels, QImage::Format_RGB32);
        image.fill(QColor(230, 230, 230));
        image.setDevicePixelRatio(scale);
        return image;
    }

    static void mouse(QWidget& widget, QEvent::Type type, QPointF at,
                      Qt::MouseButtons held = Qt::LeftButton) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, widget.mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(&widget, &event);
    }

    static void drag(QWidget& widget, std::initializer_list<QPointF> path) {
        auto point = path.begin();
        mouse(widget, QEvent::MouseButtonPress, *point);
        for (++point; point != path.end(); ++point) {
            mouse(widget, QEvent::MouseMove, *point);
        }
        mouse(widget, QEvent::MouseButtonRelease, *(path.end() - 1), Qt::NoButton);
    }

    static void click(QWidget& widget, QPointF at) { drag(widget, {at}); }

    FakePlatform platform;
    std::vector<QByteArray> uploads;
    std::vector<std::function<void(UploadOutcome)>> pendingUploads;
    std::vector<Banner> banners;
};

} // namespace velloq::testing
