#include "platform/GdiPlusMatrix.h"

#include <cmath>

namespace plumwick {

namespace {

using M6 = std::array<double, 6>;

// a × b for row vectors: a applies first.
M6 Mul(const M6& a, const M6& b)
{
    return {a[0] * b[0] + a[1] * b[2], a[0] * b[1] + a[1] * b[3],        a[2] * b[0] + a[3] * b[2],
            a[2] * b[1] + a[3] * b[3], a[4] * b[0] + a[5] * b[2] + b[4], a[4] * b[1] + a[5] * b[3] + b[5]};
}

bool AllFinite(std::initializer_list<float> values)
{
    for (float v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

}  // namespace

TGPMatrix::TGPMatrix() : FM{1, 0, 0, 1, 0, 0} {}

TGPMatrix::TGPMatrix(float m11, float m12, float m21, float m22, float dx, float dy) : FM{m11, m12, m21, m22, dx, dy} {}

std::unique_ptr<TGPMatrix> TGPMatrix::Clone() const
{
    return std::make_unique<TGPMatrix>(*this);
}

Status TGPMatrix::GetElements(std::span<float, 6> m) const
{
    for (int i = 0; i < 6; ++i) m[i] = FM[i];
    return Ok;
}

Status TGPMatrix::SetElements(float m11, float m12, float m21, float m22, float dx, float dy)
{
    FM = {m11, m12, m21, m22, dx, dy};
    return Ok;
}

Status TGPMatrix::Reset()
{
    FM = {1, 0, 0, 1, 0, 0};
    return Ok;
}

void TGPMatrix::Combine(const M6& op, MatrixOrder order)
{
    M6 self{FM[0], FM[1], FM[2], FM[3], FM[4], FM[5]};
    M6 r = order == MatrixOrderAppend ? Mul(self, op) : Mul(op, self);
    for (int i = 0; i < 6; ++i) FM[i] = float(r[i]);
}

Status TGPMatrix::Multiply(const TGPMatrix& other, MatrixOrder order)
{
    const auto& o = other.FM;
    Combine({o[0], o[1], o[2], o[3], o[4], o[5]}, order);
    return Ok;
}

Status TGPMatrix::Translate(float dx, float dy, MatrixOrder order)
{
    if (!AllFinite({dx, dy})) return SetStatus(InvalidParameter);
    Combine({1, 0, 0, 1, dx, dy}, order);
    return Ok;
}

Status TGPMatrix::Scale(float sx, float sy, MatrixOrder order)
{
    if (!AllFinite({sx, sy})) return SetStatus(InvalidParameter);
    Combine({sx, 0, 0, sy, 0, 0}, order);
    return Ok;
}

Status TGPMatrix::Rotate(float angle, MatrixOrder order)
{
    if (!AllFinite({angle})) return SetStatus(InvalidParameter);
    double r = double(angle) * M_PI / 180.0;
    double c = std::cos(r), s = std::sin(r);
    Combine({c, s, -s, c, 0, 0}, order);
    return Ok;
}

Status TGPMatrix::RotateAt(float angle, const TGPPointF& center, MatrixOrder order)
{
    if (!AllFinite({angle, center.X, center.Y})) return SetStatus(InvalidParameter);
    double r = double(angle) * M_PI / 180.0;
    double c = std::cos(r), s = std::sin(r);
    double x = center.X, y = center.Y;
    // Move the centre to the origin, rotate, move back.
    Combine({c, s, -s, c, x - x * c + y * s, y - x * s - y * c}, order);
    return Ok;
}

Status TGPMatrix::Shear(float shearX, float shearY, MatrixOrder order)
{
    if (!AllFinite({shearX, shearY})) return SetStatus(InvalidParameter);
    Combine({1, shearY, shearX, 1, 0, 0}, order);
    return Ok;
}

Status TGPMatrix::Invert()
{
    double a = FM[0], b = FM[1], c = FM[2], d = FM[3], e = FM[4], f = FM[5];
    double det = a * d - b * c;
    if (det == 0 || !std::isfinite(det)) return SetStatus(InvalidParameter);
    double ia = d / det, ib = -b / det, ic = -c / det, id = a / det;
    FM = {float(ia), float(ib), float(ic), float(id), float(-(e * ia + f * ic)), float(-(e * ib + f * id))};
    return Ok;
}

TGPPointF TGPMatrix::TransformPoint(TGPPointF p) const
{
    double x = p.X, y = p.Y;
    return {float(x * FM[0] + y * FM[2] + FM[4]), float(x * FM[1] + y * FM[3] + FM[5])};
}

Status TGPMatrix::TransformPoints(std::span<TGPPointF> points) const
{
    for (auto& p : points) p = TransformPoint(p);
    return Ok;
}

Status TGPMatrix::TransformVectors(std::span<TGPPointF> points) const
{
    for (auto& p : points) {
        double x = p.X, y = p.Y;
        p = {float(x * FM[0] + y * FM[2]), float(x * FM[1] + y * FM[3])};
    }
    return Ok;
}

bool TGPMatrix::IsInvertible() const
{
    double det = double(FM[0]) * FM[3] - double(FM[1]) * FM[2];
    return det != 0 && std::isfinite(det);
}

bool TGPMatrix::IsIdentity() const
{
    return FM == std::array<float, 6>{1, 0, 0, 1, 0, 0};
}

}  // namespace plumwick
