#pragma once

// marker: content drawn at the vertices of paths, lines, polylines and polygons that name it in
// "marker-start", "marker-mid" or "marker-end". Never drawn in the tree itself.

#include <optional>
#include <vector>

#include "svg/structure/SVGViewport.h"

namespace plumwick {

// A vertex of an outline with the directions (degrees) of the segments into and out of it.
struct TMarkerVertex {
    TPointF Point;
    float InAngle = 0;
    float OutAngle = 0;
    bool HasIn = false;
    bool HasOut = false;
};

// The vertices of a path, line, polyline or polygon in drawing order; empty for other elements.
std::vector<TMarkerVertex> MarkerVertices(const TSVGBasic& Element);

class TSVGMarker : public TSVGViewportElement {
public:
    enum class TOrient { Angle, Auto, AutoStartReverse };

    void AssignTo(TSVGObject& Dest) const override;
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    void ReadIn(const TXmlNode& Node) override;

    // Draws the content at a vertex of Element (whose complete matrix places it); IsStart tells a
    // start marker, which "auto-start-reverse" turns around. Nothing when the marker is already
    // being drawn further up (a marker whose content uses it again).
    void PaintAt(TGPGraphics& Graphics, TSVGBasic& Element, const TMarkerVertex& Vertex, bool IsStart);
    // The element the marker is being drawn on; nullptr outside PaintAt.
    std::optional<TSVGBasic*> GetContentContext() override { return FContext; }

private:
    float FRefX = 0;
    float FRefY = 0;
    float FMarkerWidth = 3;
    float FMarkerHeight = 3;
    bool FStrokeWidthUnits = true;
    TOrient FOrient = TOrient::Angle;
    float FOrientAngle = 0;
    bool FPainting = false;
    TSVGBasic* FContext = nullptr;
};

}  // namespace plumwick
