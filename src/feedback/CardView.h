#pragma once

// What the two result cards share: a thumbnail on top, the link row under it,
// a row of equally wide buttons at the bottom, on a rounded panel background.

#include "feedback/CardParts.h"
#include "feedback/PanelContent.h"

#include <string_view>
#include <vector>

namespace velloq {

class CardView : public PanelContent {
public:
    static constexpr double cardWidth = 332;
    static constexpr double padding = 12;
    static constexpr double spacing = 11;
    static constexpr double buttonSpacing = 6;
    static constexpr double thumbnailRadius = 10;

    // The Copy button was pressed: the link is on the clipboard again.
    std::function<void()> onCopy;
    bool copied() const { return linkRow_->copied(); }

    QRectF thumbnailRect() const;
    QSize sizeHint() const override;
    double cornerRadius() const override { return 16; }

protected:
    // `aspect` is the thumbnail's width over its height.
    CardView(std::string_view url, double aspect);
    // Appends a button to the bottom row; `name` lets tests and scripts find it.
    CardButton* addButton(Symbol symbol, const QString& label, const char* name);
    virtual void paintThumbnail(QPainter& painter, const QRectF& area) = 0;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    double aspect_;
    LinkRow* linkRow_;
    std::vector<CardButton*> buttons_;
};

} // namespace velloq
