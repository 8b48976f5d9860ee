#include "app/settings/Autostart.h"
#include "app/settings/SettingBindings.h"
#include "app/settings/SettingsGlyphs.h"
#include "app/settings/SettingsPanes.h"
#include "app/settings/ToggleSwitch.h"
#include "keystore/APIKeyStore.h"
#include "net/ServiceURL.h"
#include "settings/Settings.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QToolButton>
#include <QUrl>

namespace velloq {
namespace {

class GeneralPane final : public PaneView {
public:
    explicit GeneralPane(const SettingsServices& services)
        : PaneView(QStringLiteral("General")), services_(services), bindings_(services.showBanner) {
        auto* keySection = addSection(QStringLiteral("API Key"));
        keySection->addRow(keyRow());
        const QString host = QUrl(QString::fromStdString(serviceBaseURL())).host();
        keySection->setFooter(
            QStringLiteral("Velloq uploads to %1. The server is fixed for this release.")
                .arg(host));

        auto* sound = addSection();
        sound->addRow(formRow(QStringLiteral("Play sound when finished"),
                              bindings_.toggle(settings::playSoundKey, settings::playSound)));
        sound->setFooter(
            QStringLiteral("The uploaded image URL is always copied to your clipboard."));

        auto* login = addSection();
        autostart_ = new ToggleSwitch;
        autostart_->setObjectName(QStringLiteral("autostart"));
        QObject::connect(autostart_, &ToggleSwitch::toggled, [this](bool on) { setLogin(on); });
        login->addRow(formRow(QStringLiteral("Start Velloq when you log in"), autostart_));
    }

    void shown() override {
        bindings_.refresh();
        // What the user sees is what is stored: the trimmed key, or nothing.
        key_->setText(QString::fromStdString(APIKeyStore::loadAPIKey().value_or("")));
        const QSignalBlocker quiet(autostart_);
        autostart_->setChecked(autostartEnabled(services_.autostartFile));
    }

private:
    QWidget* keyRow() {
        auto* row = new QWidget;
        auto* layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 6, 0, 6);
        key_ = new QLineEdit(row);
        key_->setObjectName(QStringLiteral("apiKey"));
        key_->setPlaceholderText(QStringLiteral("Paste your API key"));
        key_->setFrame(false);
        key_->setEchoMode(QLineEdit::Password);
        // Every change goes to the keyring as typed.
        QObject::connect(key_, &QLineEdit::textEdited, [](const QString& text) {
            ignoreFailure(applyAPIKeyEdit(text.toStdString()),
                          "the store logged it, and the field keeps what the user typed");
        });
        reveal_ = new QToolButton(row);
        reveal_->setObjectName(QStringLiteral("revealKey"));
        reveal_->setAutoRaise(true);
        reveal_->setCursor(Qt::PointingHandCursor);
        QObject::connect(reveal_, &QToolButton::clicked, [this] { setReveal(!revealKey_); });
        setReveal(false);
        layout->addWidget(key_, 1);
        layout->addWidget(reveal_);
        return row;
    }

    void setReveal(bool reveal) {
        revealKey_ = reveal;
        key_->setEchoMode(reveal ? QLineEdit::Normal : QLineEdit::Password);
        // Shown or not, the key is no text for prediction or history.
        key_->setInputMethodHints(Qt::ImhSensitiveData | Qt::ImhNoPredictiveText |
                                  Qt::ImhNoAutoUppercase);
        reveal_->setIcon(settingsGlyphIcon(reveal ? "eye.slash" : "eye", 16,
                                           palette().color(QPalette::PlaceholderText)));
        reveal_->setToolTip(reveal ? QStringLiteral("Hide key") : QStringLiteral("Show key"));
    }

    void setLogin(bool on) {
        if (setAutostart(services_.autostartFile, on, services_.program)) {
            return;
        }
        const QSignalBlocker quiet(autostart_);
        autostart_->setChecked(autostartEnabled(services_.autostartFile));
        if (services_.showBanner) {
            services_.showBanner(Severity::error, "Velloq",
                                 on ? "Couldn't turn on starting at log-in."
                                    : "Couldn't turn off starting at log-in.");
        }
    }

    const SettingsServices services_;
    SettingBindings bindings_;
    QLineEdit* key_ = nullptr;
    QToolButton* reveal_ = nullptr;
    ToggleSwitch* autostart_ = nullptr;
    bool revealKey_ = false;
};

} // namespace

PaneView* makeGeneralPane(const SettingsServices& services) {
    return new GeneralPane(services);
}

} // namespace velloq
