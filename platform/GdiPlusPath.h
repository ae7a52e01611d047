// Graphics path: figures of lines and cubic Beziers with GDI+ point types and a fill mode.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "platform/GdiPlusTypes.h"

namespace plumwick {

// Points and point types of a path (types: PathPointType values with flags).
struct TGPPathData {
    int Count = 0;
    std::vector<TGPPointF> Points;
    std::vector<std::uint8_t> Types;
};

class TGPGraphicsPath : public TGPBase {
public:
    explicit TGPGraphicsPath(FillMode fillMode = FillModeAlternate);
    // A path from given points and types; InvalidParameter when the sizes differ or the types
    // do not form figures (first point not a start, Beziers not in threes).
    TGPGraphicsPath(std::span<const TGPPointF> points, std::span<const std::uint8_t> types,
                    FillMode fillMode = FillModeAlternate);
    TGPGraphicsPath(const TGPGraphicsPath& other);
    TGPGraphicsPath& operator=(const TGPGraphicsPath& other);
    virtual ~TGPGraphicsPath();

    // A copy of the points, types and fill mode (a failure is recorded on this path).
    std::unique_ptr<TGPGraphicsPath> Clone() const;

    Status Reset();
    FillMode GetFillMode() const;
    Status SetFillMode(FillMode fillMode);

    // The next add begins a new figure; the current one stays open.
    Status StartFigure();
    // Closes the current figure (its last point gets the close flag); the next add begins a new one.
    Status CloseFigure();
    Status CloseAllFigures();

    // Adds to the current figure. When a figure is open, its last point is joined to the first
    // new point by a line (an equal point is not repeated).
    Status AddLine(const TGPPointF& p1, const TGPPointF& p2);
    Status AddLine(float x1, float y1, float x2, float y2);
    Status AddLines(std::span<const TGPPointF> points);
    // Elliptic arc of the ellipse inscribed in the box; angles in degrees, clockwise from +x on
    // the y-down device. The angles are geometric (the direction of the arc's point as seen from
    // the centre), not the ellipse parameter: for a parametric angle t use
    // atan2(height·sin t, width·cos t). A sweep beyond ±360 is cut to a full turn. A box of zero
    // width or height gives the flat arc along it.
    Status AddArc(const TGPRectF& rect, float startAngle, float sweepAngle);
    Status AddArc(float x, float y, float width, float height, float startAngle, float sweepAngle);
    Status AddBezier(const TGPPointF& p1, const TGPPointF& p2, const TGPPointF& p3, const TGPPointF& p4);
    Status AddBezier(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4);
    // 3n + 1 points: start, then (control, control, end) triples.
    Status AddBeziers(std::span<const TGPPointF> points);

    // Each adds a closed figure of its own, clockwise from the top-left (from angle 0 for an ellipse).
    Status AddRectangle(const TGPRectF& rect);
    Status AddRectangle(float x, float y, float width, float height);
    Status AddRectangles(std::span<const TGPRectF> rects);
    Status AddEllipse(const TGPRectF& rect);
    Status AddEllipse(float x, float y, float width, float height);
    Status AddPolygon(std::span<const TGPPointF> points);

    // Appends another path's figures. With connect, its first figure continues the current open
    // figure (joined by a line); otherwise it starts a new figure.
    Status AddPath(const TGPGraphicsPath& path, bool connect);

    // Glyph outlines of a text (UTF-8 or UTF-16). The layout box's top-left is at origin; emSize is
    // the em height in world units; style uses the FontStyle bits. Each glyph outline is a closed
    // figure. FontFamilyNotFound when the family is not installed.
    Status AddString(std::string_view text, const TGPFontFamily& family, int style, float emSize,
                     const TGPPointF& origin, const TGPStringFormat* format);
    Status AddString(std::u16string_view text, const TGPFontFamily& family, int style, float emSize,
                     const TGPPointF& origin, const TGPStringFormat* format);
    // As above, laid out in a box (alignment of the format honoured; text is not wrapped).
    Status AddString(std::string_view text, const TGPFontFamily& family, int style, float emSize,
                     const TGPRectF& layoutRect, const TGPStringFormat* format);
    Status AddString(std::u16string_view text, const TGPFontFamily& family, int style, float emSize,
                     const TGPRectF& layoutRect, const TGPStringFormat* format);

    // Maps every point (no matrix: nothing happens).
    Status Transform(const TGPMatrix* matrix);
    // Maps by the matrix (when given) and replaces every curve by lines that stay within
    // flatness of it (device units after the matrix).
    Status Flatten(const TGPMatrix* matrix = nullptr, float flatness = 0.25f);

    int GetPointCount() const;
    Status GetPathData(TGPPathData& data) const;
    Status GetPathPoints(std::vector<TGPPointF>& points) const;
    Status GetPathTypes(std::vector<std::uint8_t>& types) const;
    Status GetLastPoint(TGPPointF& point) const;
    // Box of the points (curves by their control points), optionally after a matrix.
    Status GetBounds(TGPRectF& bounds, const TGPMatrix* matrix = nullptr) const;
    // Whether the point lies inside by the path's fill mode.
    bool IsVisible(const TGPPointF& point) const;

    // Area operations, each path read with its own fill mode: the area of this path becomes its union
    // with (or its intersection with) other's. The result is a set of closed figures; its fill mode
    // is what the result needs.
    Status Unite(const TGPGraphicsPath& other);
    Status Intersect(const TGPGraphicsPath& other);

public:
    struct Impl;  // defined by the platform sources

private:
    friend struct GdiPlusAccess;
    std::unique_ptr<Impl> FImpl;
};

}  // namespace plumwick
