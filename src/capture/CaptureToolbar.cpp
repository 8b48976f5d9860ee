#include "capture/CaptureToolbar.h"

#include "ui/BrandMark.h"
#include "ui/Glyphs.h"
#include "ui/Theme.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>

namespace velloq::capture {
namespace {

constexpr double cornerRadius = 15;
constexpr int shadowRoom = 0; // no compositor: the shadow would paint opaque, so none

// A glyph in a fixed cell; white on coral when selected. Never takes focus.
class ToolbarButton final : public QAbstractButton {
public:
    ToolbarButton(std::string symbol, QSize cell, double glyphPoints, bool secondary,
                  QWidget* parent)
        : QAbstractButton(parent), symbol_(std::move(symbol)), cell_(cell),
          glyphPoints_(glyphPoints), secondary_(secondary) {
        setFocusPolicy(Qt::NoFocus);
        setFixedSize(cell);
        setCursor(Qt::ArrowCursor);
    }
    QSize sizeHint() const override { return cell_; }
    void setSelected(bool selected) {
        selected_ = selected;
        update();
    }
    bool selected() const { return selected_; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QColor ink = palette().color(QPalette::WindowText);
        if (secondary_) {
            ink.setAlphaF(0.6);
        }
        if (selected_) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(Theme::coral());
            painter.drawRoundedRect(QRectF(rect()), 9, 9);
            ink = Qt::white;
        }
        const double side = glyphPoints_ * 1.15;
        const QRectF box(width() / 2.0 - side / 2, height() / 2.0 - side / 2, side, side);
        drawGlyph(painter, symbol_, box, ink, 1.6);
    }

private:
    std::string symbol_;
    QSize cell_;
    double glyphPoints_;
    bool secondary_;
    bool selected_ = false;
};

class Separator final : public QWidget {
public:
    explicit Separator(QWidget* parent) : QWidget(parent) { setFixedSize(7, 22); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QColor ink = palette().color(QPalette::WindowText);
        ink.setAlphaF(0.12);
        painter.fillRect(QRectF(3, 0, 0.5, 22), ink);
    }
};

class Badge final : public QWidget {
public:
    explicit Badge(QWidget* parent) : QWidget(parent) { setFixedSize(23, 23); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Theme::coral());
        painter.drawRoundedRect(QRectF(0, 0, 23, 23), 7, 7);
        BrandMark::draw(painter, QRectF(5, 5, 13, 13), Qt::white, 1.9);
    }
};

} // namespace

CaptureToolbar::CaptureToolbar(std::shared_ptr<CaptureToolbarModel> model)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::X11BypassWindowManagerHint | Qt::WindowDoesNotAcceptFocus),
      model_(std::move(model)) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QStringLiteral("Velloq capture toolbar"));
    setFocusPolicy(Qt::NoFocus);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8 + shadowRoom, 6, 8 + shadowRoom, 6);
    row->setSpacing(0);

    row->addWidget(new Badge(this));
    row->addSpacing(6);
    auto* name = new QLabel(QStringLiteral("Velloq"), this);
    QFont font = name->font();
    font.setPointSizeF(13.5);
    font.setWeight(QFont::DemiBold);
    name->setFont(font);
    row->addWidget(name);
    row->addSpacing(4);
    row->addWidget(new Separator(this));

    std::vector<ToolbarButton*> modeButtons;
    for (CaptureMode mode : allCaptureModes) {
        auto* button = new ToolbarButton(symbol(mode), QSize(38, 38), 17, false, this);
        button->setToolTip(QString::fromUtf8(label(mode)));
        QObject::connect(button, &QAbstractButton::clicked, this,
                         [this, mode] { modeTapped(mode); });
        row->addWidget(button);
        modeButtons.push_back(button);
    }
    model_->observeMode([modeButtons](CaptureMode current) {
        for (std::size_t i = 0; i < modeButtons.size(); ++i) {
            modeButtons[i]->setSelected(modeButtonSelected(allCaptureModes[i], current));
        }
    });

    if (!displayMenuItems(model_->displays).empty()) {
        buildMenu();
        auto* chooser = new ToolbarButton("chevron.down", QSize(20, 38), 10, true, this);
        chooser->setToolTip(QStringLiteral("Choose display"));
        QObject::connect(chooser, &QAbstractButton::clicked, this, [this, chooser] {
            menu_->popup(chooser->mapToGlobal(QPoint(0, chooser->height())));
        });
        row->addWidget(chooser);
    }
    row->addWidget(new Separator(this));
    auto* pen = new ToolbarButton("pencil.tip", QSize(38, 38), 16, true, this);
    pen->setToolTip(QStringLiteral("Markup"));
    QObject::connect(pen, &QAbstractButton::clicked, this, [this] {
        if (onPen) {
            onPen();
        }
    });
    row->addWidget(pen);
    row->addWidget(new Separator(this));
    auto* close = new ToolbarButton("xmark", QSize(38, 38), 16, true, this);
    close->setToolTip(QStringLiteral("Cancel"));
    QObject::connect(close, &QAbstractButton::clicked, this, [this] {
        if (onClose) {
            onClose();
        }
    });
    row->addWidget(close);
    adjustSize();
    setFixedSize(sizeHint());

    // Without a compositor nothing outside the rounded rectangle can be
    // transparent, so the corners are cut away.
    QPainterPath outline;
    outline.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    setMask(QRegion(outline.toFillPolygon().toPolygon()));
}

CaptureToolbar::~CaptureToolbar() = default;

void CaptureToolbar::modeTapped(CaptureMode mode) {
    if (modeButtonAction(mode) == ModeButtonAction::captureActiveScreen) {
        if (onFullscreen) {
            onFullscreen();
        }
        return;
    }
    model_->setMode(mode);
}

void CaptureToolbar::buildMenu() {
    menu_ = std::make_unique<QMenu>();
    for (const DisplayMenuItem& item : displayMenuItems(model_->displays)) {
        const QString title = QString::fromStdString(item.title);
        switch (item.kind) {
        case DisplayMenuItem::Kind::divider:
            menu_->addSeparator();
            break;
        case DisplayMenuItem::Kind::activeScreen:
            menu_->addAction(title, [this] {
                if (onFullscreen) {
                    onFullscreen();
                }
            });
            break;
        case DisplayMenuItem::Kind::display:
            menu_->addAction(title, [this, id = item.displayID] {
                if (onCaptureDisplay) {
                    onCaptureDisplay(id);
                }
            });
            break;
        case DisplayMenuItem::Kind::allDisplays:
            menu_->addAction(title, [this] {
                if (onCaptureAll) {
                    onCaptureAll();
                }
            });
            break;
        }
    }
    QObject::connect(menu_.get(), &QMenu::aboutToHide, this, [this] {
        if (onMenuClosed) {
            onMenuClosed();
        }
    });
}

QAbstractButton* CaptureToolbar::button(const QString& tooltip) const {
    for (auto* child : findChildren<QAbstractButton*>()) {
        if (child->toolTip() == tooltip) {
            return child;
        }
    }
    return nullptr;
}

void CaptureToolbar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setBrush(palette().color(QPalette::Window));
    QColor line = palette().color(QPalette::WindowText);
    line.setAlphaF(0.08);
    painter.setPen(QPen(line, 1));
    painter.drawRoundedRect(box, cornerRadius, cornerRadius);
}

} // namespace velloq::capture
