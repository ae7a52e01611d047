#pragma once

// Loads an inline document, paints it at scale 1 onto a bitmap and reads pixels back, so tests
// can probe colours at known points. Shared by the shape, paint-server and structure tests.

#include <cstdint>
#include <cstdlib>
#include <iomanip>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "platform/GdiPlus.h"
#include "svg/core/SVGDocument.h"

namespace plumwick::probe {

inline constexpr ARGB Transparent = 0;
inline constexpr ARGB Red = 0xFFFF0000;
inline constexpr ARGB Green = 0xFF008000;
inline constexpr ARGB Lime = 0xFF00FF00;
inline constexpr ARGB Blue = 0xFF0000FF;

struct TRender {
    std::unique_ptr<TSVG> Svg;
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;

    ARGB At(int X, int Y) const
    {
        if (X < 0 || Y < 0 || X >= Width || Y >= Height) return Transparent;
        return Pixels[static_cast<size_t>(Y) * static_cast<size_t>(Width) + static_cast<size_t>(X)];
    }
    // Pixels with any alpha inside [X0, X1) × [Y0, Y1).
    int Covered(int X0, int Y0, int X1, int Y1) const
    {
        int N = 0;
        for (int Y = Y0; Y < Y1; ++Y)
            for (int X = X0; X < X1; ++X) N += GetAlpha(At(X, Y)) != 0;
        return N;
    }
    template <class T = TSVGBasic>
    T* Find(std::string_view ID) const
    {
        return dynamic_cast<T*>(Svg->FindByID(ID));
    }
};

// Paints Text into a Width × Height bitmap (the document's own size should match, so one user
// unit is one pixel). Without anti-aliasing edges are exact and pixel centres decide coverage.
inline TRender Render(std::string_view Text, int Width, int Height, bool AntiAlias = false)
{
    TRender R;
    R.Svg = std::make_unique<TSVG>();
    R.Svg->LoadFromText(Text);
    R.Width = Width;
    R.Height = Height;
    TGPBitmap Bitmap(Width, Height);
    {
        TGPGraphics Graphics(&Bitmap);
        if (AntiAlias) Graphics.SetSmoothingMode(SmoothingModeAntiAlias);
        R.Svg->PaintTo(Graphics, TGPRectF{0, 0, float(Width), float(Height)});
        Graphics.Flush();
    }
    EXPECT_TRUE(Bitmap.GetPixels(R.Pixels));
    return R;
}

// Every channel within Tolerance of the expected one.
inline bool Near(ARGB Actual, ARGB Expected, int Tolerance)
{
    for (int Shift : {24, 16, 8, 0}) {
        const int A = static_cast<int>((Actual >> Shift) & 0xFF);
        const int E = static_cast<int>((Expected >> Shift) & 0xFF);
        if (std::abs(A - E) > Tolerance) return false;
    }
    return true;
}

inline std::string Hex(ARGB C)
{
    std::ostringstream Out;
    Out << std::hex << std::setw(8) << std::setfill('0') << C;
    return Out.str();
}

// One pixel probe: the pixel at (X, Y) is Expected within Tolerance per channel.
struct TProbe {
    int X;
    int Y;
    ARGB Expected;
    int Tolerance = 0;
};

// Checks every probe on R, naming the pixel and both colours where one is off.
inline void ExpectProbes(const TRender& R, const std::vector<TProbe>& Probes)
{
    for (const TProbe& P : Probes)
        EXPECT_TRUE(Near(R.At(P.X, P.Y), P.Expected, P.Tolerance))
            << "at (" << P.X << ", " << P.Y << "): " << Hex(R.At(P.X, P.Y)) << ", expected " << Hex(P.Expected);
}

}  // namespace plumwick::probe
