#include "editor/EditorBottomBar.h"

#include "editor/EditorActions.h"
#include "editor/EditorStyle.h"
#include "ui/Glyphs.h"
#include "ui/Theme.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace velloq::editor {

namespace {

QPushButton* borderedButton(const QString& label, std::string_view symbol, const QString& help,
                            QWidget* parent) {
    auto* button = new QPushButton(label, parent);
    button->setIcon(glyphIcon(symbol, 16, EditorStyle::primary(*parent)));
    button->setIconSize(QSize(16, 16));
    button->setToolTip(help);
    // Clicking a button leaves the keyboard focus where it was, in the text field say.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

EditorBottomBar::EditorBottomBar(EditorActions& actions, QWidget* parent) : QWidget(parent) {
    setFixedHeight(56);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(16, 0, 16, 0);
    row->setSpacing(8);
    row->addStretch(1);

    open_ = borderedButton(QStringLiteral("Open"), "arrow.up.right.square",
                           QStringLiteral("Upload and open the link in your browser"), this);
    save_ = borderedButton(QStringLiteral("Save"), "square.and.arrow.down",
                           QStringLiteral("Save the annotated image to a file"), this);
    copyImage_ = borderedButton(
        QStringLiteral("Copy Image"), "doc.on.doc",
        QStringLiteral("Copy the annotated image to the clipboard (Ctrl+Super+C)"), this);
    copyLink_ = new QPushButton(QStringLiteral("Copy Link && Done"), this); // "&&" shows one "&"
    copyLink_->setFocusPolicy(Qt::NoFocus);
    copyLink_->setDefault(false);
    copyLink_->setAutoDefault(false);
    const QColor coral = Theme::coral();
    copyLink_->setStyleSheet(
        QStringLiteral("QPushButton { background: %1; color: white; border: none;"
                       " border-radius: 6px; padding: 5px 14px; font-weight: 600; }"
                       "QPushButton:pressed { background: %2; }")
            .arg(coral.name(), coral.darker(115).name()));

    connect(open_, &QPushButton::clicked, this, [&actions] { actions.openAction(); });
    connect(save_, &QPushButton::clicked, this, [&actions] { actions.saveAction(); });
    connect(copyImage_, &QPushButton::clicked, this, [&actions] { actions.copyImageAction(); });
    connect(copyLink_, &QPushButton::clicked, this,
            [&actions] { actions.copyLinkAndDoneAction(); });
    for (QPushButton* button : {open_, save_, copyImage_, copyLink_}) {
        row->addWidget(button);
    }
}

} // namespace velloq::editor
