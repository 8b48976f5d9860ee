#pragma once

// The end of a still capture: sound, PNG, then the editor, or upload →
// clipboard → card. Failures end in an error banner titled "Velloq".

#include "ui/ImageRoutes.h"

#include <QImage>

namespace velloq::capture {

// Runs on the main thread. `scale` is pixels per point of `image`.
void deliverCapture(const QImage& image, double scale, const ImageRoutes& routes);

} // namespace velloq::capture
