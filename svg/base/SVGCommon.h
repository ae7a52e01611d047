#pragma once

// Matrix model of the renderer and the typed attribute readers. A reader does nothing when the
// node has no such attribute, so the caller's default survives.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/GdiPlusMatrix.h"
#include "platform/GdiPlusTypes.h"
#include "platform/Xml.h"
#include "svg/base/SVGTypes.h"

namespace plumwick {

// m11 = m22 = m33 = 1, all others 0.
TMatrix IdentityMatrix();
// The all-zero matrix: "no transform".
inline TMatrix EmptyMatrix()
{
    return TMatrix{};
}
TMatrix CreateTranslation(float ADeltaX, float ADeltaY);
TMatrix CreateScaling(float AScaleX, float AScaleY);
// Radians; a positive angle turns the x axis towards the y axis.
TMatrix CreateRotation(float AAngle);
// Ordinary product; applied to a point, a acts first and b second. Computed in double precision.
TMatrix MatrixMultiply(const TMatrix& a, const TMatrix& b);
inline TMatrix operator*(const TMatrix& a, const TMatrix& b)
{
    return MatrixMultiply(a, b);
}
// Row vector times matrix (the third column is not used).
TPointF TransformPoint(const TPointF& p, const TMatrix& m);
inline TPointF operator*(const TPointF& p, const TMatrix& m)
{
    return TransformPoint(p, m);
}

// The graphics library's matrix with (m11, m12, m21, m22, m31, m32); owned by the caller.
std::unique_ptr<TGPMatrix> ToGPMatrix(const TMatrix& m);

// Fits a box of boxWidth x boxHeight (keeping its ratio) into rect; alignment 0..8 reads row by row
// top left .. bottom right (4 centres it); other values place it at the top left.
void FitRect(const TGPRectF& rect, std::uint8_t alignment, TGPRectF& result, double boxWidth, double boxHeight);

// Readers of one attribute of an element node.
void LoadLength(const TXmlNode& node, std::string_view name, float& target);        // ParseLength
void LoadString(const TXmlNode& node, std::string_view name, std::string& target);  // unchanged text
void LoadPercent(const TXmlNode& node, std::string_view name, float& target);       // ParsePercent
void LoadTransform(const TXmlNode& node, std::string_view name, TMatrix& target);   // ParseTransform
// "display": "inherit" -1, "none" 0, anything else 1.
int DisplayCode(std::string_view value);
void LoadDisplay(const TXmlNode& node, int& code);
// "visibility": "inherit" -1, "visible" 1, anything else 0.
int VisibleCode(std::string_view value);
void LoadVisible(const TXmlNode& node, int& code);
// "gradientUnits": guUserSpaceOnUse for "userSpaceOnUse", guObjectBoundingBox otherwise (even when absent).
void LoadGradientUnits(const TXmlNode& node, TGradientUnits& units);

}  // namespace plumwick
