// Affine 2D matrix for row vectors: x' = m11·x + m21·y + dx, y' = m12·x + m22·y + dy.
#pragma once

#include <array>
#include <memory>
#include <span>

#include "platform/GdiPlusTypes.h"

namespace plumwick {

class TGPMatrix : public TGPBase {
public:
    // The identity.
    TGPMatrix();
    TGPMatrix(float m11, float m12, float m21, float m22, float dx, float dy);

    std::unique_ptr<TGPMatrix> Clone() const;

    // The six elements in the order m11, m12, m21, m22, dx, dy.
    std::array<float, 6> GetElements() const { return FM; }
    Status GetElements(std::span<float, 6> m) const;
    Status SetElements(float m11, float m12, float m21, float m22, float dx, float dy);
    float OffsetX() const { return FM[4]; }
    float OffsetY() const { return FM[5]; }

    Status Reset();
    // this := other × this (prepend: other applies first) or this × other (append).
    Status Multiply(const TGPMatrix& other, MatrixOrder order = MatrixOrderPrepend);
    Status Translate(float dx, float dy, MatrixOrder order = MatrixOrderPrepend);
    Status Scale(float sx, float sy, MatrixOrder order = MatrixOrderPrepend);
    // Degrees; positive turns +x towards +y (clockwise on a y-down device).
    Status Rotate(float angle, MatrixOrder order = MatrixOrderPrepend);
    Status RotateAt(float angle, const TGPPointF& center, MatrixOrder order = MatrixOrderPrepend);
    Status Shear(float shearX, float shearY, MatrixOrder order = MatrixOrderPrepend);
    // Fails with InvalidParameter (matrix unchanged) when the matrix is singular.
    Status Invert();

    Status TransformPoints(std::span<TGPPointF> points) const;
    // As TransformPoints without the translation.
    Status TransformVectors(std::span<TGPPointF> points) const;
    TGPPointF TransformPoint(TGPPointF p) const;

    bool IsInvertible() const;
    bool IsIdentity() const;
    bool Equals(const TGPMatrix& other) const { return FM == other.FM; }

private:
    void Combine(const std::array<double, 6>& op, MatrixOrder order);
    std::array<float, 6> FM;
};

}  // namespace plumwick
