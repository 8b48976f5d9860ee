#pragma once

// The screenshot card: the capture, its link with Copy, and Open, Markup and Save.

#include "feedback/CardView.h"

#include <QImage>

namespace velloq {

class ToastView final : public CardView {
public:
    static constexpr double aspect = 1.6;

    ToastView(std::string_view url, QImage image);

    std::function<void()> onOpen;
    std::function<void()> onMarkup;
    std::function<void()> onSave;

protected:
    void paintThumbnail(QPainter& painter, const QRectF& area) override;

private:
    QImage image_;
};

} // namespace velloq
