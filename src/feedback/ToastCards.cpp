// The card half of ToastController: showing, timing out, replacing and the
// card's actions.

#include "feedback/OwnedFile.h"
#include "feedback/ToastController.h"
#include "feedback/ToastView.h"
#include "feedback/VideoLink.h"
#include "feedback/VideoToastView.h"
#include "platform/Platform.h"
#include "ui/OpenLink.h"

#include <span>

namespace velloq {

void ToastController::showCard(std::string url, QImage image, QByteArray png) {
    dismissCard();
    auto view = std::make_unique<ToastView>(url, image);
    view->onOpen = [url] { openLink(url); };
    view->onMarkup = [this, image] {
        if (onMarkup) {
            onMarkup(image, image.size());
        }
    };
    // The save panel runs modally: start it from the event loop rather than
    // from inside the button's click, which the card's dismissal may delete.
    view->onSave = [this, png] {
        later([png](ToastController& self) { self.saveScreenshot(png); });
    };
    showCardPanel(std::move(view), std::move(url), "Link saved to clipboard");
}

void ToastController::showVideoCard(std::string url, std::optional<QImage> poster,
                                    std::string duration,
                                    std::optional<std::filesystem::path> file) {
    dismissCard();
    if (file) {
        videoFile_ = std::make_shared<OwnedFile>(*file);
    }
    auto view =
        std::make_unique<VideoToastView>(url, std::move(poster), duration, file.has_value());
    view->onOpen = [url] { openVideoLink(url); };
    // Holding the file from the click on keeps it until the copy is done.
    view->onSave = [this] {
        later([file = videoFile_](ToastController& self) {
            if (file) {
                self.saveRecording(file);
            }
        });
    };
    showCardPanel(std::move(view), std::move(url), "Video link saved to clipboard");
}

void ToastController::showCardPanel(std::unique_ptr<CardView> view, std::string url,
                                    std::string reminder) {
    cardCopied_ = false;
    view->onCopy = [this, url] {
        platform::clipboard().setText(url);
        cardCopied_ = true;
    };
    card_ = present(std::move(view), false);
    cardSerial_ = ++lastSerial_;
    cardReminder_ = std::move(reminder);
    auto& clock = platform::clock();
    cardDismiss_ =
        platform::ScopedTimer(clock, clock.schedule(cardLifetime, [this] { cardTimeUp(); }));
}

void ToastController::dismissCard() {
    cardDismiss_.cancel();
    card_.reset();
    cardSerial_ = 0;
    cardTimeUpWhileSaving_ = false;
    // The file goes now, unless a Save is still copying it.
    videoFile_.reset();
}

void ToastController::cardTimeUp() {
    if (savePanelCard_ && *savePanelCard_ == cardSerial_) {
        // Hiding the card now would delete the recording the Save is about to copy.
        cardTimeUpWhileSaving_ = true;
        return;
    }
    dismissCardWithReminder();
}

void ToastController::dismissCardWithReminder() {
    const bool copied = cardCopied_;
    const std::string reminder = cardReminder_;
    dismissCard();
    if (!copied) {
        showBanner(Severity::success, "Velloq", reminder);
    }
}

std::optional<std::filesystem::path>
ToastController::runSavePanel(const char* name, const char* type, const char* extension) {
    savePanelCard_ = cardSerial_;
    auto destination = platform::savePanel().run({name, type, extension});
    savePanelCard_.reset();
    return destination;
}

void ToastController::saveScreenshot(const QByteArray& png) {
    const auto card = cardSerial_;
    const auto destination = runSavePanel("screenshot.png", "PNG image", "png");
    bool failed = false;
    if (destination) {
        const auto bytes = std::as_bytes(std::span(png.constData(), std::size_t(png.size())));
        failed = !platform::files().write(*destination, bytes);
    }
    finishSave(card, failed, "The screenshot could not be saved.");
}

void ToastController::saveRecording(std::shared_ptr<OwnedFile> file) {
    const auto card = cardSerial_;
    const auto destination = runSavePanel("recording.mp4", "MPEG-4 movie", "mp4");
    bool failed = false;
    if (destination) {
        failed = !platform::files().copy(file->path(), *destination);
    }
    file.reset(); // if the card went away meanwhile, its recording goes now
    finishSave(card, failed, "The recording could not be saved.");
}

void ToastController::finishSave(std::uint64_t card, bool failed, const char* sentence) {
    if (card != 0 && card == cardSerial_ && cardTimeUpWhileSaving_) {
        cardTimeUpWhileSaving_ = false;
        dismissCardWithReminder();
    }
    // After the reminder, so that the failure is what stays on screen.
    if (failed) {
        logLine(std::string("Velloq: ") + sentence);
        showBanner(Severity::error, "Velloq", sentence);
    }
}

} // namespace velloq
