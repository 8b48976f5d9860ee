#pragma once

// The pieces of a grouped settings form: a page with the pane's title, and
// sections of rows on a rounded card, each section with an optional header
// above the card and an optional footer below it.

#include <QFrame>
#include <QScrollArea>
#include <QString>
#include <QWidget>

class QLabel;
class QVBoxLayout;

namespace velloq {

class FormSection final : public QWidget {
public:
    FormSection(const QString& header, QWidget* parent = nullptr);

    // Adds a row to the card; rows after the first get a hairline above them.
    void addRow(QWidget* row);
    void setFooter(const QString& footer);

private:
    QFrame* card_;
    QVBoxLayout* rows_;
    QLabel* footer_;
};

// A row: a label (with an optional caption under it) on the left and a
// control on the right. Returns the row; the control becomes its child.
QWidget* formRow(const QString& label, QWidget* control, const QString& caption = {});

// The scrolling page of one pane: its title and its sections, top to bottom.
class FormPage : public QScrollArea {
public:
    explicit FormPage(const QString& title, QWidget* parent = nullptr);

    FormSection* addSection(const QString& header = {});
    // Anything else, full width, between the sections.
    void addWidget(QWidget* widget);

private:
    QVBoxLayout* column_;
};

// Small secondary text, as footers and captions use.
QLabel* secondaryLabel(const QString& text, QWidget* parent = nullptr);

} // namespace velloq
