#include "editor/AnnotationLayer.h"

#include "editor/AnnotationPainter.h"

#include <cmath>
#include <QPainter>

namespace velloq::editor {

namespace {

// Whether `ids` are, in order, the first ones of `annotations`.
bool isPrefixOf(const std::vector<QUuid>& ids, const AnnotationList& annotations) {
    if (ids.size() > annotations.size()) {
        return false;
    }
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (ids[i] != annotations[i].id) {
            return false;
        }
    }
    return true;
}

QImage cleared(QSize device, double ratio) {
    QImage image(device, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

void AnnotationLayer::drawRange(QImage& image, std::vector<QUuid>& ids,
                                const AnnotationList& annotations, std::size_t from,
                                std::size_t to) {
    if (from >= to || image.isNull()) {
        return;
    }
    lastDrawn_ += to - from;
    QPainter painter(&image);
    for (std::size_t i = from; i < to; ++i) {
        drawAnnotation(annotations[i], painter);
        ids.push_back(annotations[i].id);
    }
}

void AnnotationLayer::advanceBase(const AnnotationList& annotations) {
    if (annotations.size() - baseIds_.size() <= 2 * reach) {
        return;
    }
    drawRange(base_, baseIds_, annotations, baseIds_.size(), annotations.size() - reach);
}

const QImage& AnnotationLayer::update(const AnnotationList& annotations, QSize size, double ratio) {
    lastDrawn_ = 0;
    const QSize device(static_cast<int>(std::ceil(size.width() * ratio)),
                       static_cast<int>(std::ceil(size.height() * ratio)));
    if (image_.size() != device || image_.devicePixelRatio() != ratio) {
        image_ = cleared(device, ratio);
        base_ = image_.copy();
        drawn_.clear();
        baseIds_.clear();
    }
    if (!isPrefixOf(drawn_, annotations)) {
        if (!isPrefixOf(baseIds_, annotations)) {
            base_ = cleared(device, ratio);
            baseIds_.clear();
        }
        advanceBase(annotations);
        image_ = base_.copy();
        drawn_ = baseIds_;
    }
    drawRange(image_, drawn_, annotations, drawn_.size(), annotations.size());
    // The base follows the newest annotations at a distance, ready for the next undo.
    advanceBase(annotations);
    return image_;
}

} // namespace velloq::editor
