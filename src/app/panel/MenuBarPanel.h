#pragma once

// The tray panel's content: a header with the brand badge, "Velloq" and the
// live status of the sharing service, then the five command rows, each below
// a divider. It redraws whenever a health probe completes.

#include "app/panel/PanelActions.h"
#include "net/StatusService.h"

#include <array>
#include <cstddef>
#include <QColor>
#include <QString>
#include <QWidget>

namespace velloq {

class MenuItemView;

class MenuBarPanel final : public QWidget {
public:
    static constexpr int panelWidth = 255;
    static constexpr int padding = 6;
    static constexpr int headerInsetX = 9;
    static constexpr int headerInsetTop = 7;
    static constexpr int headerInsetBottom = 9;
    static constexpr int badgeSize = 26;
    static constexpr int headerSpacing = 9;
    static constexpr int dotSize = 6;
    static constexpr int dotGap = 5;
    static constexpr int dividerInset = 8;
    static constexpr int dividerMargin = 5;
    static constexpr int rowCount = 5;

    struct StatusLine {
        QColor dot;
        QString text;
    };
    static StatusLine statusLine(StatusService::Status status);

    MenuBarPanel(StatusService& service, PanelActions actions, QWidget* parent = nullptr);
    ~MenuBarPanel() override;
    MenuBarPanel(const MenuBarPanel&) = delete;
    MenuBarPanel& operator=(const MenuBarPanel&) = delete;

    // The status line as it reads now.
    QString statusText() const;
    MenuItemView* row(std::size_t index) const { return rows_.at(index); }
    // The 26-point badge and the status dot, in panel coordinates.
    QRectF badgeRect() const;
    QRectF dotRect() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The header's content height: the badge or the two text lines, whichever is taller.
    double headerContentHeight() const;
    void layOutRows();

    StatusService& service_;
    std::size_t observer_ = 0;
    PanelActions actions_;
    std::array<MenuItemView*, rowCount> rows_{};
};

} // namespace velloq
