#include "recording/RippleAnimation.h"

namespace velloq::recording {
namespace {

// One coordinate of a cubic Bézier from 0 to 1 with inner control values a and b.
double bezier(double a, double b, double s) {
    const double r = 1 - s;
    return 3 * r * r * s * a + 3 * r * s * s * b + s * s * s;
}

double mix(double from, double to, double progress) {
    return from + (to - from) * progress;
}

} // namespace

double easeOut(double t) {
    if (!(t > 0)) {
        return 0;
    }
    if (t >= 1) {
        return 1;
    }
    // x(s) rises monotonically on [0, 1]: find the s whose x is t by halving.
    double low = 0;
    double high = 1;
    for (int step = 0; step < 40; ++step) {
        const double middle = (low + high) / 2;
        (bezier(0, 0.58, middle) < t ? low : high) = middle;
    }
    return bezier(0, 1, (low + high) / 2);
}

RippleLayers rippleAt(double seconds) {
    const double p = easeOut(seconds / RippleStyle::growSeconds);
    return {mix(0.15, 1.0, p), mix(0.4, 0.0, p), mix(0.3, 1.0, p), mix(0.95, 0.0, p)};
}

} // namespace velloq::recording
