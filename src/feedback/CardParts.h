#pragma once

// The pieces both result cards are made of: their buttons, the link row with
// its Copy button, and the badge over the thumbnail.

#include "ui/Glyphs.h"

#include <functional>
#include <QAbstractButton>
#include <QString>

namespace velloq {

// A symbol and a label on a rounded fill; the accent style is the coral Copy button.
class CardButton final : public QAbstractButton {
public:
    enum class Style { accent, plain };
    static constexpr double buttonHeight = 28;
    static constexpr double radius = 7;

    CardButton(Symbol symbol, const QString& label, Style style, QWidget* parent);
    void setContent(Symbol symbol, const QString& label);
    Symbol symbol() const { return symbol_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont labelFont() const;

    Symbol symbol_;
    Style style_;
};

// The link with its symbol and the Copy button, which turns into "Copied" for
// the rest of the card's life once pressed.
class LinkRow final : public QWidget {
public:
    static constexpr double rowHeight = 42;

    LinkRow(const QString& url, QWidget* parent);
    std::function<void()> onCopy;
    bool copied() const { return copied_; }
    const QString& url() const { return url_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QString url_;
    CardButton* copy_;
    bool copied_ = false;
};

// A white label with its symbol on a coral capsule, with its top-left corner at `topLeft`.
void paintBadge(QPainter& painter, const QWidget& widget, QPointF topLeft, Symbol symbol,
                const QString& label);

} // namespace velloq
