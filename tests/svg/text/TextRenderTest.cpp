#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/GdiPlus.h"
#include "svg/core/SVGDocument.h"
#include "tests/support/RenderProbe.h"

namespace plumwick {
namespace {

// Icons as a user's collection holds them: Latin and Chinese text, decorations, text on a curve.
struct TIconCase {
    const char* Name;
    std::string Svg;
    // A box that must hold ink and one that must stay empty (x0, y0, x1, y1 in output pixels).
    int Ink[4];
    int Empty[4];
};

int InkIn(const TGPBitmap& Bitmap, const int (&Box)[4])
{
    int count = 0;
    for (int y = Box[1]; y < Box[3]; ++y)
        for (int x = Box[0]; x < Box[2]; ++x) {
            ARGB c = 0;
            EXPECT_EQ(Bitmap.GetPixel(x, y, c), Ok);
            if (GetAlpha(c) > 128 && GetRed(c) < 100) ++count;
        }
    return count;
}

// Rendered icons are kept when PLUMWICK_RENDER_OUT names a folder, and after a failure.
void Keep(const TGPBitmap& Bitmap, const std::string& Name, bool Failed)
{
    const char* dir = std::getenv("PLUMWICK_RENDER_OUT");
    std::filesystem::path folder =
        dir != nullptr ? std::filesystem::path(dir) : std::filesystem::temp_directory_path() / "plumwick-text";
    if (dir == nullptr && !Failed) return;
    std::filesystem::create_directories(folder);
    std::vector<std::uint8_t> png;
    if (Bitmap.SaveToMemory("image/png", png) != Ok) return;
    const std::filesystem::path file = folder / (Name + ".png");
    if (FILE* f = std::fopen(file.string().c_str(), "wb")) {
        std::fwrite(png.data(), 1, png.size(), f);
        std::fclose(f);
    }
}

class TextIcon : public ::testing::TestWithParam<TIconCase> {};

TEST_P(TextIcon, PaintsItsText)
{
    const TIconCase& c = GetParam();
    TSVG svg;
    svg.LoadFromText(c.Svg);
    std::unique_ptr<TGPBitmap> bitmap = svg.RenderToBitmap(128, 128);
    ASSERT_NE(bitmap, nullptr);
    const int ink = InkIn(*bitmap, c.Ink);
    const int stray = InkIn(*bitmap, c.Empty);
    EXPECT_GT(ink, 20);
    EXPECT_EQ(stray, 0);
    Keep(*bitmap, c.Name, ::testing::Test::HasFailure());
}

const char* Head =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
    "viewBox=\"0 0 128 128\" width=\"128\" height=\"128\">";

INSTANTIATE_TEST_SUITE_P(
    Icons, TextIcon,
    ::testing::Values(
        TIconCase{"latin",
                  std::string(Head) +
                      "<text x=\"8\" y=\"56\" font-family=\"Arial\" font-size=\"44\" fill=\"#003366\">AVo</text>"
                      "<text x=\"8\" y=\"108\" font-family=\"Times New Roman\" font-size=\"36\" font-style=\"italic\" "
                      "font-weight=\"bold\" fill=\"#000000\">Wave</text></svg>",
                  {8, 20, 100, 56},
                  {0, 112, 128, 128}},
        TIconCase{"chinese",
                  std::string(Head) +
                      "<text x=\"4\" y=\"80\" font-family=\"Microsoft YaHei\" font-size=\"56\" fill=\"#202020\">"
                      "\xE4\xB8\xAD\xE6\x96\x87</text></svg>",
                  {8, 30, 120, 80},
                  {0, 0, 128, 20}},
        TIconCase{"mixed-scripts",
                  std::string(Head) +
                      "<text x=\"4\" y=\"50\" font-family=\"WenQuanYi Micro Hei\" font-size=\"30\" fill=\"#102030\">"
                      "图标<tspan fill=\"#004080\">Icon</tspan></text>"
                      "<text x=\"4\" y=\"100\" font-family=\"DejaVu Sans\" font-size=\"24\" "
                      "text-decoration=\"underline line-through\" fill=\"#000000\">Sale 50%</text></svg>",
                  {4, 20, 120, 52},
                  {0, 110, 128, 128}},
        TIconCase{"on-a-curve",
                  std::string(Head) +
                      "<path id=\"arc\" fill=\"none\" stroke=\"none\" d=\"M10,100 C10,20 118,20 118,100\"/>"
                      "<text font-family=\"DejaVu Sans\" font-size=\"18\" fill=\"#000000\">"
                      "<textPath xlink:href=\"#arc\" startOffset=\"5%\">Around the arc</textPath></text></svg>",
                  {0, 30, 128, 100},
                  {0, 104, 128, 128}},
        // Centred on the middle of the icon: nothing on either side.
        TIconCase{"centred-letters",
                  std::string(Head) + "<text x=\"50%\" y=\"50%\" text-anchor=\"middle\" dominant-baseline=\"central\" "
                                      "font-family=\"sans-serif\" font-size=\"40\" fill=\"#000\">AB</text></svg>",
                  {40, 48, 88, 80},
                  {98, 0, 128, 128}},
        // Written over several lines: each line starts at the left margin.
        TIconCase{"pretty-printed-lines",
                  std::string(Head) +
                      "<text x=\"4\" y=\"30\" font-family=\"Arial\" font-size=\"24\" fill=\"#000\">\n"
                      "    <tspan x=\"4\">Line</tspan>\n    <tspan x=\"4\" dy=\"1.2em\">two</tspan>\n  </text></svg>",
                  {4, 36, 40, 58},
                  {60, 34, 128, 64}}),
    probe::CaseName{});

}  // namespace
}  // namespace plumwick
