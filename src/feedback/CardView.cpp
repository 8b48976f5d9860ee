#include "feedback/CardView.h"

#include "feedback/FeedbackStyle.h"

#include <cmath>
#include <QPainter>

namespace velloq {

CardView::CardView(std::string_view url, double aspect)
    : aspect_(aspect),
      linkRow_(new LinkRow(QString::fromUtf8(url.data(), qsizetype(url.size())), this)) {
    linkRow_->onCopy = [this] {
        if (onCopy) {
            onCopy();
        }
    };
}

QRectF CardView::thumbnailRect() const {
    const double inner = cardWidth - padding * 2;
    return {padding, padding, inner, inner / aspect_};
}

QSize CardView::sizeHint() const {
    const double bottom = thumbnailRect().bottom() + spacing + LinkRow::rowHeight + spacing +
                          CardButton::buttonHeight;
    return {static_cast<int>(cardWidth), static_cast<int>(std::ceil(bottom + padding))};
}

CardButton* CardView::addButton(Symbol symbol, const QString& label, const char* name) {
    auto* button = new CardButton(symbol, label, CardButton::Style::plain, this);
    button->setObjectName(QString::fromLatin1(name));
    buttons_.push_back(button);
    resizeEvent(nullptr);
    return button;
}

void CardView::resizeEvent(QResizeEvent*) {
    const QRectF thumbnail = thumbnailRect();
    const double rowTop = thumbnail.bottom() + spacing;
    linkRow_->setGeometry(
        QRectF(padding, rowTop, thumbnail.width(), LinkRow::rowHeight).toAlignedRect());
    if (buttons_.empty()) {
        return;
    }
    const double buttonsTop = rowTop + LinkRow::rowHeight + spacing;
    const double count = static_cast<double>(buttons_.size());
    const double each = (thumbnail.width() - buttonSpacing * (count - 1)) / count;
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        const double left = padding + static_cast<double>(i) * (each + buttonSpacing);
        // Round both edges, not the width, so the gaps stay even.
        const int x0 = static_cast<int>(std::lround(left));
        const int x1 = static_cast<int>(std::lround(left + each));
        buttons_[i]->setGeometry(x0, static_cast<int>(std::lround(buttonsTop)), x1 - x0,
                                 static_cast<int>(CardButton::buttonHeight));
    }
}

void CardView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paintPanelBackground(painter, QRectF(rect()), cornerRadius(), translucent());

    const QRectF thumbnail = thumbnailRect();
    painter.save();
    painter.setClipPath(continuousRoundedRect(thumbnail, thumbnailRadius));
    paintThumbnail(painter, thumbnail);
    painter.restore();
}

} // namespace velloq
