#pragma once

// The result cards shown after an upload and the banner for short outcomes.
// At most one card (bottom-right) and one banner (top-right) are on screen;
// each goes away on its own after a fixed time, and a new one replaces the
// old. A video card owns its recording file until it goes away.

#include "feedback/FloatingPanel.h"
#include "platform/Clock.h"
#include "ui/Severity.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <QByteArray>
#include <QImage>
#include <string>
#include <string_view>

namespace velloq {

class CardView;
class OwnedFile;

class ToastController {
public:
    static constexpr platform::Clock::Duration bannerLifetime{4000};
    static constexpr platform::Clock::Duration cardLifetime{6000};

    // The one instance, created on first use and kept for the life of the process.
    static ToastController& shared();

    ToastController();
    ~ToastController();
    ToastController(const ToastController&) = delete;
    ToastController& operator=(const ToastController&) = delete;

    void showBanner(Severity severity, std::string_view title, std::string_view message);
    void dismissBanner();

    // The screenshot card for `url`, showing `image`; Save writes `png`.
    void showCard(std::string url, QImage image, QByteArray png);
    // The video card; it takes ownership of the recording at `file`.
    void showVideoCard(std::string url, std::optional<QImage> poster, std::string duration,
                       std::optional<std::filesystem::path> file);
    void dismissCard();

    // The screenshot card's Markup: opens the editor on `image`, whose pixel
    // size is `pixels`. The card stays.
    std::function<void(const QImage& image, QSize pixels)> onMarkup;

    // What is on screen.
    FloatingPanel* banner() const { return banner_.get(); }
    FloatingPanel* card() const { return card_.get(); }
    bool cardCopied() const { return cardCopied_; }

private:
    PanelHandle present(std::unique_ptr<PanelContent> content, bool atTop);
    void showCardPanel(std::unique_ptr<CardView> view, std::string url, std::string reminder);
    void cardTimeUp();
    void dismissCardWithReminder();

    // Saving runs the modal save panel: the card's dismissal waits for it.
    void saveScreenshot(const QByteArray& png);
    void saveRecording(std::shared_ptr<OwnedFile> file);
    std::optional<std::filesystem::path> runSavePanel(const char* name, const char* type,
                                                      const char* extension);
    void finishSave(std::uint64_t card, bool failed, const char* sentence);

    // Runs `task` later on the main queue, unless this controller is gone by then.
    void later(std::function<void(ToastController&)> task);

    PanelHandle card_;
    platform::ScopedTimer cardDismiss_;
    bool cardCopied_ = false;
    std::shared_ptr<OwnedFile> videoFile_;
    std::string cardReminder_;
    std::uint64_t cardSerial_ = 0; // the card on screen; 0 for none
    std::uint64_t lastSerial_ = 0;
    std::optional<std::uint64_t> savePanelCard_; // the card whose save panel is open
    bool cardTimeUpWhileSaving_ = false;

    PanelHandle banner_;
    platform::ScopedTimer bannerDismiss_;

    std::shared_ptr<ToastController*> self_; // closures hold this weakly
};

} // namespace velloq
