// The CSS blend modes, separable and non-separable, on straight ARGB pixels.

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/GdiPlusPrivate.h"

namespace plumwick {

namespace {

using TRGB = std::array<double, 3>;

double Separable(BlendMode mode, double cb, double cs)
{
    auto multiply = [](double b, double s) { return b * s; };
    auto screen = [](double b, double s) { return b + s - b * s; };
    auto hardLight = [&](double b, double s) { return s <= 0.5 ? multiply(b, 2 * s) : screen(b, 2 * s - 1); };
    switch (mode) {
        case BlendModeMultiply:
            return multiply(cb, cs);
        case BlendModeScreen:
            return screen(cb, cs);
        case BlendModeOverlay:
            return hardLight(cs, cb);
        case BlendModeDarken:
            return std::min(cb, cs);
        case BlendModeLighten:
            return std::max(cb, cs);
        case BlendModeColorDodge:
            if (cb == 0) return 0;
            return cs >= 1 ? 1 : std::min(1.0, cb / (1 - cs));
        case BlendModeColorBurn:
            if (cb >= 1) return 1;
            return cs <= 0 ? 0 : 1 - std::min(1.0, (1 - cb) / cs);
        case BlendModeHardLight:
            return hardLight(cb, cs);
        case BlendModeSoftLight: {
            if (cs <= 0.5) return cb - (1 - 2 * cs) * cb * (1 - cb);
            const double d = cb <= 0.25 ? ((16 * cb - 12) * cb + 4) * cb : std::sqrt(cb);
            return cb + (2 * cs - 1) * (d - cb);
        }
        case BlendModeDifference:
            return std::abs(cb - cs);
        case BlendModeExclusion:
            return cb + cs - 2 * cb * cs;
        default:
            return cs;
    }
}

double Lum(const TRGB& c)
{
    return 0.3 * c[0] + 0.59 * c[1] + 0.11 * c[2];
}

TRGB ClipColor(TRGB c)
{
    const double l = Lum(c);
    const double n = std::min({c[0], c[1], c[2]});
    const double x = std::max({c[0], c[1], c[2]});
    for (double& v : c) {
        if (n < 0) v = l + (v - l) * l / (l - n);
        if (x > 1) v = l + (v - l) * (1 - l) / (x - l);
    }
    return c;
}

TRGB SetLum(TRGB c, double l)
{
    const double d = l - Lum(c);
    for (double& v : c) v += d;
    return ClipColor(c);
}

double Sat(const TRGB& c)
{
    return std::max({c[0], c[1], c[2]}) - std::min({c[0], c[1], c[2]});
}

TRGB SetSat(TRGB c, double s)
{
    std::array<double*, 3> order{&c[0], &c[1], &c[2]};
    std::sort(order.begin(), order.end(), [](double* a, double* b) { return *a < *b; });
    double& mn = *order[0];
    double& mid = *order[1];
    double& mx = *order[2];
    if (mx > mn) {
        mid = (mid - mn) * s / (mx - mn);
        mx = s;
    } else {
        mid = mx = 0;
    }
    mn = 0;
    return c;
}

TRGB Blend(BlendMode mode, const TRGB& cb, const TRGB& cs)
{
    switch (mode) {
        case BlendModeHue:
            return SetLum(SetSat(cs, Sat(cb)), Lum(cb));
        case BlendModeSaturation:
            return SetLum(SetSat(cb, Sat(cs)), Lum(cb));
        case BlendModeColor:
            return SetLum(cs, Lum(cb));
        case BlendModeLuminosity:
            return SetLum(cb, Lum(cs));
        default:
            return {Separable(mode, cb[0], cs[0]), Separable(mode, cb[1], cs[1]), Separable(mode, cb[2], cs[2])};
    }
}

}  // namespace

void BlendWithBackdrop(QImage& source, const QImage& backdrop, BlendMode mode)
{
    if (source.size() != backdrop.size() || source.format() != QImage::Format_ARGB32 ||
        backdrop.format() != QImage::Format_ARGB32)
        return;
    for (int y = 0; y < source.height(); ++y) {
        auto* s = reinterpret_cast<QRgb*>(source.scanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(backdrop.constScanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            const int as = qAlpha(s[x]);
            const int ab = qAlpha(b[x]);
            if (as == 0 || ab == 0) continue;
            const TRGB cs{qRed(s[x]) / 255.0, qGreen(s[x]) / 255.0, qBlue(s[x]) / 255.0};
            const TRGB cb{qRed(b[x]) / 255.0, qGreen(b[x]) / 255.0, qBlue(b[x]) / 255.0};
            const TRGB mixed = Blend(mode, cb, cs);
            const double k = ab / 255.0;
            auto channel = [&](int i) {
                const double v = (1 - k) * cs[i] + k * std::clamp(mixed[i], 0.0, 1.0);
                return static_cast<int>(std::lround(v * 255));
            };
            s[x] = qRgba(channel(0), channel(1), channel(2), as);
        }
    }
}

}  // namespace plumwick
