#include "gdip/GDIPOBJ2.h"

namespace plumwick {

TGPGraphicsPath2::TGPGraphicsPath2(FillMode fillMode) : TGPGraphicsPath(fillMode) {}

TGPGraphicsPath2::TGPGraphicsPath2(const TGPGraphicsPath& other) : TGPGraphicsPath(other) {}

std::unique_ptr<TGPGraphicsPath2> TGPGraphicsPath2::Clone() const
{
    return std::make_unique<TGPGraphicsPath2>(static_cast<const TGPGraphicsPath&>(*this));
}

Status TGPGraphicsPath2::AddRoundRect(float x, float y, float width, float height, float rx, float ry)
{
    const float r = x + width, b = y + height;
    // Each step's status decides whether the next runs.
    Status s;
    if ((s = AddLine(x + rx, y, r - rx, y)) != Ok) return s;
    if ((s = AddArc(r - 2 * rx, y, 2 * rx, 2 * ry, 270, 90)) != Ok) return s;
    if ((s = AddLine(r, y + ry, r, b - ry)) != Ok) return s;
    if ((s = AddArc(r - 2 * rx, b - 2 * ry, 2 * rx, 2 * ry, 0, 90)) != Ok) return s;
    if ((s = AddLine(r - rx, b, x + rx, b)) != Ok) return s;
    if ((s = AddArc(x, b - 2 * ry, 2 * rx, 2 * ry, 90, 90)) != Ok) return s;
    if ((s = AddLine(x, b - ry, x, y + ry)) != Ok) return s;
    if ((s = AddArc(x, y, 2 * rx, 2 * ry, 180, 90)) != Ok) return s;
    return CloseFigure();
}

Status TGPGraphicsPath2::AddRoundRect(const TGPRectF& rect, float rx, float ry)
{
    return AddRoundRect(rect.X, rect.Y, rect.Width, rect.Height, rx, ry);
}

}  // namespace plumwick
