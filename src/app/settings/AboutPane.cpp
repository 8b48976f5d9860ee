#include "app/settings/SettingsGlyphs.h"
#include "app/settings/SettingsPanes.h"
#include "app/settings/Spinner.h"
#include "app/settings/UpdateFlow.h"
#include "ui/BrandMark.h"
#include "ui/OpenLink.h"
#include "ui/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace velloq {
namespace {

constexpr int markSize = 76;

class MarkView final : public QWidget {
public:
    MarkView() { setFixedSize(markSize, markSize); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        BrandMark::draw(painter, QRectF(rect()), Theme::coral(), 5.0);
    }
};

QWidget* iconAndText(const char* objectName, QWidget* lead, const QString& text) {
    auto* box = new QWidget;
    box->setObjectName(QString::fromUtf8(objectName));
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch(1);
    layout->addWidget(lead);
    layout->addWidget(new QLabel(text, box));
    layout->addStretch(1);
    return box;
}

class AboutPane final : public PaneView {
public:
    explicit AboutPane(const SettingsServices& services)
        : PaneView(QStringLiteral("About")), flow_(services.checkForUpdates, services.showBanner) {
        auto* column = new QWidget;
        auto* layout = new QVBoxLayout(column);
        layout->setSpacing(6);
        layout->setContentsMargins(0, 24, 0, 0);
        layout->addWidget(new MarkView, 0, Qt::AlignHCenter);
        layout->addSpacing(6);
        auto* name = new QLabel(QStringLiteral("Velloq"));
        QFont big = name->font();
        big.setPointSizeF(big.pointSizeF() * 1.6);
        big.setBold(true);
        name->setFont(big);
        layout->addWidget(name, 0, Qt::AlignHCenter);
        auto* version =
            secondaryLabel(QString::fromStdString(versionLine(services.version, services.build)));
        version->setObjectName(QStringLiteral("versionLine"));
        version->setWordWrap(false);
        version->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(version, 0, Qt::AlignHCenter);
        auto* legal = secondaryLabel(
            QString::fromUtf8("\u00a9 2026 The Velloq developers. All rights reserved."));
        legal->setWordWrap(false);
        layout->addWidget(legal, 0, Qt::AlignHCenter);
        layout->addSpacing(14);
        layout->addWidget(updateControl(), 0, Qt::AlignHCenter);
        addWidget(column);
        flow_.onChange = [this] { showState(); };
        showState();
    }

    void shown() override {}

private:
    QWidget* updateControl() {
        control_ = new QStackedWidget;
        control_->setObjectName(QStringLiteral("updateControl"));

        auto* check = new QPushButton(QStringLiteral("Check for Updates"));
        check->setObjectName(QStringLiteral("checkForUpdates"));
        QObject::connect(check, &QPushButton::clicked, [this] { flow_.check(); });

        auto* spinner = new Spinner(16);

        auto* tick = new QLabel;
        tick->setPixmap(settingsGlyphIcon("checkmark.circle.fill", 16, Theme::green()).pixmap(16));

        download_ = new QPushButton;
        download_->setObjectName(QStringLiteral("download"));
        download_->setIcon(settingsGlyphIcon("arrow.down.circle.fill", 16, Qt::white));
        download_->setDefault(true);
        download_->setStyleSheet(
            QStringLiteral("QPushButton { background: %1; color: white; border: none; "
                           "border-radius: 6px; padding: 5px 14px; font-weight: bold; }"
                           "QPushButton:pressed { background: %2; }")
                .arg(Theme::coral().name(), Theme::coralDeep().name()));
        QObject::connect(download_, &QPushButton::clicked, [this] { openLink(flow_.state().url); });

        control_->addWidget(check);
        control_->addWidget(iconAndText("checking", spinner, QString::fromUtf8("Checking\u2026")));
        control_->addWidget(iconAndText("upToDate", tick, QStringLiteral("Up to date")));
        control_->addWidget(download_);
        return control_;
    }

    void showState() {
        const auto& state = flow_.state();
        if (state.kind == UpdateState::Kind::available) {
            download_->setText(QStringLiteral("Download v") +
                               QString::fromStdString(state.version));
        }
        control_->setCurrentIndex(static_cast<int>(state.kind));
        control_->setFixedSize(control_->currentWidget()->sizeHint().expandedTo(QSize(160, 28)));
    }

    UpdateFlow flow_;
    QStackedWidget* control_ = nullptr;
    QPushButton* download_ = nullptr;
};

} // namespace

PaneView* makeAboutPane(const SettingsServices& services) {
    return new AboutPane(services);
}

PaneView* makePane(Pane pane, const SettingsServices& services) {
    switch (pane) {
    case Pane::general:
        return makeGeneralPane(services);
    case Pane::capture:
        return makeCapturePane(services);
    case Pane::video:
        return makeVideoPane(services);
    case Pane::shortcuts:
        return makeShortcutsPane();
    case Pane::about:
        return makeAboutPane(services);
    }
    return nullptr;
}

} // namespace velloq
