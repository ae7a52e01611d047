// Raster export: what the written files hold, probed pixel by pixel.
#include "app/RasterExport.h"
#include "tests/support/TestFolder.h"

#include "platform/GdiPlusImage.h"
#include "svg/core/SVGDocument.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace plumwick {
namespace {

namespace fs = std::filesystem;

class RasterExport : public testing::Test {
protected:
    void SetUp() override { FFolder = plumwick::test::FreshTestFolder("plumwick-export"); }
    void TearDown() override { fs::remove_all(FFolder); }

    std::string File(const std::string& name) const { return (FFolder / name).string(); }

    // The written picture decoded again; fails the test when it is not a readable image.
    static std::unique_ptr<TGPBitmap> Decode(const std::string& path)
    {
        const std::string bytes = plumwick::test::ReadWholeFile(path);
        auto bitmap =
            std::make_unique<TGPBitmap>(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
        EXPECT_EQ(bitmap->GetLastStatus(), Ok) << path;
        return bitmap;
    }

    static ARGB Pixel(const TGPBitmap& bitmap, int x, int y)
    {
        ARGB color = 0;
        EXPECT_EQ(bitmap.GetPixel(x, y, color), Ok) << x << "," << y;
        return color;
    }

    fs::path FFolder;
};

// An IconFont-style icon: a 1024 view box without width and height, red on its left half.
constexpr const char* kHalfRed =
    R"(<svg class="icon" style="fill: currentColor" viewBox="0 0 1024 1024" xmlns="http://www.w3.org/2000/svg">)"
    R"(<path d="M0 0H512V1024H0Z" fill="#ff0000"/></svg>)";

TEST_F(RasterExport, PaintsTheViewBoxOntoTheWholeTarget)
{
    struct Case {
        const char* svg;
        int width, height;
        int x, y;
        ARGB expected;
    };
    const Case cases[] = {
        {kHalfRed, 96, 96, 10, 48, 0xFFFF0000},
        {kHalfRed, 96, 96, 85, 48, 0x00000000},
        {kHalfRed, 400, 400, 190, 10, 0xFFFF0000},
        {kHalfRed, 400, 400, 210, 390, 0x00000000},
        // Stretched to the target whatever its aspect ratio: the left half stays the left half.
        {kHalfRed, 100, 50, 40, 45, 0xFFFF0000},
        {kHalfRed, 100, 50, 60, 5, 0x00000000},
        {R"(<svg viewBox="0 0 20 10"><rect x="0" y="0" width="10" height="10" fill="blue"/></svg>)", 40, 20, 5, 10,
         0xFF0000FF},
        // A view box that does not start at the origin still covers the whole target.
        {R"(<svg viewBox="10 0 20 10"><rect x="10" y="0" width="10" height="10" fill="blue"/></svg>)", 40, 20, 15, 10,
         0xFF0000FF},
        {R"(<svg viewBox="10 0 20 10"><rect x="10" y="0" width="10" height="10" fill="blue"/></svg>)", 40, 20, 25, 10,
         0x00000000},
    };
    for (const Case& c : cases) {
        const std::string file = File("out.png");
        ASSERT_NO_THROW(SaveSvgAsImage(c.svg, file, c.width, c.height)) << c.svg;
        const auto bitmap = Decode(file);
        ASSERT_EQ(bitmap->GetWidth(), static_cast<unsigned>(c.width));
        ASSERT_EQ(bitmap->GetHeight(), static_cast<unsigned>(c.height));
        EXPECT_EQ(Pixel(*bitmap, c.x, c.y), c.expected) << c.svg << " at " << c.x << "," << c.y;
    }
}

// A view box smaller than the target is painted at the target's resolution: edges that fall on pixel
// boundaries stay sharp instead of being smeared by a resample.
TEST_F(RasterExport, SmallViewBoxesComeOutSharp)
{
    const char* svg = R"(<svg viewBox="0 0 2 2"><rect width="1" height="2" fill="#ff0000"/>)"
                      R"(<rect x="1" width="1" height="2" fill="#0000ff"/></svg>)";
    const std::string file = File("small.png");
    ASSERT_NO_THROW(SaveSvgAsImage(svg, file, 96, 96));
    const auto bitmap = Decode(file);
    EXPECT_EQ(Pixel(*bitmap, 0, 48), 0xFFFF0000u);
    EXPECT_EQ(Pixel(*bitmap, 46, 48), 0xFFFF0000u);
    EXPECT_EQ(Pixel(*bitmap, 49, 48), 0xFF0000FFu);
    EXPECT_EQ(Pixel(*bitmap, 95, 48), 0xFF0000FFu);
}

TEST_F(RasterExport, HugeAndEmptyViewBoxesStillWriteAnImage)
{
    struct Case {
        const char* svg;
        ARGB centre;
    };
    const Case cases[] = {
        // Painted straight into the target: the size of the view box costs nothing.
        {R"(<svg viewBox="0 0 100000 100000"><rect width="100000" height="100000" fill="lime"/></svg>)", 0xFF00FF00},
        {R"(<svg viewBox="0 0 1e30 1e30"><rect width="1e30" height="1e30" fill="lime"/></svg>)", 0xFF00FF00},
        // Nothing to paint: a transparent image.
        {R"(<svg viewBox="0 0 0 0"><rect width="10" height="10" fill="lime"/></svg>)", 0},
        {R"(<svg viewBox="0 0 24 0"><rect width="10" height="10" fill="lime"/></svg>)", 0},
    };
    for (const Case& c : cases) {
        const std::string file = File("huge.png");
        ASSERT_NO_THROW(SaveSvgAsImage(c.svg, file, 32, 32)) << c.svg;
        EXPECT_EQ(Pixel(*Decode(file), 16, 16), c.centre) << c.svg;
        fs::remove(file);
    }
}

TEST_F(RasterExport, FormatFollowsTheExactExtension)
{
    struct Case {
        const char* name;
        const char* magic;
    };
    const Case cases[] = {
        {"a.png", "\x89PNG"}, {"a.bmp", "BM"}, {"a.BMP", "\x89PNG"}, {"a.bmp.png", "\x89PNG"}, {"bmp", "\x89PNG"},
    };
    for (const Case& c : cases) {
        ASSERT_NO_THROW(SaveSvgAsImage(kHalfRed, File(c.name), 16, 16)) << c.name;
        EXPECT_EQ(plumwick::test::ReadWholeFile(File(c.name)).rfind(c.magic, 0), 0u) << c.name;
    }
    const auto bmp = Decode(File("a.bmp"));
    EXPECT_EQ(Pixel(*bmp, 2, 8) & 0xFFFFFF, 0xFF0000u);
}

TEST_F(RasterExport, IconHoldsStraightColourWithItsAlpha)
{
    const char* svg = R"(<svg viewBox="0 0 4 4"><rect width="4" height="4" fill="#ff0000" fill-opacity="0.5"/></svg>)";
    const std::string file = File("half.ico");
    ASSERT_NO_THROW(SaveSvgAsIcon(svg, file, 16, 16));
    const std::string bytes = plumwick::test::ReadWholeFile(file);
    ASSERT_EQ(bytes.size(), 22u + 40u + 16u * 16u * 4u + 16u * 4u);
    const std::size_t pixel = 22 + 40 + (8 * 16 + 8) * 4;
    const auto at = [&](std::size_t i) { return static_cast<int>(static_cast<std::uint8_t>(bytes[pixel + i])); };
    EXPECT_EQ(at(0), 0);    // blue
    EXPECT_EQ(at(1), 0);    // green
    EXPECT_EQ(at(2), 255);  // red kept at full strength, not multiplied by alpha
    EXPECT_NEAR(at(3), 128, 1);
}

// A red disc filling an 8-unit box, its edge half-transparent blue squares in the corners.
constexpr const char* kDiscWithCorners =
    R"(<svg viewBox="0 0 8 8" xmlns="http://www.w3.org/2000/svg"><circle cx="4" cy="4" r="3" fill="#f00"/>)"
    R"(<rect width="1" height="1" fill="#00f" fill-opacity="0.5"/></svg>)";

struct ProbeCase {
    const char* name;
    const char* fileName;
};

class ExportedPixels : public RasterExport, public testing::WithParamInterface<ProbeCase> {};

// Decoded again, every format keeps the transparent background transparent and the colour of a
// half-transparent pixel at full strength (straight alpha).
TEST_P(ExportedPixels, KeepStraightAlpha)
{
    const std::string file = File(GetParam().fileName);
    ASSERT_NO_THROW(SaveSvgAsImage(kDiscWithCorners, file, 32, 32));
    const auto image = Decode(file);
    ASSERT_EQ(image->GetWidth(), 32u);
    EXPECT_EQ(Pixel(*image, 16, 16), 0xFFFF0000u) << "the disc";
    EXPECT_EQ(Pixel(*image, 31, 31) >> 24, 0u) << "the background";
    const ARGB corner = Pixel(*image, 1, 1);
    EXPECT_NEAR(static_cast<int>(corner >> 24), 128, 1);
    EXPECT_EQ(corner & 0xFFFFFF, 0x0000FFu);
}

INSTANTIATE_TEST_SUITE_P(Formats, ExportedPixels,
                         testing::Values(ProbeCase{"png", "disc.png"}, ProbeCase{"bmp", "disc.bmp"}),
                         [](const testing::TestParamInfo<ProbeCase>& info) { return std::string(info.param.name); });

TEST_F(RasterExport, PngIsEightBitRgba)
{
    const std::string file = File("disc.png");
    ASSERT_NO_THROW(SaveSvgAsImage(kDiscWithCorners, file, 20, 20));
    const std::string bytes = plumwick::test::ReadWholeFile(file);
    ASSERT_GT(bytes.size(), 26u);
    EXPECT_EQ(bytes.substr(12, 4), "IHDR");
    EXPECT_EQ(bytes[24], 8) << "bits per channel";
    EXPECT_EQ(bytes[25], 6) << "colour type RGBA";
}

// The output of a command, or nothing when it cannot run.
std::string CommandOutput(const std::string& command)
{
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return out;
    std::array<char, 256> chunk{};
    while (std::fgets(chunk.data(), static_cast<int>(chunk.size()), pipe)) out += chunk.data();
    ::pclose(pipe);
    return out;
}

bool HaveImageMagick()
{
    return !CommandOutput("command -v identify").empty() && !CommandOutput("command -v convert").empty();
}

TEST_F(RasterExport, IconSetHoldsEverySizeForAnotherReader)
{
    const std::string file = File("set.ico");
    TSVG document;
    document.LoadFromText(kDiscWithCorners);
    const std::vector<TIconSize> sizes = {{16, 16}, {32, 32}, {256, 256}};
    ASSERT_NO_THROW(SaveDocumentAsIconSet(document, file, sizes));
    // Our own reader, Qt's icon plug-in, takes the first image.
    EXPECT_EQ(Decode(file)->GetWidth(), 16u);
    if (!HaveImageMagick()) GTEST_SKIP() << "ImageMagick is not installed";
    EXPECT_EQ(CommandOutput("identify -format '%w %h %A\\n' " + file), "16 16 True\n32 32 True\n256 256 True\n");
    // Each size painted on its own: the disc's centre is red and the corners' alpha is halved at every size.
    for (const auto& [index, centre] : {std::pair{0, 8}, std::pair{1, 16}, std::pair{2, 128}}) {
        const std::string image = file + "[" + std::to_string(index) + "]";
        const std::string at = std::to_string(centre);
        EXPECT_EQ(CommandOutput("convert '" + image + "' -format '%[pixel:p{" + at + "," + at + "}]' info:"),
                  "srgba(255,0,0,1)")
            << image;
        EXPECT_EQ(CommandOutput("convert '" + image + "' -format '%[fx:int(255*p{0,0}.a+0.5)] %[fx:p{0,0}.b]' info:"),
                  "128 1")
            << image;
    }
}

TEST_F(RasterExport, FailuresWriteNothingAndKeepTheOldFile)
{
    const std::string file = File("keep.png");
    {
        std::ofstream(file, std::ios::binary) << "old";
    }
    EXPECT_ANY_THROW(SaveSvgAsImage("<svg><path d=", file, 96, 96));
    EXPECT_ANY_THROW(SaveSvgAsIcon("not xml", file, 96, 96));
    EXPECT_THROW(SaveSvgAsImage(kHalfRed, file, 0, 96), std::invalid_argument);
    EXPECT_THROW(SaveSvgAsIcon(kHalfRed, file, 96, 5000), std::invalid_argument);
    EXPECT_EQ(plumwick::test::ReadWholeFile(file), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(FFolder), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace plumwick
