#pragma once

// Pixel buffers of the filter stage: premultiplied RGBA in floats (0..1), row-major, with the
// colour space they hold. Nothing here knows about elements or the drawing platform.

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

namespace plumwick::filters {

// Pixel rectangle, right and bottom edges excluded.
struct TIntRect {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;

    int Right() const { return X + Width; }
    int Bottom() const { return Y + Height; }
    bool Empty() const { return Width <= 0 || Height <= 0; }
    TIntRect Intersect(const TIntRect& O) const;
    TIntRect Unite(const TIntRect& O) const;
};

class TFilterImage {
public:
    TFilterImage() = default;
    // Transparent black, Width × Height (a negative size counts as zero).
    TFilterImage(int Width, int Height);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    TIntRect Bounds() const { return {0, 0, FWidth, FHeight}; }
    bool Linear() const { return FLinear; }
    void SetLinear(bool Value) { FLinear = Value; }

    float* Pixel(int X, int Y) { return FData.data() + (static_cast<std::size_t>(Y) * FWidth + X) * 4; }
    const float* Pixel(int X, int Y) const { return FData.data() + (static_cast<std::size_t>(Y) * FWidth + X) * 4; }
    // The pixel, or transparent black outside the image.
    void Sample(int X, int Y, float Out[4]) const;
    std::span<float> Data() { return FData; }
    std::span<const float> Data() const { return FData; }

    // Clears every pixel outside Rect.
    void ClipTo(const TIntRect& Rect);
    // The same picture in the other colour space (a copy when it already is in it).
    TFilterImage InSpace(bool Linear) const;

    // From and to 8-bit premultiplied ARGB words (0xAARRGGBB), sRGB.
    static TFilterImage FromPremultipliedArgb(std::span<const std::uint32_t> Pixels, int Width, int Height);
    std::vector<std::uint32_t> ToPremultipliedArgb() const;
    // From and to straight (not premultiplied) ARGB words, as bitmaps hand them out.
    static TFilterImage FromStraightArgb(std::span<const std::uint32_t> Pixels, int Width, int Height);
    std::vector<std::uint32_t> ToStraightArgb() const;

private:
    int FWidth = 0;
    int FHeight = 0;
    bool FLinear = false;
    std::vector<float> FData;
};

// One channel value of sRGB to linear light and back (both 0..1).
float SrgbToLinear(float V);
float LinearToSrgb(float V);

inline float Clamp01(float V)
{
    return std::clamp(V, 0.0f, 1.0f);
}

}  // namespace plumwick::filters
