#pragma once

// A panel's content laid out as one row of pieces: each piece has a size,
// paints itself, and may be a button (an action and a tooltip) or host a
// child view. The bars rebuild their row whenever the model changes; the same
// row serves painting, clicks and tooltips.

#include <functional>
#include <QRectF>
#include <QString>
#include <QWidget>
#include <vector>

namespace velloq::recording {

struct BarPiece {
    using Paint = std::function<void(QPainter&, const QRectF&)>;
    BarPiece(QSizeF pieceSize, Paint painter = {}, std::function<void()> press = {},
             QString tip = {})
        : size(pieceSize), paint(std::move(painter)), action(std::move(press)),
          tooltip(std::move(tip)) {}
    // A part of a piece at `at`, relative to the piece's corner.
    static BarPiece part(QRectF at, std::function<void()> press, QString tip,
                         QWidget* view = nullptr) {
        BarPiece piece(at.size(), {}, std::move(press), std::move(tip));
        piece.rect = at;
        piece.child = view;
        return piece;
    }

    QSizeF size;
    std::function<void(QPainter&, const QRectF&)> paint; // may be empty
    std::function<void()> action;                        // empty: not a button
    QString tooltip;
    QWidget* child = nullptr; // placed over the piece's rectangle
    QRectF rect;              // set by the layout
    // Buttons and views inside the piece, their rectangles relative to its corner.
    std::vector<BarPiece> parts;
};

class BarView : public QWidget {
public:
    BarView(bool translucent, double padding, double spacing);

    QSize sizeHint() const override;
    const std::vector<BarPiece>& pieces() const { return pieces_; }
    // Runs the action of the button with this tooltip; false when there is none.
    bool press(const QString& tooltip);

    // A divider piece with `padding` on each side.
    static BarPiece divider(double padding);

protected:
    // The row, left to right; rectangles are filled in by the layout.
    virtual std::vector<BarPiece> row() = 0;
    virtual double cornerRadius() const { return 16; }
    // Rebuilds the row, re-fits the view and repaints.
    void relayout();
    bool translucent() const { return translucent_; }

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    // A piece's parts, then the piece itself.
    static std::vector<const BarPiece*> allOf(const BarPiece& piece);
    const BarPiece* pieceAt(QPointF point) const;

    bool translucent_;
    double padding_;
    double spacing_;
    std::vector<BarPiece> pieces_;
    QSizeF size_;
};

} // namespace velloq::recording
