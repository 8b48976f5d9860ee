#include "editor/AnnotationLayer.h"

#include "editor/AnnotationPainter.h"

#include <cmath>
#include <QPainter>

namespace velloq::editor {

namespace {

// Whether the layer's annotations are, in order, the first ones of `annotations`.
bool isPrefixOf(const std::vector<QUuid>& drawn, const AnnotationList& annotations) {
    if (drawn.size() > annotations.size()) {
        return false;
    }
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        if (drawn[i] != annotations[i].id) {
            return false;
        }
    }
    return true;
}

} // namespace

const QImage& AnnotationLayer::update(const AnnotationList& annotations, QSize size, double ratio) {
    const QSize device(static_cast<int>(std::ceil(size.width() * ratio)),
                       static_cast<int>(std::ceil(size.height() * ratio)));
    if (image_.size() != device || image_.devicePixelRatio() != ratio ||
        !isPrefixOf(drawn_, annotations)) {
        image_ = QImage(device, QImage::Format_ARGB32_Premultiplied);
        image_.setDevicePixelRatio(ratio);
        image_.fill(Qt::transparent);
        drawn_.clear();
    }
    lastDrawn_ = annotations.size() - drawn_.size();
    if (lastDrawn_ > 0 && !image_.isNull()) {
        QPainter painter(&image_);
        for (std::size_t i = drawn_.size(); i < annotations.size(); ++i) {
            drawAnnotation(annotations[i], painter);
            drawn_.push_back(annotations[i].id);
        }
    }
    return image_;
}

} // namespace velloq::editor
