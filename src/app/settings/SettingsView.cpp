#include "app/settings/SettingsView.h"

#include "app/settings/SettingsGlyphs.h"
#include "ui/Theme.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPainter>
#include <QShortcut>
#include <QShowEvent>
#include <QStackedWidget>

namespace velloq {
namespace {

constexpr int sidebarWidth = 196;
constexpr int tileSize = 20;
constexpr int symbolSize = 11;

QColor tileColour(Pane pane) {
    switch (pane) {
    case Pane::general:
        return Theme::gray();
    case Pane::capture:
        return Theme::coral();
    case Pane::video:
        return Theme::purple();
    case Pane::shortcuts:
        return Theme::blue();
    case Pane::about:
        return Theme::sky();
    }
    return Theme::gray();
}

// The pane's symbol in white on a small rounded tile of its own colour.
QIcon tile(const PaneInfo& info) {
    QIcon icon;
    for (int ratio : {1, 2}) {
        QPixmap pixmap(tileSize * ratio, tileSize * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(tileColour(info.pane));
        painter.drawRoundedRect(QRectF(0, 0, tileSize, tileSize), 5, 5);
        const double inset = (tileSize - symbolSize) / 2.0;
        drawSettingsGlyph(painter, info.symbol, QRectF(inset, inset, symbolSize, symbolSize),
                          Qt::white);
        painter.end();
        // The tile keeps its colour on the selected row.
        icon.addPixmap(pixmap, QIcon::Normal);
        icon.addPixmap(pixmap, QIcon::Selected);
    }
    return icon;
}

} // namespace

SettingsView::SettingsView(SettingsServices services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)), sidebar_(new QListWidget(this)),
      detail_(new QStackedWidget(this)) {
    setWindowTitle(QStringLiteral("Velloq Settings"));
    setFixedSize(contentSize);

    sidebar_->setObjectName(QStringLiteral("sidebar"));
    sidebar_->setFixedWidth(sidebarWidth);
    sidebar_->setIconSize(QSize(tileSize, tileSize));
    sidebar_->setFrameShape(QFrame::NoFrame);
    sidebar_->setSpacing(1);
    sidebar_->setStyleSheet(QStringLiteral(
        "QListWidget#sidebar { background: palette(window); padding: 12px 8px; outline: none; }"
        "QListWidget#sidebar::item { padding: 4px 6px; border-radius: 6px; "
        "color: palette(window-text); }"
        "QListWidget#sidebar::item:selected { background: palette(midlight); }"));
    for (const auto& info : allPanes) {
        auto* item = new QListWidgetItem(
            tile(info), QString::fromUtf8(info.title.data(), int(info.title.size())));
        item->setSizeHint(QSize(sidebarWidth - 20, 32));
        sidebar_->addItem(item);
        detail_->addWidget(makePane(info.pane, services_));
    }
    // The detail side is one shade lighter than the sidebar, as sidebars are.
    detail_->setAutoFillBackground(true);
    QPalette detailPalette = detail_->palette();
    detailPalette.setColor(QPalette::Window, palette().color(QPalette::Window).lighter(103));
    detail_->setPalette(detailPalette);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(sidebar_);
    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::VLine);
    divider->setFixedWidth(1);
    divider->setStyleSheet(QStringLiteral("background: palette(midlight); border: none;"));
    layout->addWidget(divider);
    layout->addWidget(detail_, 1);

    sidebar_->setCurrentRow(0);
    QObject::connect(sidebar_, &QListWidget::currentRowChanged, [this](int row) { showPane(row); });
    sidebar_->setFocus();
    auto* close = new QShortcut(QKeySequence::Close, this);
    QObject::connect(close, &QShortcut::activated, this, &QWidget::close);
}

Pane SettingsView::selection() const {
    return allPanes[static_cast<std::size_t>(std::max(sidebar_->currentRow(), 0))].pane;
}

void SettingsView::select(Pane pane) {
    sidebar_->setCurrentRow(static_cast<int>(pane));
}

PaneView* SettingsView::pane(Pane pane) const {
    return static_cast<PaneView*>(detail_->widget(static_cast<int>(pane)));
}

void SettingsView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        pane(selection())->shown();
    }
}

void SettingsView::showPane(int index) {
    if (index < 0 || index >= detail_->count()) {
        return;
    }
    detail_->setCurrentIndex(index);
    pane(allPanes[static_cast<std::size_t>(index)].pane)->shown();
}

} // namespace velloq
