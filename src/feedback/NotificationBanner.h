#pragma once

// A short outcome or error, styled like a desktop notification: the brand
// mark with a severity badge, the title with "now", and the message.

#include "feedback/PanelContent.h"
#include "ui/Glyphs.h"
#include "ui/Severity.h"

#include <functional>
#include <QString>
#include <string_view>

namespace velloq {

class NotificationBanner final : public PanelContent {
public:
    static constexpr double bannerWidth = 344;
    static constexpr double padding = 14;
    static constexpr double markSize = 40;
    static constexpr double badgeSize = 18;

    NotificationBanner(Severity severity, std::string_view title, std::string_view message);

    // A click anywhere on the banner.
    std::function<void()> onClick;

    Severity severity() const { return severity_; }
    // The first line: the title, or "Velloq" when it is empty.
    const QString& shownTitle() const { return title_; }
    const QString& message() const { return message_; }

    static QColor badgeColour(Severity severity);
    static Symbol badgeSymbol(Severity severity);
    // Where the brand mark and its badge sit, in the banner's coordinates.
    static QRectF markRect();
    static QRectF badgeRect();

    QSize sizeHint() const override;
    double cornerRadius() const override { return 18; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct Lines;
    Lines layOut() const;

    Severity severity_;
    QString title_;
    QString message_;
};

} // namespace velloq
