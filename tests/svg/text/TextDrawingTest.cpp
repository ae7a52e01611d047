#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/GdiPlus.h"
#include "platform/TextShaper.h"
#include "svg/core/SVGDocument.h"
#include "tests/support/RenderProbe.h"

namespace plumwick {
namespace {

// A box of the 200 x 100 picture that must hold ink, or must stay empty.
struct TProbe {
    int X0, Y0, X1, Y1;
    bool Ink;
};

struct TDrawingCase {
    const char* Name;
    std::string Body;  // inside an svg of 200 x 100 user units drawn at that size
    std::vector<TProbe> Probes;
    const char* Needs = nullptr;  // a family the case needs installed, else it is skipped
};

int InkIn(const TGPBitmap& Bitmap, const TProbe& Box)
{
    int count = 0;
    for (int y = Box.Y0; y < Box.Y1; ++y)
        for (int x = Box.X0; x < Box.X1; ++x) {
            ARGB c = 0;
            EXPECT_EQ(Bitmap.GetPixel(x, y, c), Ok);
            if (GetAlpha(c) > 128 && (GetRed(c) < 200 || GetGreen(c) < 200 || GetBlue(c) < 200)) ++count;
        }
    return count;
}

// The picture of a failed case is kept for a person to look at.
void KeepFailed(const TGPBitmap& Bitmap, const std::string& Name)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "plumwick-text-drawing";
    std::filesystem::create_directories(folder);
    std::vector<std::uint8_t> png;
    if (Bitmap.SaveToMemory("image/png", png) != Ok) return;
    if (FILE* f = std::fopen((folder / (Name + ".png")).string().c_str(), "wb")) {
        std::fwrite(png.data(), 1, png.size(), f);
        std::fclose(f);
    }
}

bool Installed(const char* Family)
{
    TFontRequest request;
    request.Families = {Family};
    return TFontSet::Find(request)->PrimaryFamily() == Family;
}

class TextDrawing : public ::testing::TestWithParam<TDrawingCase> {};

TEST_P(TextDrawing, InkLiesWhereBrowsersPutIt)
{
    const TDrawingCase& c = GetParam();
    if (c.Needs != nullptr && !Installed(c.Needs)) GTEST_SKIP() << c.Needs << " is not installed";
    TSVG svg;
    svg.LoadFromText(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"200\" "
        "height=\"100\" viewBox=\"0 0 200 100\" font-family=\"DejaVu Sans\" font-size=\"40\">" +
        c.Body + "</svg>");
    std::unique_ptr<TGPBitmap> bitmap = svg.RenderToBitmap(200, 100);
    ASSERT_NE(bitmap, nullptr);
    for (const TProbe& p : c.Probes) {
        const int ink = InkIn(*bitmap, p);
        if (p.Ink)
            EXPECT_GT(ink, 0) << "no ink in " << p.X0 << "," << p.Y0 << " - " << p.X1 << "," << p.Y1;
        else
            EXPECT_EQ(ink, 0) << "ink in " << p.X0 << "," << p.Y0 << " - " << p.X1 << "," << p.Y1;
    }
    if (HasFailure()) KeepFailed(*bitmap, c.Name);
}

// "xx" at 40 px on the baseline y = 60: the glyphs fill about y = 38 to 60, the character cells
// (ascent to descent) about y = 23 to 69.
const char* Flood =
    "<filter id=\"f\" x=\"0\" y=\"0\" width=\"1\" height=\"1\"><feFlood flood-color=\"green\"/></filter>";

INSTANTIATE_TEST_SUITE_P(
    Cases, TextDrawing,
    ::testing::Values(
        // text-decoration takes keywords separated by blanks; anything else is invalid.
        TDrawingCase{"decoration-keywords",
                     "<text x=\"10\" y=\"60\" text-decoration=\"underline line-through\">Text</text>",
                     {{20, 61, 90, 65, true}}},
        TDrawingCase{"decoration-comma-list",
                     "<text x=\"10\" y=\"60\" text-decoration=\"underline,line-through\">Text</text>",
                     {{20, 61, 90, 65, false}}},
        TDrawingCase{"decoration-run-together",
                     "<text x=\"10\" y=\"60\" text-decoration=\"underlineoverline\">Text</text>",
                     {{20, 61, 90, 65, false}, {20, 15, 90, 24, false}}},
        TDrawingCase{"decoration-with-style-and-colour",
                     "<text x=\"10\" y=\"60\" text-decoration=\"underline solid red\">Text</text>",
                     {{20, 61, 90, 65, true}}},
        // Filters, clips and masks do not apply to spans and text paths.
        TDrawingCase{"filter-on-tspan",
                     std::string(Flood) + "<text x=\"10\" y=\"60\"><tspan filter=\"url(#f)\">xx</tspan></text>",
                     {{10, 20, 60, 34, false}, {12, 40, 55, 58, true}}},
        TDrawingCase{"clip-path-on-tspan",
                     "<clipPath id=\"c\"><rect width=\"1\" height=\"1\"/></clipPath>"
                     "<text x=\"10\" y=\"60\"><tspan clip-path=\"url(#c)\">xx</tspan></text>",
                     {{12, 40, 55, 58, true}}},
        TDrawingCase{"mask-on-tspan",
                     "<mask id=\"m\"><rect width=\"200\" height=\"100\" fill=\"black\"/></mask>"
                     "<text x=\"10\" y=\"60\"><tspan mask=\"url(#m)\">xx</tspan></text>",
                     {{12, 40, 55, 58, true}}},
        TDrawingCase{"filter-on-textPath",
                     std::string(Flood) + "<path id=\"p\" d=\"M10,60 H190\"/><text><textPath xlink:href=\"#p\" "
                                          "filter=\"url(#f)\">xx</textPath></text>",
                     {{10, 20, 60, 34, false}, {12, 40, 55, 58, true}}},
        // The bounding box of text is the box of its character cells, not of its ink.
        TDrawingCase{"filter-region-of-text",
                     std::string(Flood) + "<text x=\"10\" y=\"60\" filter=\"url(#f)\">xx</text>",
                     {{14, 25, 50, 34, true}, {14, 62, 50, 67, true}, {0, 0, 200, 20, false}}},
        TDrawingCase{"clip-box-of-text",
                     "<clipPath id=\"c\" clipPathUnits=\"objectBoundingBox\"><rect width=\"1\" height=\"0.3\"/>"
                     "</clipPath><text x=\"10\" y=\"60\" clip-path=\"url(#c)\">xx</text>",
                     {{0, 0, 200, 100, false}}},
        // Letter spacing leaves the joined letters of cursive scripts together (about 72 px wide).
        TDrawingCase{"letter-spacing-on-arabic",
                     "<text x=\"10\" y=\"60\" letter-spacing=\"30\">\u0628\u0628\u0628\u0628</text>",
                     {{12, 40, 80, 70, true}, {100, 20, 200, 80, false}}},
        // Letters placed anew do not join the letters before them: the first beh is drawn whole
        // (its bowl reaches x = 45), not as the short form that joins the next one (to x = 18).
        TDrawingCase{
            "joins-end-at-placed-letters", "<text x=\"10 100\" y=\"60\">\u0628\u0628</text>", {{25, 47, 44, 67, true}}},
        // On a path a glyph turns about the middle of its own advance, not of its spaced one: the
        // first "T" stays on the level part before the corner at x = 60.
        TDrawingCase{"letter-spacing-on-a-path",
                     "<defs><path id=\"p\" d=\"M10,60 H60 V100\"/></defs>"
                     "<text letter-spacing=\"100\"><textPath xlink:href=\"#p\">TT</textPath></text>",
                     {{12, 30, 34, 58, true}, {62, 61, 100, 100, false}}},
        // Blanks of default white space that follow a kept blank are dropped: the span's "l" lies
        // right after the two kept blanks (at about x = 39), not a blank further on.
        TDrawingCase{"default-space-after-preserved-space",
                     "<text x=\"10\" y=\"60\" xml:space=\"preserve\">  <tspan "
                     "xml:space=\"default\">  l</tspan></text>",
                     {{36, 30, 45, 60, true}, {48, 0, 200, 100, false}}},
        // An upright glyph in vertical text sits with the font's ascent-to-descent box centred in its
        // vertical advance below y: the top stroke of this 80 px character starts at y = 17 (at 24
        // were the box's top at y).
        TDrawingCase{"upright-in-vertical-text",
                     "<text x=\"50\" y=\"10\" writing-mode=\"tb\" font-family=\"WenQuanYi Micro Hei\" "
                     "font-size=\"80\">\u65E5</text>",
                     {{30, 18, 70, 21, true}, {0, 0, 200, 16, false}}},
        // A face with width and optical size axes is drawn at the requested width and for its size
        // (at 40 px "HHHH" spans about 102 px, narrowed to "wdth" 25 about 64 px; without the
        // optical size for 40 px the narrow one would still reach 101 px).
        TDrawingCase{"variable-face",
                     "<text x=\"10\" y=\"60\" font-family=\"Roboto Flex\">HHHH</text>",
                     {{80, 32, 108, 58, true}},
                     "Roboto Flex"},
        TDrawingCase{"variation-settings",
                     "<text x=\"10\" y=\"60\" font-family=\"Roboto Flex\" "
                     "style=\"font-variation-settings: 'wdth' 25\">HHHH</text>",
                     {{80, 32, 108, 58, false}, {12, 32, 70, 58, true}},
                     "Roboto Flex"}),
    probe::CaseName{});

}  // namespace
}  // namespace plumwick
