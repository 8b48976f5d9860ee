#pragma once

// The one place that decides where the product's images go: the shared
// editor, the sharing service, the result cards and the banner.

#include "ui/ImageRoutes.h"

namespace velloq {

[[nodiscard]] ImageRoutes productRoutes();

// Hands the routes to the still-capture pipeline and the editor.
void wireProductRoutes();

} // namespace velloq
