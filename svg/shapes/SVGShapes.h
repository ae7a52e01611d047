#pragma once

// The basic shapes: rect, line, polyline, polygon, circle and ellipse. Each reads its geometry,
// builds its outline once (alternate fill mode) and measures its box with half the stroke width.

#include <string_view>

#include "svg/core/SVGBasic.h"

namespace plumwick {

// rect: FX, FY, FWidth, FHeight; radii in FRX, FRY (a missing one follows the other, both limited
// to half the side).
class TSVGRect : public TSVGBasic {
public:
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    void UpdateBounds() override;
    void ReadIn(const TXmlNode& Node) override;
    void BuildPath() override;
};

// line: x1 in FX, y1 in FY, x2 in FWidth, y2 in FHeight.
class TSVGLine : public TSVGBasic {
public:
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    void UpdateBounds() override;
    void ReadIn(const TXmlNode& Node) override;
    void BuildPath() override;
};

// polyline: an open figure through its points; no outline without points.
class TSVGPolyLine : public TSVGBasic {
public:
    void AssignTo(TSVGObject& Dest) const override;
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    void UpdateBounds() override;
    void Clear() override;
    void ReadIn(const TXmlNode& Node) override;
    void BuildPath() override;

    // Reads coordinate pairs separated by white space; an odd number of items leaves the points
    // as they are.
    void ReadPoints(std::string_view Text);

    const TListOfPoints& GetPoints() const { return FPoints; }
    int GetPointCount() const { return FPointCount; }

protected:
    TListOfPoints FPoints;
    int FPointCount = 0;
};

// polygon: the polyline's figure, closed.
class TSVGPolygon : public TSVGPolyLine {
public:
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    void BuildPath() override;
};

// circle and ellipse: centre in FX, FY; radii in FWidth (x) and FHeight (y).
class TSVGEllipse : public TSVGBasic {
public:
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    void UpdateBounds() override;
    void ReadIn(const TXmlNode& Node) override;
    void BuildPath() override;
};

}  // namespace plumwick
