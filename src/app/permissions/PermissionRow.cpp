#include "app/permissions/PermissionRow.h"

#include "feedback/FeedbackStyle.h"
#include "ui/Glyphs.h"
#include "ui/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velloq {
namespace {

constexpr double headlinePoints = 13;
constexpr double subheadlinePoints = 11;

QString colourName(QColor colour, double alpha = 1.0) {
    colour.setAlphaF(static_cast<float>(alpha));
    return colour.name(QColor::HexArgb);
}

} // namespace

PermissionRow::PermissionRow(const QString& title, const QString& explanation, QWidget* parent)
    : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(12);
    row->setAlignment(Qt::AlignTop);

    symbol_ = new QLabel(this);
    symbol_->setFixedSize(symbolPoints, symbolPoints);
    row->addWidget(symbol_, 0, Qt::AlignTop);

    auto* text = new QVBoxLayout();
    text->setSpacing(3);
    auto* heading = new QLabel(title, this);
    heading->setFont(FeedbackStyle::systemFont(*this, headlinePoints, QFont::DemiBold));
    auto* detail = new QLabel(explanation, this);
    detail->setFont(FeedbackStyle::systemFont(*this, subheadlinePoints, QFont::Normal));
    detail->setWordWrap(true);
    QPalette secondary = detail->palette();
    secondary.setColor(QPalette::WindowText, FeedbackStyle::secondary());
    detail->setPalette(secondary);
    text->addWidget(heading);
    text->addWidget(detail);
    row->addLayout(text, 1);

    grantedLabel_ = new QLabel(QStringLiteral("Granted"), this);
    grantedLabel_->setFont(FeedbackStyle::systemFont(*this, subheadlinePoints, QFont::Medium));
    QPalette green = grantedLabel_->palette();
    green.setColor(QPalette::WindowText, Theme::green());
    grantedLabel_->setPalette(green);
    row->addWidget(grantedLabel_, 0, Qt::AlignTop);

    auto* buttons = new QHBoxLayout();
    buttons->setSpacing(8);
    request_ = new QPushButton(QStringLiteral("Request"), this);
    // The accent button: filled with the brand colour, as the prominent action.
    request_->setStyleSheet(
        QStringLiteral("QPushButton { background: %1; color: white; border: none;"
                       " border-radius: 5px; padding: 4px 10px; }"
                       " QPushButton:pressed { background: %2; }")
            .arg(colourName(Theme::coral()), colourName(Theme::coralDeep())));
    openSettings_ = new QPushButton(QStringLiteral("Open Settings"), this);
    buttons->addWidget(request_);
    buttons->addWidget(openSettings_);
    row->addLayout(buttons);
    row->setAlignment(buttons, Qt::AlignTop);

    connect(request_, &QPushButton::clicked, this, [this] {
        if (onRequest) {
            onRequest();
        }
    });
    connect(openSettings_, &QPushButton::clicked, this, [this] {
        if (onOpenSettings) {
            onOpenSettings();
        }
    });
    showState();
}

void PermissionRow::setGranted(bool granted) {
    if (granted != granted_) {
        granted_ = granted;
        showState();
    }
}

void PermissionRow::showState() {
    const QIcon icon =
        granted_ ? glyphIcon("checkmark.circle.fill", symbolPoints, Theme::green())
                 : glyphIcon("exclamationmark.triangle.fill", symbolPoints, Theme::amber());
    symbol_->setPixmap(icon.pixmap(QSize(symbolPoints, symbolPoints), devicePixelRatioF()));
    grantedLabel_->setVisible(granted_);
    request_->setVisible(!granted_);
    openSettings_->setVisible(!granted_);
}

} // namespace velloq
