#pragma once

// Bounds for content drawn by reference (markers, patterns, masks, SVG pictures): each such element
// refuses to draw itself while it is already being drawn further up, so a reference back to itself,
// direct or through others, draws nothing for that reference; and the whole nesting stays shallow.

#include "svg/core/SVGObject.h"

namespace plumwick {

class TGPGraphics;

// How deeply referenced content may nest inside other referenced content.
inline constexpr int SVGMaxReferenceDepth = 16;

// Held while an element draws referenced content. Entered() is false when the element is already
// drawing (a cycle) or the nesting is too deep; nothing is to be drawn then.
class TReferenceGuard {
public:
    explicit TReferenceGuard(bool& Busy);
    ~TReferenceGuard();
    TReferenceGuard(const TReferenceGuard&) = delete;
    TReferenceGuard& operator=(const TReferenceGuard&) = delete;
    bool Entered() const { return FEntered; }

private:
    bool& FBusy;
    bool FEntered = false;
};

// Paints the children of Parent (which is itself never painted, as a marker, pattern or mask is not)
// with the paint walk, each as far as its own display and visibility allow.
void PaintChildren(TSVGObject& Parent, TGPGraphics& Graphics);

}  // namespace plumwick
