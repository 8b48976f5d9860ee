#pragma once

// The editor tool bar's buttons. Each paints its own face and never takes the
// keyboard focus, so an open text field keeps typing while the user picks a
// colour or a size.

#include <QAbstractButton>
#include <string>

namespace velloq::editor {

class FaceButton : public QAbstractButton {
public:
    FaceButton(QSize size, QWidget* parent);
    QSize sizeHint() const override { return size_; }
    bool selected() const { return selected_; }
    void setSelected(bool selected);

protected:
    void paintEvent(QPaintEvent* event) override;
    virtual void paintFace(QPainter& painter, const QRectF& box) = 0;

private:
    QSize size_;
    bool selected_ = false;
};

// A symbol in its frame: drawn in the label colour, or white on a coral rounded
// rectangle when it is the selected tool.
class SymbolButton final : public FaceButton {
public:
    SymbolButton(std::string symbol, QSize size, QWidget* parent);
    const std::string& symbol() const { return symbol_; }

protected:
    void paintFace(QPainter& painter, const QRectF& box) override;

private:
    std::string symbol_;
};

// One of the size group's three: a stroke width shown as a bar that thick, or a
// font size shown as the letter "A" at that size, in the current colour.
class SizeButton final : public FaceButton {
public:
    enum class Shows { strokeWidth, fontSize };
    SizeButton(QWidget* parent);
    void present(Shows shows, double value, const QColor& colour);
    Shows shows() const { return shows_; }

protected:
    void paintFace(QPainter& painter, const QRectF& box) override;

private:
    Shows shows_ = Shows::strokeWidth;
    double value_ = 0;
    QColor colour_;
};

// A palette colour as a small disc; the selected one gets a coral ring.
class SwatchButton final : public FaceButton {
public:
    SwatchButton(QColor colour, QWidget* parent);
    const QColor& colour() const { return colour_; }

protected:
    void paintFace(QPainter& painter, const QRectF& box) override;

private:
    QColor colour_;
};

} // namespace velloq::editor
