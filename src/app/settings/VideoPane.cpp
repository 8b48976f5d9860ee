#include "app/settings/SegmentedPicker.h"
#include "app/settings/SettingBindings.h"
#include "app/settings/SettingsGlyphs.h"
#include "app/settings/SettingsPanes.h"
#include "app/settings/ToggleSwitch.h"
#include "platform/Platform.h"
#include "settings/Settings.h"

#include <QMenu>
#include <QPointer>
#include <QToolButton>

namespace velloq {
namespace {

const QStringList resolutions{QStringLiteral("720p"), QStringLiteral("1080p"),
                              QStringLiteral("Source")};
constexpr int frameRates[] = {30, 60};

class VideoPane final : public PaneView {
public:
    explicit VideoPane(const SettingsServices& services)
        : PaneView(QStringLiteral("Video")), services_(services), bindings_(services.showBanner) {
        addQuality();
        addMicrophone();

        auto* cursor = addSection(QStringLiteral("Cursor & clicks"));
        cursor->addRow(
            formRow(QStringLiteral("Show cursor"),
                    bindings_.toggle(settings::recordShowCursorKey, settings::recordShowCursor)));
        cursor->addRow(formRow(
            QStringLiteral("Highlight clicks"),
            bindings_.toggle(settings::recordHighlightClicksKey, settings::recordHighlightClicks),
            QStringLiteral("Coral ripple around each click.")));

        auto* recording = addSection(QStringLiteral("Recording"));
        recording->addRow(
            formRow(QStringLiteral("Show 3-2-1 countdown"),
                    bindings_.toggle(settings::recordCountdownKey, settings::recordCountdown)));
        recording->addRow(formRow(
            QStringLiteral("Open link in browser after upload"),
            bindings_.toggle(settings::recordOpenInBrowserKey, settings::recordOpenInBrowser)));
        recording->setFooter(
            QStringLiteral("Camera and system audio are coming in a later version."));
    }

    void shown() override {
        bindings_.refresh();
        if (!services_.microphoneNames) {
            return;
        }
        QPointer<VideoPane> self(this);
        services_.microphoneNames([self](std::vector<std::string> names) {
            if (self) { // the window may have closed meanwhile
                self->micDeviceNames_ = std::move(names);
                self->showMicrophone();
            }
        });
    }

private:
    void addQuality() {
        auto* quality = addSection(QStringLiteral("Quality"));
        auto* resolution = new SegmentedPicker(QStringLiteral("Resolution"), resolutions);
        resolution->setObjectName(QStringLiteral("recordResolution"));
        bindings_.bind(resolution, settings::recordResolutionKey, {"720p", "1080p", "Source"},
                       [](const platform::DefaultsStore& store) {
                           return static_cast<int>(resolutions.indexOf(
                               QString::fromStdString(settings::recordResolution(store))));
                       });
        quality->addRow(resolution);

        QStringList rateLabels;
        std::vector<nlohmann::json> rateValues;
        for (int rate : frameRates) {
            rateLabels << QStringLiteral("%1 fps").arg(rate);
            rateValues.emplace_back(rate);
        }
        auto* frameRate = new SegmentedPicker(QStringLiteral("Frame rate"), rateLabels);
        frameRate->setObjectName(QStringLiteral("recordFrameRate"));
        bindings_.bind(frameRate, settings::recordFrameRateKey, std::move(rateValues),
                       [](const platform::DefaultsStore& store) {
                           const int rate = settings::recordFrameRate(store);
                           for (int i = 0; i < int(std::size(frameRates)); ++i) {
                               if (frameRates[i] == rate) {
                                   return i;
                               }
                           }
                           return -1;
                       });
        quality->addRow(frameRate);
        quality->setFooter(
            QString::fromUtf8("Higher settings make larger files. \u201cSource\u201d "
                              "matches your display resolution."));
    }

    void addMicrophone() {
        auto* section = addSection(QStringLiteral("Microphone"));
        section->addRow(formRow(QStringLiteral("Record microphone"),
                                bindings_.toggle(settings::recordMicOnKey, settings::recordMicOn)));
        device_ = new QToolButton;
        device_->setObjectName(QStringLiteral("recordMicDeviceName"));
        device_->setAutoRaise(true);
        device_->setPopupMode(QToolButton::InstantPopup);
        device_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        // The chevron follows the name.
        device_->setLayoutDirection(Qt::RightToLeft);
        device_->setIcon(
            settingsGlyphIcon("chevron.down", 10, palette().color(QPalette::WindowText)));
        device_->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));
        device_->setMenu(new QMenu(device_));
        section->addRow(formRow(QStringLiteral("Input device"), device_));
        section->setFooter(
            QString::fromUtf8("The default mic when you open the recorder \u2014 you "
                              "can still change it before each take."));
        bindings_.onRefresh([this] { showMicrophone(); });
    }

    void showMicrophone() {
        const std::string stored =
            settings::recordMicDeviceName(platform::defaults()).value_or(std::string());
        device_->setText(stored.empty() ? QStringLiteral("Default")
                                        : QString::fromStdString(stored));
        QMenu* menu = device_->menu();
        menu->clear();
        auto add = [&](const QString& label, const std::string& value) {
            QAction* entry = menu->addAction(label);
            entry->setCheckable(true);
            entry->setChecked(value == stored);
            QObject::connect(entry, &QAction::triggered, [this, value] {
                bindings_.write(settings::recordMicDeviceNameKey, value);
                showMicrophone();
            });
        };
        add(QStringLiteral("Default"), std::string());
        for (const auto& name : micDeviceNames_) {
            add(QString::fromStdString(name), name);
        }
    }

    const SettingsServices services_;
    SettingBindings bindings_;
    QToolButton* device_ = nullptr;
    std::vector<std::string> micDeviceNames_;
};

} // namespace

PaneView* makeVideoPane(const SettingsServices& services) {
    return new VideoPane(services);
}

} // namespace velloq
