#pragma once

// mask: an element drawn through a mask paints into a layer (see SVGLayer.h); the layer's mask step
// multiplies it by the mask's luminance (or alpha, with mask-type="alpha") before it is blended once.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "svg/core/SVGBasic.h"
#include "svg/core/SVGRegion.h"

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
    TUnitRegion FRegion;  // maskUnits, maskContentUnits
    bool FAlpha = false;  // mask-type
    bool FPainting = false;
};

// The mask Element's "mask" names; nullptr when none (a reference to nothing masks nothing).
TSVGMask* ReferencedMask(const TSVGBasic& Element);

// The mask step of a layer: multiplies the layer's premultiplied pixels by Mask's coverage for Owner.
void ApplyMask(TSVGMask& Mask, const TSVGBasic& Owner, TGPBitmap& Layer, bool AntiAlias);

}  // namespace plumwick
