#pragma once

// Plain value types shared by the renderer's readers, element classes and painting code.

#include <array>
#include <cstdint>
#include <vector>

#include "platform/GdiPlusTypes.h"  // TGPRectF, TGPPointF

namespace plumwick {

struct TPointF {
    float X = 0;
    float Y = 0;
    friend bool operator==(const TPointF&, const TPointF&) = default;
};

using TListOfPoints = std::vector<TPointF>;

// Left, Top, Right, Bottom; the all-zero rectangle is the fallback of an invalid view box.
struct TRectF {
    float Left = 0;
    float Top = 0;
    float Right = 0;
    float Bottom = 0;
    float Width() const { return Right - Left; }
    float Height() const { return Bottom - Top; }
    friend bool operator==(const TRectF&, const TRectF&) = default;
};

// An element's box after its transform: the four corners in this order.
struct TBounds {
    TPointF TopLeft;
    TPointF TopRight;
    TPointF BottomLeft;
    TPointF BottomRight;
    friend bool operator==(const TBounds&, const TBounds&) = default;
};

// 3 x 3 matrix for row vectors: x' = x*m11 + y*m21 + m31, y' = x*m12 + y*m22 + m32.
// Only a matrix whose m33 is exactly 1 is a transform; the all-zero matrix means "no transform".
struct TMatrix {
    float m11 = 0, m12 = 0, m13 = 0;
    float m21 = 0, m22 = 0, m23 = 0;
    float m31 = 0, m32 = 0, m33 = 0;

    bool IsTransform() const { return m33 == 1.0f; }
    bool IsEmpty() const { return m33 == 0.0f; }
    // Element by zero-based row and column.
    float& At(int row, int col) { return this->*Cell(row, col); }
    float At(int row, int col) const { return this->*Cell(row, col); }
    friend bool operator==(const TMatrix&, const TMatrix&) = default;

private:
    static float TMatrix::*Cell(int row, int col)
    {
        static constexpr float TMatrix::*cells[9] = {&TMatrix::m11, &TMatrix::m12, &TMatrix::m13,
                                                     &TMatrix::m21, &TMatrix::m22, &TMatrix::m23,
                                                     &TMatrix::m31, &TMatrix::m32, &TMatrix::m33};
        return cells[row * 3 + col];
    }
};

// Decoration set stored in one byte, bit values 1, 2, 4, 8.
enum TTextDecorationItem : std::uint8_t {
    tdInherit = 1,
    tdUnderLine = 2,
    tdOverLine = 4,
    tdStrikeOut = 8,
};

class TTextDecoration {
public:
    constexpr TTextDecoration() = default;
    constexpr TTextDecoration(TTextDecorationItem item) : FBits(item) {}
    static constexpr TTextDecoration FromBits(std::uint8_t bits)
    {
        TTextDecoration d;
        d.FBits = bits & 0x0F;
        return d;
    }
    constexpr bool Contains(TTextDecorationItem item) const { return (FBits & item) != 0; }
    constexpr void Include(TTextDecorationItem item) { FBits |= item; }
    constexpr void Exclude(TTextDecorationItem item) { FBits &= static_cast<std::uint8_t>(~item); }
    constexpr bool IsEmpty() const { return FBits == 0; }
    constexpr std::uint8_t Bits() const { return FBits; }
    friend constexpr TTextDecoration operator|(TTextDecoration a, TTextDecoration b)
    {
        return FromBits(a.FBits | b.FBits);
    }
    friend constexpr bool operator==(TTextDecoration, TTextDecoration) = default;

private:
    std::uint8_t FBits = 0;
};

enum TGradientUnits : int {
    guObjectBoundingBox = 0,
    guUserSpaceOnUse = 1,
};

// Unit suffix of a length, in the order its codes are tested.
enum TLengthUnit : int {
    luNone = 0,
    luPx,
    luPt,
    luPc,
    luMm,
    luCm,
    luIn,
    luEm,
    luEx,
    luPercent,
};

// Colour values are $00BBGGRR; these two negatives are reserved.
using TColor = std::int32_t;
inline constexpr TColor SVG_INHERIT_COLOR = -1;  // not given: the cascade takes the parent's
inline constexpr TColor SVG_NONE_COLOR = -2;     // "none": paint nothing

// "Not set" marker of numeric presentation properties.
inline constexpr float UndefinedFloat = -1.0f;
inline constexpr int UndefinedInt = -1;

}  // namespace plumwick
