// Shows banners and cards the way a user sees them, for looking at by eye:
//
//   velloq_feedback_preview render FOLDER   each view as a PNG file, offscreen
//   velloq_feedback_preview show SECONDS    a banner and a card on the display
//
// "show" uses the real desktop services, so the panels float, stay on every
// workspace and place themselves as they do in the product.

#include "feedback/NotificationBanner.h"
#include "feedback/ToastController.h"
#include "feedback/ToastView.h"
#include "feedback/VideoToastView.h"
#include "platform/Platform.h"
#include "platform/posix/PosixFiles.h"
#include "platform/qt/QtClipboard.h"
#include "platform/qt/QtFloatingWindows.h"
#include "platform/qt/QtMainLoop.h"
#include "platform/qt/QtSavePanel.h"
#include "platform/qt/QtWorkArea.h"
#include "platform/x11/X11FloatingWindows.h"

#include <cstdio>
#include <cstdlib>
#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QTimer>
#include <string>

using namespace velloq;

namespace {

QImage sampleScreenshot(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, size.width(), size.height());
    sky.setColorAt(0, QColor(52, 120, 246));
    sky.setColorAt(1, QColor(150, 90, 230));
    painter.fillRect(image.rect(), sky);
    painter.fillRect(
        QRect(size.width() / 8, size.height() / 6, size.width() * 3 / 4, size.height() * 2 / 3),
        QColor(250, 250, 250));
    painter.fillRect(QRect(size.width() / 8, size.height() / 6, size.width() * 3 / 4, 30),
                     QColor(225, 225, 230));
    return image;
}

void save(QWidget& view, const QString& path) {
    view.resize(view.sizeHint());
    QImage image(view.size() * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    image.fill(QColor(128, 128, 128)); // the desktop behind the panel
    view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    image.save(path);
    std::printf("%s %dx%d points\n", qPrintable(path), view.width(), view.height());
}

int render(const QString& folder) {
    const char* names[] = {"info", "success", "warning", "error"};
    const char* messages[] = {"Link copied to clipboard", "Link saved to clipboard",
                              "Microphone unavailable, recording without sound",
                              "Upload failed. Check your API key in Settings."};
    for (int i = 0; i < 4; ++i) {
        NotificationBanner banner(static_cast<Severity>(i), "Velloq", messages[i]);
        save(banner, folder + "/banner-" + names[i] + ".png");
    }
    ToastView screenshot("https://velloq.test/i/8f3kq2", sampleScreenshot({1440, 900}));
    save(screenshot, folder + "/card-screenshot.png");
    VideoToastView video("https://velloq.test/v/Zp41xQ", sampleScreenshot({1920, 1080}), "1:07",
                         true);
    save(video, folder + "/card-video.png");
    VideoToastView placeholder("https://velloq.test/v/Zp41xQ", std::nullopt, "0:12", false);
    save(placeholder, folder + "/card-video-placeholder.png");
    return 0;
}

int show(QApplication& app, int seconds) {
    platform::QtMainLoop loop(&app);
    platform::PosixFiles files;
    platform::QtClipboard clipboard;
    platform::QtSavePanel savePanel;
    platform::QtWorkArea workArea;
    platform::X11FloatingWindows x11;
    platform::QtFloatingWindows other;
    platform::Services services;
    services.mainQueue = &loop;
    services.clock = &loop;
    services.files = &files;
    services.clipboard = &clipboard;
    services.savePanel = &savePanel;
    services.workArea = &workArea;
    services.floatingWindows = QGuiApplication::platformName() == "xcb"
                                   ? static_cast<platform::FloatingWindows*>(&x11)
                                   : &other;
    platform::install(services);

    auto& toasts = ToastController::shared();
    toasts.showBanner(Severity::success, "Velloq", "Link copied to clipboard");
    toasts.showCard("https://velloq.test/i/8f3kq2", sampleScreenshot({1440, 900}), QByteArray());
    QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    return app.exec();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const std::string verb = argc > 1 ? argv[1] : "";
    if (verb == "render" && argc > 2) {
        return render(QString::fromLocal8Bit(argv[2]));
    }
    if (verb == "show") {
        return show(app, argc > 2 ? std::atoi(argv[2]) : 10);
    }
    std::fprintf(stderr, "usage: %s render FOLDER | show [SECONDS]\n", argv[0]);
    return 2;
}
