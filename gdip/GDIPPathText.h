#pragma once

// Text laid along a guide path: the guide is flattened once into a polyline, and each glyph is
// placed at its position along it, turned in the direction of the chord over its width.

#include <memory>
#include <string_view>
#include <vector>

#include "platform/GdiPlusTypes.h"

namespace plumwick {

class TGPPathText {
public:
    // Copies and flattens GuidePath. Throws ESVGError "Path is invalid" when there is none.
    explicit TGPPathText(const TGPGraphicsPath* GuidePath, float Flatness = 2.5f);
    ~TGPPathText();
    TGPPathText(const TGPPathText&) = delete;
    TGPPathText& operator=(const TGPPathText&) = delete;

    // Adds the glyph outlines of Text to Path, starting Indent units along the guide (Path's fill
    // mode becomes winding). Glyphs that do not fit completely before the end of the guide, and
    // everything after them, are dropped. Returns the distance along the guide that the placed
    // glyphs cover (0 when none was placed).
    float AddPathText(TGPGraphicsPath& Path, std::string_view Text, float Indent, const TGPFontFamily& Family,
                      int Style, float Size, const TGPStringFormat* Format, float DistanceFactor = 1,
                      float KerningFactor = 1);

    // Length of a path after flattening (flatness 2.5), gaps between figures included; 0 for none.
    static float GetPathLength(const TGPGraphicsPath* Path);

    // Extra transform applied to every glyph before it is placed; set by the caller, not owned.
    const TGPMatrix* FAdditionalMatrix = nullptr;

    // Positions along the flattened guide: the whole part is a segment index, the fraction the share
    // of the way along that segment; negative means "not on the path".
    float PositionAtDistance(float Distance) const;
    float DistanceAtPosition(float Position) const;
    TGPPointF PointAtPosition(float Position) const;
    // The position whose point lies at straight-line distance Width ahead of Position; -1 past the end.
    float NextPosition(float Width, float Position) const;

private:
    static float IntersectCircle(const TGPPointF& A, const TGPPointF& B, const TGPPointF& Centre, float RadiusSquared);
    float AddGlyph(char32_t First, char32_t Second, float Position, TGPGraphicsPath& Path);
    void AddChar(char32_t C, TGPGraphicsPath& Path) const;
    float SegmentLength(int Index) const;

    float FRotation = 1;                    // share of the chord's rotation given to each glyph
    std::vector<TGPPointF> FPoints;         // the flattened guide
    const TGPFontFamily* FFamily = nullptr;  // font of the running AddPathText, not owned
    int FStyle = 0;
    float FSize = 0;
    const TGPStringFormat* FFormat = nullptr;
    float FDistanceFactor = 1;
    float FKerningFactor = 1;
};

}  // namespace plumwick
