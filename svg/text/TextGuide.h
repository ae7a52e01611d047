#pragma once

// A guide for text on a path: a polyline measured by length, answering where a distance along it
// lies and which way it runs there.

#include <vector>

namespace plumwick {

struct TGuidePoint {
    float X = 0;
    float Y = 0;
    float Angle = 0;  // radians, direction of the segment
};

class TTextGuidePath {
public:
    // Points as x0, y0, x1, y1, ...; a NaN pair starts a new subpath, the jump to it covers no
    // distance.
    explicit TTextGuidePath(const std::vector<float>& Points);

    float Length() const { return FTotal; }
    // The point at Distance from the start; false outside [0, Length].
    [[nodiscard]] bool PointAt(float Distance, TGuidePoint& Point) const;

private:
    std::vector<float> FPoints;
    std::vector<float> FCumulative;  // distance at each point
    float FTotal = 0;
};

}  // namespace plumwick
