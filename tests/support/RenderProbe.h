#pragma once

// Loads an inline document, renders it as the exporter does (RenderToBitmap) and reads pixels back,
// so tests can probe colours at known points. Shared by the renderer's test folders.

#include <algorithm>
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
#include "svg/compositing/SVGRender.h"
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
    // Covered area in pixels: the sum of alpha over the picture.
    double Area() const
    {
        double Sum = 0;
        for (const std::uint32_t P : Pixels) Sum += GetAlpha(P) / 255.0;
        return Sum;
    }
    // Pixels neither empty nor opaque.
    int PartlyCovered() const
    {
        int N = 0;
        for (const std::uint32_t P : Pixels) N += GetAlpha(P) > 0 && GetAlpha(P) < 255;
        return N;
    }
    template <class T = TSVGBasic>
    T* Find(std::string_view ID) const
    {
        return dynamic_cast<T*>(Svg->FindByID(ID));
    }
};

// Renders Text into a Width × Height bitmap, the document's area stretched onto it (so one user unit
// is one pixel when the document's size matches). Without anti-aliasing edges are exact and pixel
// centres decide coverage.
inline TRender Render(std::string_view Text, int Width, int Height, bool AntiAlias = false)
{
    TRender R;
    R.Svg = std::make_unique<TSVG>();
    R.Svg->LoadFromText(Text);
    R.Width = Width;
    R.Height = Height;
    TRenderOptions Options;
    Options.AntiAlias = AntiAlias;
    const auto Bitmap = RenderToBitmap(*R.Svg, Width, Height, Options);
    EXPECT_NE(Bitmap, nullptr);
    if (Bitmap) {
        EXPECT_TRUE(Bitmap->GetPixels(R.Pixels));
    }
    EXPECT_EQ(R.Pixels.size(), static_cast<size_t>(Width) * static_cast<size_t>(Height));
    R.Pixels.resize(static_cast<size_t>(Width) * static_cast<size_t>(Height));
    return R;
}

// A Width × Height document around Content, with the svg and xlink namespaces declared.
inline std::string Document(int Width, int Height, std::string_view Content)
{
    return R"(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" width=")" +
           std::to_string(Width) + R"(" height=")" + std::to_string(Height) + R"(">)" + std::string(Content) + "</svg>";
}

// Render(Document(Width, Height, Content), Width, Height, AntiAlias).
inline TRender RenderContent(std::string_view Content, int Width, int Height, bool AntiAlias = false)
{
    return Render(Document(Width, Height, Content), Width, Height, AntiAlias);
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

// Checks every probe on R (each within its own tolerance, at least MinTolerance), naming the pixel
// and both colours where one is off.
inline void ExpectProbes(const TRender& R, const std::vector<TProbe>& Probes, int MinTolerance = 0)
{
    for (const TProbe& P : Probes)
        EXPECT_TRUE(Near(R.At(P.X, P.Y), P.Expected, std::max(P.Tolerance, MinTolerance)))
            << "at (" << P.X << ", " << P.Y << "): " << Hex(R.At(P.X, P.Y)) << ", expected " << Hex(P.Expected);
}

// A table row of the pixel tests: a name, a document's content and what its pixels must be.
struct TPixelCase {
    const char* Name;
    const char* Content;
    std::vector<TProbe> Probes;
};

// A table of pixel rows whose contents are drawn in a Width × Height document:
// class Shapes : public TPixelTable<20, 20> {}; TEST_P(Shapes, AreCovered) { CheckPixels(); }
template <int Width, int Height>
class TPixelTable : public ::testing::TestWithParam<TPixelCase> {
protected:
    void CheckPixels() const { ExpectProbes(RenderContent(GetParam().Content, Width, Height), GetParam().Probes); }
};

// Names each row of a table by its Name field: INSTANTIATE_TEST_SUITE_P(..., ValuesIn(Rows), CaseName{}).
// Dashes become underscores, since test names take only letters, digits and underscores.
struct CaseName {
    template <class TCase>
    std::string operator()(const ::testing::TestParamInfo<TCase>& Info) const
    {
        std::string Name = Info.param.Name;
        for (char& C : Name)
            if (C == '-') C = '_';
        return Name;
    }
};

}  // namespace plumwick::probe
