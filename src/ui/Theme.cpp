#include "ui/Theme.h"

namespace velloq {

// Function-local statics: created once, thread-safe on first use.
#define VELLOQ_THEME_COLOUR(name, r, g, b)                                                         \
    const QColor& Theme::name() {                                                                  \
        static const QColor colour = QColor::fromRgbF(r, g, b, 1.0f);                              \
        return colour;                                                                             \
    }

VELLOQ_THEME_COLOUR(coral, 1.0f, 0.302f, 0.255f)
VELLOQ_THEME_COLOUR(coralDeep, 1.0f, 0.271f, 0.227f)
VELLOQ_THEME_COLOUR(green, 0.23f, 0.701f, 0.376f)
VELLOQ_THEME_COLOUR(amber, 0.95f, 0.69f, 0.214f)
VELLOQ_THEME_COLOUR(red, 0.916f, 0.235f, 0.247f)
VELLOQ_THEME_COLOUR(ink, 0.12f, 0.12f, 0.14f)
VELLOQ_THEME_COLOUR(gray, 0.557f, 0.557f, 0.576f)
VELLOQ_THEME_COLOUR(purple, 0.545f, 0.361f, 0.965f)
VELLOQ_THEME_COLOUR(blue, 0.231f, 0.51f, 0.769f)
VELLOQ_THEME_COLOUR(violet, 0.535f, 0.262f, 0.86f)
VELLOQ_THEME_COLOUR(sky, 0.0f, 0.549f, 0.916f)
VELLOQ_THEME_COLOUR(night, 0.102f, 0.102f, 0.133f)
VELLOQ_THEME_COLOUR(black, 0.086f, 0.086f, 0.098f)
VELLOQ_THEME_COLOUR(mist, 0.874f, 0.878f, 0.894f)

#undef VELLOQ_THEME_COLOUR

} // namespace velloq
