#include "recording/BarView.h"

#include "recording/RecordingStyle.h"

#include <algorithm>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace velloq::recording {

BarView::BarView(bool translucent, double padding, double spacing)
    : translucent_(translucent), padding_(padding), spacing_(spacing) {
    setAttribute(Qt::WA_Hover);
    setMouseTracking(true);
}

BarPiece BarView::divider(double padding) {
    return {QSizeF(0.5 + 2 * padding, 24),
            [](QPainter& painter, const QRectF& box) { paintDivider(painter, box); }};
}

void BarView::relayout() {
    for (const auto& piece : pieces_) {
        for (const auto& part : piece.parts) {
            if (part.child != nullptr) {
                part.child->hide();
            }
        }
        if (piece.child != nullptr) {
            piece.child->hide();
        }
    }
    pieces_ = row();
    double height = 0;
    for (const auto& piece : pieces_) {
        height = std::max(height, piece.size.height());
    }
    height += 2 * padding_;
    double x = padding_;
    for (auto& piece : pieces_) {
        piece.rect = QRectF(QPointF(x, (height - piece.size.height()) / 2), piece.size);
        x += piece.size.width() + spacing_;
        for (auto& part : piece.parts) {
            part.rect.translate(piece.rect.topLeft());
        }
        for (const auto* placed : allOf(piece)) {
            if (placed->child != nullptr) {
                placed->child->setGeometry(placed->rect.toAlignedRect());
                placed->child->show();
            }
        }
    }
    const double width = pieces_.empty() ? 2 * padding_ : x - spacing_ + padding_;
    size_ = QSizeF(width, height);
    const QSize fitted(static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height)));
    setFixedSize(fitted);
    updateGeometry();
    update();
}

QSize BarView::sizeHint() const {
    return QSize(static_cast<int>(std::ceil(size_.width())),
                 static_cast<int>(std::ceil(size_.height())));
}

std::vector<const BarPiece*> BarView::allOf(const BarPiece& piece) {
    std::vector<const BarPiece*> all;
    for (const auto& part : piece.parts) {
        all.push_back(&part);
    }
    all.push_back(&piece);
    return all;
}

bool BarView::press(const QString& tooltip) {
    for (const auto& piece : pieces_) {
        for (const auto* candidate : allOf(piece)) {
            if (candidate->action && candidate->tooltip == tooltip) {
                auto action = candidate->action; // the row may be rebuilt by the action
                action();
                return true;
            }
        }
    }
    return false;
}

const BarPiece* BarView::pieceAt(QPointF point) const {
    for (const auto& piece : pieces_) {
        for (const auto* candidate : allOf(piece)) {
            if (candidate->rect.contains(point) && (candidate->action || candidate == &piece)) {
                return candidate;
            }
        }
    }
    return nullptr;
}

void BarView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintBarBackground(painter, QRectF(rect()), cornerRadius(), translucent_);
    for (const auto& piece : pieces_) {
        if (piece.paint) {
            piece.paint(painter, piece.rect);
        }
    }
}

void BarView::mousePressEvent(QMouseEvent* event) {
    const BarPiece* piece = pieceAt(event->position());
    if (piece == nullptr || !piece->action || event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    auto action = piece->action; // the row may be rebuilt by the action
    action();
}

bool BarView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const BarPiece* piece = pieceAt(help->pos());
        if (piece != nullptr && !piece->tooltip.isEmpty()) {
            QToolTip::showText(help->globalPos(), piece->tooltip, this);
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QWidget::event(event);
}

} // namespace velloq::recording
