#include "app/settings/FormParts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace velloq {
namespace {

constexpr int rowHeight = 38;
constexpr int sideMargin = 24;

QFont scaled(QFont font, double factor, bool bold = false) {
    font.setPointSizeF(font.pointSizeF() * factor);
    font.setBold(bold);
    return font;
}

} // namespace

QLabel* secondaryLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setFont(scaled(label->font(), 0.88));
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}

FormSection::FormSection(const QString& header, QWidget* parent)
    : QWidget(parent), card_(new QFrame(this)), rows_(new QVBoxLayout(card_)),
      footer_(secondaryLabel({}, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    if (!header.isEmpty()) {
        auto* title = new QLabel(header, this);
        title->setFont(scaled(title->font(), 0.95, true));
        title->setContentsMargins(4, 0, 0, 0);
        layout->addWidget(title);
    }
    card_->setObjectName(QStringLiteral("formCard"));
    card_->setAutoFillBackground(false);
    // The card stands out from the window background in light and dark palettes alike.
    card_->setStyleSheet(QStringLiteral("QFrame#formCard { background: palette(base); "
                                        "border: 1px solid palette(midlight); border-radius: 8px; }"
                                        "QFrame#formHairline { background: palette(midlight); }"));
    rows_->setContentsMargins(12, 0, 12, 0);
    rows_->setSpacing(0);
    layout->addWidget(card_);
    footer_->setContentsMargins(4, 0, 4, 0);
    footer_->hide();
    layout->addWidget(footer_);
}

void FormSection::addRow(QWidget* row) {
    if (rows_->count() > 0) {
        auto* hairline = new QFrame(card_);
        hairline->setObjectName(QStringLiteral("formHairline"));
        hairline->setFixedHeight(1);
        rows_->addWidget(hairline);
    }
    row->setParent(card_);
    row->setMinimumHeight(rowHeight);
    rows_->addWidget(row);
}

void FormSection::setFooter(const QString& footer) {
    footer_->setText(footer);
    footer_->setVisible(!footer.isEmpty());
}

QWidget* formRow(const QString& label, QWidget* control, const QString& caption) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 6, 0, 6);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(1);
    texts->addWidget(new QLabel(label, row));
    if (!caption.isEmpty()) {
        texts->addWidget(secondaryLabel(caption, row));
    }
    layout->addLayout(texts, 1);
    if (control != nullptr) {
        control->setParent(row);
        layout->addWidget(control, 0, Qt::AlignVCenter);
    }
    return row;
}

FormPage::FormPage(const QString& title, QWidget* parent) : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* content = new QWidget;
    column_ = new QVBoxLayout(content);
    column_->setContentsMargins(sideMargin, 16, sideMargin, 20);
    column_->setSpacing(18);
    auto* heading = new QLabel(title, content);
    heading->setObjectName(QStringLiteral("paneTitle"));
    heading->setFont(scaled(heading->font(), 1.45, true));
    column_->addWidget(heading);
    column_->addStretch(1);
    setWidget(content);
}

FormSection* FormPage::addSection(const QString& header) {
    auto* section = new FormSection(header, widget());
    column_->insertWidget(column_->count() - 1, section);
    return section;
}

void FormPage::addWidget(QWidget* widget) {
    widget->setParent(this->widget());
    column_->insertWidget(column_->count() - 1, widget);
}

} // namespace velloq
