// The graphics path class of every element outline.
#pragma once

#include <memory>

#include "platform/GdiPlus.h"

namespace plumwick {

class TGPGraphicsPath2 : public TGPGraphicsPath {
public:
    explicit TGPGraphicsPath2(FillMode fillMode = FillModeAlternate);
    TGPGraphicsPath2(const TGPGraphicsPath& other);

    // A new path of this class with a copy of the points, point types and fill mode; a failure
    // of the copy is recorded on this path.
    std::unique_ptr<TGPGraphicsPath2> Clone() const;

    // Rounded rectangle added to the current figure, clockwise from the end of the top-left corner,
    // then closed. Stops at the first step that fails and returns its status (what was added stays).
    // The radii are not limited here.
    Status AddRoundRect(float x, float y, float width, float height, float rx, float ry);
    Status AddRoundRect(const TGPRectF& rect, float rx, float ry);
};

}  // namespace plumwick
