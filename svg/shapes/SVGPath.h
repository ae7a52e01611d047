#pragma once

// The path element and its segments: one object per drawing command of the "d" attribute, each
// appending itself to the element's outline.

#include "svg/core/SVGBasic.h"
#include "svg/shapes/SVGPathData.h"

namespace plumwick {

// One drawing command of a path. A segment starts where the previous one stopped; it carries no
// transform or presentation of its own and exists only as a child of a TSVGPath.
class TSVGPathElement : public TSVGObject {
public:
    void AssignTo(TSVGObject& Dest) const override;
    // The base class makes no copies (nullptr); every segment class makes one of its own class.
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    void PaintToGraphics(TGPGraphics&) override {}
    void PaintToPath(TGPGraphicsPath&) override {}

    // --- Operations added at this level, in the order of their slots.

    // The segment's box (Left, Top, Right, Bottom); moves and closes give the empty box.
    virtual TRectF GetBounds() const = 0;
    // Appends the segment to Path; not Ok when its coordinates cannot be drawn (beyond the float range).
    virtual Status AddToPath(TGPGraphicsPath& Path) const = 0;
    // Reads the segment's numbers after its command token at Position; Position ends on the last
    // token consumed. Raises ESVGError when the data ends inside the command.
    virtual void Read(const TPathTokens& SL, int& Position, const TSVGPathElement* Previous);

    float GetStartX() const { return FStartX; }
    float GetStartY() const { return FStartY; }
    float GetStopX() const { return FStopX; }
    float GetStopY() const { return FStopY; }

protected:
    float FStartX = 0;  // current point before the segment (absolute)
    float FStartY = 0;
    float FStopX = 0;  // end point; the next segment starts here
    float FStopY = 0;
};

// "M", "m": begins a new figure.
class TSVGPathMove : public TSVGPathElement {
public:
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    TRectF GetBounds() const override;
    Status AddToPath(TGPGraphicsPath& Path) const override;
    void Read(const TPathTokens& SL, int& Position, const TSVGPathElement* Previous) override;
};

// "L", "l", "H", "h", "V", "v".
class TSVGPathLine : public TSVGPathElement {
public:
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    TRectF GetBounds() const override;
    Status AddToPath(TGPGraphicsPath& Path) const override;
    void Read(const TPathTokens& SL, int& Position, const TSVGPathElement* Previous) override;
};

// "Z", "z": closes the figure; drawing goes on from the start of the current subpath.
class TSVGPathClose : public TSVGPathElement {
public:
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    TRectF GetBounds() const override;
    Status AddToPath(TGPGraphicsPath& Path) const override;
    void Read(const TPathTokens& SL, int& Position, const TSVGPathElement* Previous) override;

private:
    // The nearest move before this close among the parent's children, nullptr when none.
    const TSVGPathMove* FindLastMove() const;
};

// "C", "c", "S", "s", "Q", "q", "T", "t", all kept as one cubic Bezier. A quadratic keeps its own
// control point in both control fields (so smooth forms reflect it) and is drawn as the exact cubic.
class TSVGPathCurve : public TSVGPathElement {
public:
    void AssignTo(TSVGObject& Dest) const override;
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    // The box of the four defining points (the control polygon, not the curve).
    TRectF GetBounds() const override;
    Status AddToPath(TGPGraphicsPath& Path) const override;
    void Read(const TPathTokens& SL, int& Position, const TSVGPathElement* Previous) override;

    float GetControl1X() const { return FControl1X; }
    float GetControl1Y() const { return FControl1Y; }
    float GetControl2X() const { return FControl2X; }
    float GetControl2Y() const { return FControl2Y; }
    // Read from "Q", "q", "T" or "t".
    bool IsQuadratic() const { return FQuadratic; }

protected:
    float FControl1X = 0;
    float FControl1Y = 0;
    float FControl2X = 0;
    float FControl2Y = 0;
    bool FQuadratic = false;
};

// "A", "a": an elliptic arc in end-point form, drawn from its centre form.
class TSVGPathEllipticArc : public TSVGPathElement {
public:
    void AssignTo(TSVGObject& Dest) const override;
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    // As for a line: the bulge beyond the end points is not included.
    TRectF GetBounds() const override;
    // Equal end points add nothing, a zero radius adds a line, otherwise the arc (radii scaled up
    // when too small to reach both end points).
    Status AddToPath(TGPGraphicsPath& Path) const override;
    void Read(const TPathTokens& SL, int& Position, const TSVGPathElement* Previous) override;

    float GetRX() const { return FRX; }
    float GetRY() const { return FRY; }
    float GetXRot() const { return FXRot; }
    int GetLarge() const { return FLarge; }
    int GetSweep() const { return FSweep; }

protected:
    float FRX = 0;  // radii as read, made non-negative
    float FRY = 0;
    float FXRot = 0;  // rotation of the x axis, degrees
    int FLarge = 0;   // 0 or 1
    int FSweep = 0;   // 0 or 1
};

// The element "path": its children are exactly its segments, in the order of the data.
class TSVGPath : public TSVGBasic {
public:
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    // Box of the segments' boxes, widened by half the stroke width, through the node's matrix.
    void UpdateBounds() override;
    // Reads the common attributes, then "d" into segments; ends with BuildPath. Raises ESVGError
    // for data that ends inside a command.
    void ReadIn(const TXmlNode& Node) override;
    // A new outline (winding fill, even-odd when "fill-rule" says so) of every segment in order.
    void BuildPath() override;
    // Takes the fill rule the cascade resolved (sheet rules included, as drawing tools write "fill-rule" there)
    // into the outline's fill mode before it is filled.
    void PrePaint(TGPGraphics& Graphics, TGPBrush* Brush, TGPPen* Pen) override;

    // Replaces the segments by those of Data (the text of a "d" attribute) and rebuilds the outline.
    void LoadPathData(std::string_view Data);
};

}  // namespace plumwick
