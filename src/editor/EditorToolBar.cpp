#include "editor/EditorToolBar.h"

#include "editor/EditorState.h"
#include "editor/EditorStyle.h"
#include "editor/MarkupTables.h"
#include "editor/ToolBarButtons.h"

#include <QHBoxLayout>
#include <QPainter>

namespace velloq::editor {

namespace {

// A vertical hairline 22 points tall with 4 points either side.
class Divider final : public QWidget {
public:
    explicit Divider(QWidget* parent) : QWidget(parent) { setFixedSize(9, 22); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(QRectF(4, 0, 1, height()), EditorStyle::primary(*this, 0.15));
    }
};

// The rounded tray the three size buttons sit on.
class SizeGroup final : public QWidget {
public:
    explicit SizeGroup(QWidget* parent) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(EditorStyle::primary(*this, 0.07));
        painter.drawRoundedRect(QRectF(rect()), 8, 8);
    }
};

} // namespace

EditorToolBar::EditorToolBar(EditorState& state, QWidget* parent) : QWidget(parent), state_(state) {
    setFixedHeight(50);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(12, 0, 12, 0);
    row->setSpacing(5);

    undo_ = new SymbolButton("arrow.uturn.backward", QSize(30, 28), this);
    redo_ = new SymbolButton("arrow.uturn.forward", QSize(30, 28), this);
    connect(undo_, &QAbstractButton::clicked, this, [this] { state_.undo(); });
    connect(redo_, &QAbstractButton::clicked, this, [this] { state_.redo(); });
    row->addWidget(undo_);
    row->addWidget(redo_);
    row->addWidget(new Divider(this));

    for (std::size_t i = 0; i < allTools.size(); ++i) {
        const AnnotationTool tool = allTools.at(i);
        auto* button = new SymbolButton(std::string(symbol(tool)), QSize(32, 28), this);
        connect(button, &QAbstractButton::clicked, this, [this, tool] { state_.selectTool(tool); });
        tools_.at(i) = button;
        row->addWidget(button);
    }
    row->addWidget(new Divider(this));

    auto* group = new SizeGroup(this);
    group->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* groupRow = new QHBoxLayout(group);
    groupRow->setContentsMargins(3, 3, 3, 3);
    groupRow->setSpacing(2);
    for (std::size_t i = 0; i < sizes_.size(); ++i) {
        auto* button = new SizeButton(group);
        const int index = static_cast<int>(i);
        connect(button, &QAbstractButton::clicked, this,
                [this, index] { state_.selectSize(index); });
        sizes_.at(i) = button;
        groupRow->addWidget(button);
    }
    row->addWidget(group);
    row->addWidget(new Divider(this));

    for (std::size_t i = 0; i < swatches_.size(); ++i) {
        auto* button = new SwatchButton(markupPalette().at(i), this);
        const int index = static_cast<int>(i);
        connect(button, &QAbstractButton::clicked, this,
                [this, index] { state_.selectColor(index); });
        swatches_.at(i) = button;
        row->addWidget(button);
    }
    row->addStretch(1);
    refresh();
}

void EditorToolBar::refresh() {
    undo_->setEnabled(state_.canUndo());
    redo_->setEnabled(state_.canRedo());
    for (std::size_t i = 0; i < tools_.size(); ++i) {
        tools_.at(i)->setSelected(allTools.at(i) == state_.tool());
    }
    const bool fonts = state_.sizeChoice() == SizeChoice::fontSize;
    for (std::size_t i = 0; i < sizes_.size(); ++i) {
        sizes_.at(i)->present(fonts ? SizeButton::Shows::fontSize : SizeButton::Shows::strokeWidth,
                              fonts ? fontSizes.at(i) : strokeWidths.at(i), state_.currentColor());
        sizes_.at(i)->setSelected(static_cast<int>(i) == state_.sizeIndex());
    }
    for (std::size_t i = 0; i < swatches_.size(); ++i) {
        swatches_.at(i)->setSelected(static_cast<int>(i) == state_.colorIndex());
    }
}

} // namespace velloq::editor
