#pragma once

// mask: an element drawn through a mask is painted into an offscreen layer whose alpha is then
// multiplied by the mask's luminance (or alpha, with mask-type="alpha") before the layer is blended
// onto the surface once.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "svg/SVGBasic.h"

namespace plumwick {

class TGPBitmap;

class TSVGMask : public TSVGBasic {
public:
    void AssignTo(TSVGObject& Dest) const override;
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    void PaintToGraphics(TGPGraphics&) override {}
    void PaintToPath(TGPGraphicsPath&) override {}
    void ReadIn(const TXmlNode& Node) override;

    // The mask's coverage (0..1 per pixel, rows top-down) over a Width × Height surface for Target,
    // whose complete matrix and bounding box place the mask. Nothing when the mask is already being
    // drawn further up (a mask that masks itself): that reference is then dropped.
    std::optional<std::vector<float>> Coverage(const TSVGBasic& Target, int Width, int Height, bool AntiAlias);

private:
    std::optional<std::string> FXText, FYText, FWidthText, FHeightText;
    bool FUserSpaceUnits = false;     // maskUnits
    bool FBoundingBoxContent = false;  // maskContentUnits
    bool FAlpha = false;               // mask-type
    bool FPainting = false;
};

// The bounding box of Node's outlines in its own user space (descendants through their transforms);
// empty (width and height 0) when there is none.
TGPRectF SubtreeBoundingBox(const TSVGObject& Node);

// Paints Node and its subtree through the mask it names onto Graphics. False when Node names no
// mask (the caller paints it as usual).
bool PaintMasked(TSVGBasic& Node, TGPGraphics& Graphics);

}  // namespace plumwick
