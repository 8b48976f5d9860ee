#pragma once

// One command row of the tray panel: an optional symbol in a fixed slot, the
// title and an optional shortcut label, on a rounded background that takes
// the accent colour while the pointer is over the row.

#include <QAbstractButton>
#include <string>

namespace velloq {

class MenuItemView final : public QAbstractButton {
public:
    static constexpr int height = 26;
    static constexpr int innerPadding = 9;
    static constexpr int iconSlot = 16;
    static constexpr int iconPoints = 13;
    static constexpr int spacing = 8;
    static constexpr double cornerRadius = 6;
    static constexpr double titlePoints = 13.5;
    static constexpr double shortcutPoints = 13;
    // Where every title starts, whether or not its row has a symbol.
    static constexpr int titleX = innerPadding + iconSlot + spacing;

    MenuItemView(QString title, std::string systemImage, QString shortcut, bool isDanger,
                 QWidget* parent = nullptr);

    bool hovering() const { return hovering_; }
    const QString& shortcut() const { return shortcut_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    std::string systemImage_;
    QString shortcut_;
    bool isDanger_;
    bool hovering_ = false;
};

} // namespace velloq
