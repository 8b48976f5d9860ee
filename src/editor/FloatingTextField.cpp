#include "editor/FloatingTextField.h"

#include "editor/EditorState.h"
#include "editor/MarkupFont.h"

#include <cmath>
#include <QFontMetricsF>
#include <QGraphicsDropShadowEffect>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

namespace velloq::editor {

namespace {

constexpr int horizontalPadding = 12;
constexpr int verticalPadding = 6;
constexpr double cornerRadius = 7;

} // namespace

FloatingTextField::FloatingTextField(EditorState& state, QWidget* parent)
    : QWidget(parent), state_(state), edit_(new QLineEdit(this)) {
    edit_->setFrame(false);
    edit_->setPlaceholderText(QStringLiteral("Text"));
    edit_->setAttribute(Qt::WA_MacShowFocusRect, false);
    edit_->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; border: none; }"));
    edit_->installEventFilter(this);
    connect(edit_, &QLineEdit::textChanged, this, [this](const QString& text) {
        state_.setEditingText(text);
        fitToContents();
    });

    auto* shadow = new QGraphicsDropShadowEffect(this);
    shadow->setColor(QColor(0, 0, 0, 36)); // 14 %
    shadow->setBlurRadius(10);
    shadow->setOffset(0, 2);
    setGraphicsEffect(shadow);
    hide();
}

void FloatingTextField::sync() {
    if (!state_.editingPoint()) {
        if (isVisible()) {
            hide();
        }
        return;
    }
    edit_->setFont(markupFont(state_.currentFontSize()));
    QPalette palette = edit_->palette();
    palette.setColor(QPalette::Text, state_.currentColor());
    QColor placeholder = state_.currentColor();
    placeholder.setAlphaF(0.45f);
    palette.setColor(QPalette::PlaceholderText, placeholder);
    edit_->setPalette(palette);
    if (edit_->text() != state_.editingText()) {
        const QSignalBlocker quiet(edit_);
        edit_->setText(state_.editingText());
    }
    fitToContents();
    show();
    raise();
    if (state_.textFocused() && !edit_->hasFocus()) {
        edit_->setFocus(Qt::OtherFocusReason);
    }
}

void FloatingTextField::fitToContents() {
    if (!state_.editingPoint()) {
        return;
    }
    const QFontMetricsF metrics(edit_->font());
    const QString shown = edit_->text().isEmpty() ? edit_->placeholderText() : edit_->text();
    // Room for the caret after the last letter.
    const int textWidth = static_cast<int>(std::ceil(metrics.horizontalAdvance(shown))) + 4;
    const int textHeight = static_cast<int>(std::ceil(metrics.height()));
    const QSize size(textWidth + 2 * horizontalPadding, textHeight + 2 * verticalPadding);
    edit_->setGeometry(horizontalPadding, verticalPadding, textWidth, textHeight);
    resize(size);
    const QPointF centre = *state_.editingPoint();
    move(static_cast<int>(std::lround(centre.x() - size.width() / 2.0)),
         static_cast<int>(std::lround(centre.y() - size.height() / 2.0)));
}

void FloatingTextField::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::white);
    painter.setPen(QPen(QColor(0, 0, 0, 15), 0.5)); // 6 %
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.25, 0.25, -0.25, -0.25), cornerRadius,
                            cornerRadius);
}

bool FloatingTextField::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            state_.commitText();
            return true;
        }
        if (key == Qt::Key_Escape) {
            state_.cancelText();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace velloq::editor
