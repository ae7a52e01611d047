#pragma once

// pattern: a paint server whose tile (its children, drawn once into a bitmap at the resolution the
// painted element needs) repeats across the fill or stroke as a texture.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "svg/base/SVGViewBox.h"
#include "svg/core/SVGBasic.h"
#include "svg/core/SVGRegion.h"

namespace plumwick {

class TSVGPattern : public TSVGBasic {
public:
    void AssignTo(TSVGObject& Dest) const override;
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    void PaintToGraphics(TGPGraphics&) override {}
    void PaintToPath(TGPGraphicsPath&) override {}
    void ReadIn(const TXmlNode& Node) override;
    // A texture brush for DestObject, alpha scaled by Alpha; nullptr for a tile of no size, a pattern
    // without content, or one that is drawn already further up (a pattern inside itself).
    std::unique_ptr<TGPBrush> GetBrush(std::uint8_t Alpha, TSVGBasic* DestObject) override;

    // The tile's attributes after following "href": each from the nearest pattern of the chain that gives it.
    struct TTile {
        std::string X, Y, Width, Height;
        bool UserSpaceUnits = false;      // patternUnits
        bool BoundingBoxContent = false;  // patternContentUnits
        TMatrix Transform = TMatrix{};    // patternTransform; all zero when none
        std::string TransformOrigin;      // of the pattern that gives the transform
        std::optional<TRectF> ViewBox;
        TAspectRatio Aspect;
        const TSVGPattern* Content = nullptr;  // the pattern whose children are drawn
    };
    TTile ResolveTile() const;

private:
    const TSVGPattern* Referenced() const;

    std::string FHref;
    TUnitRegion FRegion;  // patternUnits, patternContentUnits
    std::optional<TMatrix> FPatternTransform;
    std::optional<TRectF> FViewBox;
    std::optional<TAspectRatio> FAspect;
    bool FPainting = false;
};

}  // namespace plumwick
