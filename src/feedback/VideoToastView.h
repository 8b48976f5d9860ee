#pragma once

// The video card: the poster frame with the duration and a play mark, the
// link with Copy, and "Open in browser" and Save.

#include "feedback/CardView.h"

#include <optional>
#include <QImage>
#include <string>

namespace velloq {

class VideoToastView final : public CardView {
public:
    static constexpr double aspect = 16.0 / 9.0;
    static constexpr double playMarkSize = 50;

    // Save is disabled when there is no recording file to copy.
    VideoToastView(std::string_view url, std::optional<QImage> poster, std::string_view duration,
                   bool hasFile);

    std::function<void()> onOpen;
    std::function<void()> onSave;

protected:
    void paintThumbnail(QPainter& painter, const QRectF& area) override;

private:
    std::optional<QImage> poster_;
    QString duration_;
};

} // namespace velloq
