// Raster export: what the written files hold, probed pixel by pixel.
#include "app/RasterExport.h"

#include "platform/GdiPlusImage.h"

#include <gtest/gtest.h>

#include <cstdint>
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
    void SetUp() override
    {
        FFolder = fs::temp_directory_path() /
                  ("plumwick-export-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(FFolder);
        fs::create_directories(FFolder);
    }
    void TearDown() override { fs::remove_all(FFolder); }

    std::string File(const std::string& name) const { return (FFolder / name).string(); }

    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // The written picture decoded again; fails the test when it is not a readable image.
    static std::unique_ptr<TGPBitmap> Decode(const std::string& path)
    {
        const std::string bytes = Read(path);
        auto bitmap = std::make_unique<TGPBitmap>(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                                            bytes.size()));
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
        {R"(<svg viewBox="0 0 20 10"><rect x="0" y="0" width="10" height="10" fill="blue"/></svg>)", 40, 20, 5,
         10, 0xFF0000FF},
        // A view box that does not start at the origin still covers the whole target.
        {R"(<svg viewBox="10 0 20 10"><rect x="10" y="0" width="10" height="10" fill="blue"/></svg>)", 40, 20,
         15, 10, 0xFF0000FF},
        {R"(<svg viewBox="10 0 20 10"><rect x="10" y="0" width="10" height="10" fill="blue"/></svg>)", 40, 20,
         25, 10, 0x00000000},
    };
    for (const Case& c : cases) {
        const std::string file = File("out.png");
        ASSERT_TRUE(SaveSvgAsImage(c.svg, file, c.width, c.height)) << c.svg;
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
    ASSERT_TRUE(SaveSvgAsImage(svg, file, 96, 96));
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
        {R"(<svg viewBox="0 0 100000 100000"><rect width="100000" height="100000" fill="lime"/></svg>)",
         0xFF00FF00},
        {R"(<svg viewBox="0 0 1e30 1e30"><rect width="1e30" height="1e30" fill="lime"/></svg>)", 0xFF00FF00},
        // Nothing to paint: a transparent image.
        {R"(<svg viewBox="0 0 0 0"><rect width="10" height="10" fill="lime"/></svg>)", 0},
        {R"(<svg viewBox="0 0 24 0"><rect width="10" height="10" fill="lime"/></svg>)", 0},
    };
    for (const Case& c : cases) {
        const std::string file = File("huge.png");
        ASSERT_TRUE(SaveSvgAsImage(c.svg, file, 32, 32)) << c.svg;
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
        {"a.png", "\x89PNG"},
        {"a.bmp", "BM"},
        {"a.BMP", "\x89PNG"},
        {"a.bmp.png", "\x89PNG"},
        {"bmp", "\x89PNG"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(SaveSvgAsImage(kHalfRed, File(c.name), 16, 16)) << c.name;
        EXPECT_EQ(Read(File(c.name)).rfind(c.magic, 0), 0u) << c.name;
    }
    const auto bmp = Decode(File("a.bmp"));
    EXPECT_EQ(Pixel(*bmp, 2, 8) & 0xFFFFFF, 0xFF0000u);
}

TEST_F(RasterExport, IconHoldsStraightColourWithItsAlpha)
{
    const char* svg = R"(<svg viewBox="0 0 4 4"><rect width="4" height="4" fill="#ff0000" fill-opacity="0.5"/></svg>)";
    const std::string file = File("half.ico");
    ASSERT_TRUE(SaveSvgAsIcon(svg, file, 16, 16));
    const std::string bytes = Read(file);
    ASSERT_EQ(bytes.size(), 22u + 40u + 16u * 16u * 4u + 16u * 4u);
    const std::size_t pixel = 22 + 40 + (8 * 16 + 8) * 4;
    const auto at = [&](std::size_t i) { return static_cast<int>(static_cast<std::uint8_t>(bytes[pixel + i])); };
    EXPECT_EQ(at(0), 0);  // blue
    EXPECT_EQ(at(1), 0);  // green
    EXPECT_EQ(at(2), 255);  // red kept at full strength, not multiplied by alpha
    EXPECT_NEAR(at(3), 128, 1);
}

TEST_F(RasterExport, FailuresWriteNothingAndKeepTheOldFile)
{
    const std::string file = File("keep.png");
    {
        std::ofstream(file, std::ios::binary) << "old";
    }
    EXPECT_ANY_THROW(SaveSvgAsImage("<svg><path d=", file, 96, 96));
    EXPECT_ANY_THROW(SaveSvgAsIcon("not xml", file, 96, 96));
    EXPECT_FALSE(SaveSvgAsImage(kHalfRed, file, 0, 96));
    EXPECT_FALSE(SaveSvgAsIcon(kHalfRed, file, 96, 5000));
    EXPECT_EQ(Read(file), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(FFolder), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace plumwick
