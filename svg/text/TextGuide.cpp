#include "svg/text/TextGuide.h"

#include <algorithm>
#include <cmath>

namespace plumwick {

TTextGuidePath::TTextGuidePath(const std::vector<float>& Points)
{
    // Zero-length steps carry no direction: they are left out.
    bool jump = false;
    for (std::size_t i = 0; i + 1 < Points.size(); i += 2) {
        const float x = Points[i];
        const float y = Points[i + 1];
        if (!std::isfinite(x) || !std::isfinite(y)) {
            jump = !FPoints.empty();
            continue;
        }
        if (jump) {
            // The step to a new subpath has no length, so no distance ever falls on it.
            jump = false;
        } else if (!FPoints.empty()) {
            const float d = std::hypot(x - FPoints[FPoints.size() - 2], y - FPoints.back());
            if (!(d > 0)) continue;
            FTotal += d;
        }
        FPoints.push_back(x);
        FPoints.push_back(y);
        FCumulative.push_back(FTotal);
    }
}

bool TTextGuidePath::PointAt(float Distance, TGuidePoint& Point) const
{
    if (FCumulative.size() < 2 || !(Distance >= 0) || Distance > FTotal) return false;
    auto it = std::upper_bound(FCumulative.begin(), FCumulative.end(), Distance);
    std::size_t k = static_cast<std::size_t>(it - FCumulative.begin());
    k = std::clamp<std::size_t>(k, 1, FCumulative.size() - 1);  // segment from point k-1 to k
    const float x0 = FPoints[2 * (k - 1)];
    const float y0 = FPoints[2 * (k - 1) + 1];
    const float x1 = FPoints[2 * k];
    const float y1 = FPoints[2 * k + 1];
    const float len = FCumulative[k] - FCumulative[k - 1];
    const float t = len > 0 ? (Distance - FCumulative[k - 1]) / len : 0;
    Point.X = x0 + (x1 - x0) * t;
    Point.Y = y0 + (y1 - y0) * t;
    Point.Angle = std::atan2(y1 - y0, x1 - x0);
    return true;
}

}  // namespace plumwick
