// A small bitmap with a surface on it, and pixel probes for the graphics tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "platform/GdiPlus.h"

namespace plumwick::test {

constexpr ARGB kRed = 0xFFFF0000;
constexpr ARGB kGreen = 0xFF00FF00;
constexpr ARGB kBlue = 0xFF0000FF;
constexpr ARGB kBlack = 0xFF000000;
constexpr ARGB kWhite = 0xFFFFFFFF;
constexpr ARGB kClear = 0x00000000;

// A transparent width × height bitmap with a graphics object on it (no anti-aliasing unless
// asked, so pixel centres decide coverage).
struct Canvas {
    TGPBitmap Bitmap;
    TGPGraphics Graphics;

    Canvas(int width, int height, bool antiAlias = false) : Bitmap(width, height), Graphics(&Bitmap)
    {
        if (antiAlias) {
            EXPECT_EQ(Graphics.SetSmoothingMode(SmoothingModeAntiAlias), Ok);
        }
    }

    // Straight ARGB of one pixel.
    ARGB At(int x, int y) const
    {
        std::vector<std::uint32_t> pixels;
        if (!Bitmap.GetPixels(pixels)) return 0xDEADBEEF;
        const int w = int(Bitmap.GetWidth());
        if (x < 0 || y < 0 || x >= w || y >= int(Bitmap.GetHeight())) return 0xDEADBEEF;
        return pixels[size_t(y) * w + x];
    }

    // Pixels in [x0, x1) × [y0, y1) whose alpha is above half.
    int Covered(int x0, int y0, int x1, int y1) const
    {
        std::vector<std::uint32_t> pixels;
        EXPECT_TRUE(Bitmap.GetPixels(pixels));
        const int w = int(Bitmap.GetWidth());
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (GetAlpha(pixels[size_t(y) * w + x]) > 127) ++n;
        return n;
    }

    void Fill(ARGB color, const TGPGraphicsPath& path)
    {
        TGPSolidBrush brush(color);
        ASSERT_EQ(Graphics.FillPath(&brush, &path), Ok);
    }

    // The pixels as text rows, '#' for a covered pixel, '.' for an empty one (for messages).
    std::string Picture() const
    {
        std::string out;
        for (int y = 0; y < int(Bitmap.GetHeight()); ++y) {
            for (int x = 0; x < int(Bitmap.GetWidth()); ++x) out += GetAlpha(At(x, y)) > 127 ? '#' : '.';
            out += '\n';
        }
        return out;
    }
};

// Whether two colours differ by at most tolerance in every channel.
inline bool Near(ARGB a, ARGB b, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8) {
        const int d = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
        if (std::abs(d) > tolerance) return false;
    }
    return true;
}

// Test cases print as their name.
template <class T>
requires requires(const T& c)
{
    std::string(c.Name);
}
void PrintTo(const T& c, std::ostream* os)
{
    *os << c.Name;
}

inline std::string Hex(ARGB c)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%08X", unsigned(c));
    return buffer;
}

}  // namespace plumwick::test
