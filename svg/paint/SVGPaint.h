#pragma once

// Paint servers: gradient stops and the linear and radial gradients that supply brushes to the
// fills and strokes naming them. They sit in the element tree, are never painted themselves and
// are found by id.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "svg/core/SVGBasic.h"
#include "svg/paint/GradientPaint.h"

namespace plumwick {

// The box that bounding-box units measure: the bounds of the element's outline, else (no outline,
// or bounds that are not finite) the box its x, y, width and height fields keep.
TGPRectF ObjectBox(const TSVGBasic& Element);

// One stop of a gradient: offset, colour and opacity (0..1). The colour keeps its own alpha
// (rgba(), #rrggbbaa); currentColor and inherit are resolved when the stop is read.
class TSVGStop : public TSVGObject {
public:
    void AssignTo(TSVGObject& Dest) const override;
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    void PaintToGraphics(TGPGraphics&) override {}
    void PaintToPath(TGPGraphicsPath&) override {}
    // "offset" (0.5 or 50%), "stop-color" (the style declaration over the attribute), "stop-opacity".
    void ReadIn(const TXmlNode& Node) override;

    float GetStop() const { return FStop; }
    void SetStop(float Value) { FStop = Value; }
    TColor GetStopColor() const { return FStopColor; }
    void SetStopColor(TColor Value) { FStopColor = Value; }
    float GetOpacity() const { return FOpacity; }
    void SetOpacity(float Value) { FOpacity = Value; }

protected:
    float FStop = 0;
    TColor FStopColor = SVG_INHERIT_COLOR;
    float FOpacity = 1;
};

// Base of the paint servers: never displayed, never copied, never painted.
class TSVGFiller : public TSVGMatrix {
public:
    // Paint servers are not copied: no object.
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    void PaintToGraphics(TGPGraphics&) override {}
    void PaintToPath(TGPGraphicsPath&) override {}
    // The node's transform, then display off so the paint walk skips the server.
    void ReadIn(const TXmlNode& Node) override;
};

// Colour table handed to a gradient brush: ARGB colours at positions 0..1.
struct TColors {
    std::vector<std::uint32_t> Colors;
    std::vector<float> Positions;
    int Count = 0;
};

class TSVGGradient : public TSVGFiller {
public:
    void AssignTo(TSVGObject& Dest) const override;
    // Units, the "stop" children and the "href" (or "xlink:href") reference.
    void ReadIn(const TXmlNode& Node) override;
    // The brush of the description for DestObject's box; nullptr when it paints nothing.
    std::unique_ptr<TGPBrush> GetBrush(std::uint8_t Alpha, TSVGBasic* DestObject) override;

    // The stops in force as a colour table for Alpha, with entries added at 0 and 1 when the
    // stops do not reach them. Returns the entry count.
    int GetColors(std::uint8_t Alpha, TColors& Colors) const;
    // Everything the gradient paints with, its reference chain followed (each attribute and the
    // stops from the first gradient on the chain that gives them). Resolved on first use.
    const TGradientDescription& Description() const;

    const std::string& GetURI() const { return FURI; }
    TGradientUnits GetGradientUnits() const { return FGradientUnits; }

protected:
    // The gradients of the reference chain, this one first; a cycle ends it.
    std::vector<const TSVGGradient*> Chain() const;
    // The first gradient of Chain that gives the attribute Name, and is of type T.
    template <class T>
    const T* FirstGiving(const std::vector<const TSVGGradient*>& Chain, std::string_view Name) const;
    // Whether the element gave the attribute itself.
    bool HasOwn(std::string_view Name) const;
    // Reads "gradientTransform" into the element's own transform (all zero when absent).
    void ReadGradientTransform(const TXmlNode& Node);
    // Fills the geometry of the description from the chain.
    virtual void DescribeGeometry(const std::vector<const TSVGGradient*>& Chain, TGradientDescription& D) const = 0;

    std::string FURI;  // id of the referenced gradient; empty when there is none
    TGradientUnits FGradientUnits = guObjectBoundingBox;
    mutable std::optional<TGradientDescription> FDescription;
};

// Linear gradient from (x1, y1) to (x2, y2), in user space or as fractions of the painted element's box.
class TSVGLinearGradient : public TSVGGradient {
public:
    void AssignTo(TSVGObject& Dest) const override;
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    void ReadIn(const TXmlNode& Node) override;

    float GetX1() const { return FX1; }
    float GetY1() const { return FY1; }
    float GetX2() const { return FX2; }
    float GetY2() const { return FY2; }

protected:
    void DescribeGeometry(const std::vector<const TSVGGradient*>& Chain, TGradientDescription& D) const override;

    float FX1 = 0;
    float FY1 = 0;
    float FX2 = 0;
    float FY2 = 0;
};

// Radial gradient from the focal circle (fx, fy, fr) to the circle (cx, cy, r), in user space or
// as fractions of the painted element's box.
class TSVGRadialGradient : public TSVGGradient {
public:
    void AssignTo(TSVGObject& Dest) const override;
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    // Also cx = cy = r = fx = fy = 0.5.
    void Clear() override;
    void ReadIn(const TXmlNode& Node) override;

    float GetCX() const { return FCX; }
    float GetCY() const { return FCY; }
    float GetR() const { return FR; }
    float GetFX() const { return FFX; }
    float GetFY() const { return FFY; }

protected:
    void DescribeGeometry(const std::vector<const TSVGGradient*>& Chain, TGradientDescription& D) const override;

    float FCX = 0.5f;
    float FCY = 0.5f;
    float FR = 0.5f;
    float FFX = 0.5f;
    float FFY = 0.5f;
};

}  // namespace plumwick
