#include "app/permissions/PermissionsView.h"

#include "app/permissions/PermissionRow.h"
#include "app/PermissionsModel.h"
#include "feedback/FeedbackStyle.h"
#include "ui/Theme.h"

#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

namespace velloq {
namespace {

constexpr int padding = 24;
constexpr int spacing = 20;
constexpr double titlePoints = 22;
constexpr double calloutPoints = 12;

struct RowText {
    Permission permission;
    const char* title;
    const char* explanation;
};

constexpr RowText rowTexts[] = {
    {Permission::screenRecording, "Screen Recording", "Required to capture your screen."},
    {Permission::microphone, "Microphone", "Required to record audio with your video."},
    {Permission::accessibility, "Accessibility", "Required for the global capture hotkey."},
};

} // namespace

PermissionsView::PermissionsView(PermissionsModel& model, OpenPermissionSettings openSettings,
                                 QWidget* parent)
    : QWidget(parent), model_(model), openSettings_(std::move(openSettings)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(padding, padding, padding, padding);
    column->setSpacing(spacing);

    auto* header = new QVBoxLayout();
    header->setSpacing(4);
    auto* title = new QLabel(QStringLiteral("Permissions"), this);
    title->setFont(FeedbackStyle::systemFont(*this, titlePoints, QFont::Bold));
    auto* subtitle =
        new QLabel(QStringLiteral("Velloq needs these to capture and share your screen."), this);
    subtitle->setFont(FeedbackStyle::systemFont(*this, calloutPoints, QFont::Normal));
    QPalette secondary = subtitle->palette();
    secondary.setColor(QPalette::WindowText, FeedbackStyle::secondary());
    subtitle->setPalette(secondary);
    header->addWidget(title);
    header->addWidget(subtitle);
    column->addLayout(header);

    for (const RowText& text : rowTexts) {
        auto* row = new PermissionRow(QString::fromUtf8(text.title),
                                      QString::fromUtf8(text.explanation), this);
        const Permission permission = text.permission;
        row->onRequest = [this, permission] { request(permission); };
        row->onOpenSettings = [this, permission] { openSettingsFor(permission); };
        rows_[index(permission)] = row;
        column->addWidget(row);
    }

    banner_ = new QLabel(this);
    banner_->setWordWrap(true);
    banner_->setFont(FeedbackStyle::systemFont(*this, calloutPoints, QFont::Normal));
    QColor tint = Theme::amber();
    tint.setAlphaF(0.16f);
    banner_->setStyleSheet(QStringLiteral("QLabel { background: %1; border-radius: 8px;"
                                          " padding: 8px 10px; }")
                               .arg(tint.name(QColor::HexArgb)));
    banner_->hide();
    column->addWidget(banner_);
    column->addStretch(1);

    // The window may close before the model, which lives for the whole process.
    QPointer<PermissionsView> self(this);
    model_.observe([self] {
        if (self) {
            self->showFlags();
        }
    });
    setFixedWidth(viewWidth);
    showFlags();
    fitHeight();
}

void PermissionsView::showEvent(QShowEvent* event) {
    // A permission granted while the window was away shows at once.
    model_.refresh();
    showFlags();
    QWidget::showEvent(event);
}

void PermissionsView::request(Permission permission) {
    // X11 asks nobody: a request is a fresh check (and whatever the platform
    // can do to obtain screen access).
    if (permission == Permission::screenRecording) {
        model_.requestScreenRecording();
    } else {
        model_.refresh();
    }
    showFlags();
}

void PermissionsView::openSettingsFor(Permission permission) {
    if (openSettings_ && openSettings_(permission)) {
        banner_->hide();
    } else {
        banner_->setText(QString::fromUtf8(howToGrant(permission)));
        banner_->show();
    }
    fitHeight();
}

void PermissionsView::showFlags() {
    row(Permission::screenRecording)->setGranted(model_.screenRecording());
    row(Permission::microphone)->setGranted(model_.microphone());
    row(Permission::accessibility)->setGranted(model_.accessibility());
    fitHeight();
}

void PermissionsView::fitHeight() {
    QLayout* column = layout();
    const int height = column->hasHeightForWidth() ? column->heightForWidth(viewWidth)
                                                   : column->sizeHint().height();
    setFixedHeight(height);
}

QWidget* makePermissionsView() {
    return new PermissionsView(PermissionsModel::shared(), openDesktopPermissionSettings);
}

} // namespace velloq
