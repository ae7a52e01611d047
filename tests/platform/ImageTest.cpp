// Bitmaps, pictures decoded from bytes, encoders by MIME type, and drawing pictures.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "Canvas.h"

namespace plumwick::test {
namespace {

using test::PrintTo;

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A 2 × 2 picture: red, green / blue, white.
const std::vector<std::uint32_t> kFour = {kRed, kGreen, kBlue, kWhite};

std::vector<std::uint8_t> Encoded(const char* mime, const std::vector<std::uint32_t>& pixels, int w, int h)
{
    TGPBitmap bitmap(w, h);
    EXPECT_EQ(bitmap.SetPixels(pixels), Ok);
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(bitmap.SaveToMemory(mime, bytes), Ok) << mime;
    return bytes;
}

// GIF89a, 2 × 2, a four-colour table (red, green, blue, white), pixels 0 1 / 2 3.
const std::vector<std::uint8_t> kGif = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x02, 0x00, 0x02, 0x00, 0xF1,
                                        0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF,
                                        0xFF, 0xFF, 0xFF, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x02,
                                        0x00, 0x00, 0x02, 0x03, 0x44, 0x34, 0x05, 0x00, 0x3B};
// The same with a graphic control block that makes colour 3 (white) transparent.
const std::vector<std::uint8_t> kTransparentGif = {
    0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x02, 0x00, 0x02, 0x00, 0xF1, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00,
    0xFF, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, 0x03, 0x00, 0x2C,
    0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x02, 0x00, 0x00, 0x02, 0x03, 0x44, 0x34, 0x05, 0x00, 0x3B};

struct TDecodeCase {
    const char* Name;
    std::function<std::vector<std::uint8_t>()> Bytes;
    unsigned Width, Height;
    std::vector<std::pair<TGPPoint, ARGB>> Pixels;
    int Tolerance;
};

class Decoding : public testing::TestWithParam<TDecodeCase> {};

TEST_P(Decoding, GivesTheEncodedPixels)
{
    const TDecodeCase& c = GetParam();
    const std::vector<std::uint8_t> bytes = c.Bytes();
    ASSERT_FALSE(bytes.empty()) << c.Name;
    TGPImage image(bytes);
    ASSERT_EQ(image.GetLastStatus(), Ok) << c.Name;
    EXPECT_EQ(image.GetWidth(), c.Width);
    EXPECT_EQ(image.GetHeight(), c.Height);
    EXPECT_EQ(image.GetPixelFormat(), PixelFormat32bppARGB);
    // Drawn one to one onto a bitmap, the picture's pixels arrive unchanged.
    Canvas canvas(int(c.Width), int(c.Height));
    ASSERT_EQ(canvas.Graphics.DrawImage(&image, 0, 0), Ok);
    for (const auto& [at, colour] : c.Pixels)
        EXPECT_TRUE(Near(canvas.At(at.X, at.Y), colour, c.Tolerance))
            << c.Name << " at " << at.X << "," << at.Y << ": " << Hex(canvas.At(at.X, at.Y));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, Decoding,
    testing::Values(
        TDecodeCase{"Png",
                    [] { return Encoded("image/png", kFour, 2, 2); },
                    2,
                    2,
                    {{{0, 0}, kRed}, {{1, 0}, kGreen}, {{0, 1}, kBlue}, {{1, 1}, kWhite}},
                    0},
        TDecodeCase{"PngKeepsAlpha",
                    [] {
                        return Encoded("image/png", {0x80FF0000, 0x00000000, 0x40FFFFFF, 0xFF000000}, 2, 2);
                    },
                    2,
                    2,
                    {{{0, 0}, 0x80FF0000}, {{1, 0}, 0x00000000}, {{0, 1}, 0x40FFFFFF}, {{1, 1}, kBlack}},
                    2},
        TDecodeCase{"Bmp",
                    [] { return Encoded("image/bmp", kFour, 2, 2); },
                    2,
                    2,
                    {{{0, 0}, kRed}, {{1, 0}, kGreen}, {{0, 1}, kBlue}, {{1, 1}, kWhite}},
                    0},
        TDecodeCase{"BmpOddWidth",
                    [] {
                        return Encoded("image/bmp", {kRed, kGreen, kBlue, kBlack, kWhite, kRed}, 3, 2);
                    },
                    3,
                    2,
                    {{{2, 0}, kBlue}, {{0, 1}, kBlack}, {{2, 1}, kRed}},
                    0},
        TDecodeCase{
            "Gif", [] { return kGif; }, 2, 2, {{{0, 0}, kRed}, {{1, 0}, kGreen}, {{0, 1}, kBlue}, {{1, 1}, kWhite}}, 0},
        TDecodeCase{
            "GifTransparentColour", [] { return kTransparentGif; }, 2, 2, {{{0, 0}, kRed}, {{1, 1}, kClear}}, 0},
        // Red left half, blue right half.
        TDecodeCase{"Jpeg",
                    [] { return ReadFile(std::filesystem::path(PLUMWICK_TEST_DATA) / "red-blue-32x8.jpg"); },
                    32,
                    8,
                    {{{3, 3}, kRed}, {{28, 4}, kBlue}},
                    12}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TBadBytesCase {
    const char* Name;
    std::function<std::vector<std::uint8_t>()> Bytes;
};

class BadBytes : public testing::TestWithParam<TBadBytesCase> {};

TEST_P(BadBytes, FailWithAStatus)
{
    const std::vector<std::uint8_t> bytes = GetParam().Bytes();
    TGPImage image(bytes);
    EXPECT_EQ(image.GetLastStatus(), UnknownImageFormat) << GetParam().Name;
    EXPECT_EQ(image.GetWidth(), 0u);
    EXPECT_EQ(image.GetHeight(), 0u);
    Canvas canvas(4, 4);
    EXPECT_EQ(canvas.Graphics.DrawImage(&image, 0, 0), InvalidParameter);
    EXPECT_EQ(canvas.Covered(0, 0, 4, 4), 0);
    std::vector<std::uint8_t> out;
    EXPECT_NE(image.SaveToMemory("image/png", out), Ok);
    EXPECT_TRUE(out.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Streams, BadBytes,
    testing::Values(TBadBytesCase{"Empty", [] { return std::vector<std::uint8_t>{}; }},
                    TBadBytesCase{"Text",
                                  [] {
                                      return std::vector<std::uint8_t>{'h', 'e', 'l', 'l', 'o'};
                                  }},
                    TBadBytesCase{"PngSignatureOnly",
                                  [] {
                                      auto png = Encoded("image/png", kFour, 2, 2);
                                      png.resize(8);
                                      return png;
                                  }},
                    TBadBytesCase{"TruncatedPng",
                                  [] {
                                      auto png = Encoded("image/png", kFour, 2, 2);
                                      png.resize(png.size() / 2);
                                      return png;
                                  }},
                    TBadBytesCase{"GifHeaderOnly",
                                  [] { return std::vector<std::uint8_t>(kGif.begin(), kGif.begin() + 13); }}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(Decoding, HugeDeclaredSizeIsRefusedBeforeDecoding)
{
    // A BMP header claiming 100000 × 100000 pixels and no pixel data.
    std::vector<std::uint8_t> bmp = Encoded("image/bmp", kFour, 2, 2);
    ASSERT_GT(bmp.size(), 26u);
    auto put32 = [&](size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bmp[at + i] = std::uint8_t(v >> (8 * i));
    };
    put32(18, 100000);
    put32(22, 100000);
    TGPImage image(bmp);
    const Status s = image.GetLastStatus();
    EXPECT_TRUE(s == OutOfMemory || s == UnknownImageFormat) << s;
    EXPECT_EQ(image.GetWidth(), 0u);
}

// --- bitmaps

TEST(Bitmap, StartsTransparentAndHoldsStraightArgb)
{
    TGPBitmap bitmap(3, 2, PixelFormat32bppARGB);
    ASSERT_EQ(bitmap.GetLastStatus(), Ok);
    EXPECT_EQ(bitmap.GetWidth(), 3u);
    EXPECT_EQ(bitmap.GetHeight(), 2u);
    EXPECT_EQ(bitmap.GetPixelFormat(), PixelFormat32bppARGB);
    std::vector<std::uint32_t> pixels;
    ASSERT_TRUE(bitmap.GetPixels(pixels));
    EXPECT_EQ(pixels, std::vector<std::uint32_t>(6, 0));
}

struct TPixelCase {
    const char* Name;
    ARGB Colour;
    int Tolerance;
};

class BitmapPixels : public testing::TestWithParam<TPixelCase> {};

TEST_P(BitmapPixels, ReadBackAsWritten)
{
    const TPixelCase& c = GetParam();
    TGPBitmap bitmap(2, 2);
    ASSERT_EQ(bitmap.SetPixel(1, 0, c.Colour), Ok);
    ARGB one = 0;
    ASSERT_EQ(bitmap.GetPixel(1, 0, one), Ok);
    EXPECT_TRUE(Near(one, c.Colour, c.Tolerance)) << c.Name << " GetPixel " << Hex(one);
    std::vector<std::uint32_t> pixels;
    ASSERT_TRUE(bitmap.GetPixels(pixels));
    EXPECT_TRUE(Near(pixels[1], c.Colour, c.Tolerance)) << c.Name << " GetPixels " << Hex(pixels[1]);
    EXPECT_EQ(pixels[0], 0u);
    // A surface painting the colour gives the same pixel.
    TGPBitmap painted(2, 2);
    TGPGraphics graphics(&painted);
    TGPSolidBrush brush(c.Colour);
    EXPECT_EQ(graphics.FillRectangle(&brush, 1, 0, 1, 1), Ok);
    ARGB drawn = 0;
    EXPECT_EQ(painted.GetPixel(1, 0, drawn), Ok);
    EXPECT_TRUE(Near(drawn, c.Colour, c.Tolerance)) << c.Name << " painted " << Hex(drawn);
}

INSTANTIATE_TEST_SUITE_P(Colours, BitmapPixels,
                         testing::Values(TPixelCase{"Opaque", 0xFF336699, 0}, TPixelCase{"HalfRed", 0x80FF0000, 2},
                                         TPixelCase{"QuarterWhite", 0x40FFFFFF, 4},
                                         TPixelCase{"FaintGreen", 0x1000FF00, 16}),
                         [](const auto& info) { return std::string(info.param.Name); });

struct TBadBitmapCase {
    const char* Name;
    int Width, Height;
    Status Expected;
};

class BadBitmaps : public testing::TestWithParam<TBadBitmapCase> {};

TEST_P(BadBitmaps, HaveNoPixelsAndASurfaceThatDrawsNothing)
{
    const TBadBitmapCase& c = GetParam();
    TGPBitmap bitmap(c.Width, c.Height);
    EXPECT_EQ(bitmap.GetLastStatus(), c.Expected) << c.Name;
    EXPECT_EQ(bitmap.GetWidth(), 0u);
    std::vector<std::uint32_t> pixels;
    EXPECT_FALSE(bitmap.GetPixels(pixels));
    TGPGraphics graphics(&bitmap);
    EXPECT_EQ(graphics.GetLastStatus(), InvalidParameter);
    TGPSolidBrush brush(kRed);
    EXPECT_NE(graphics.FillRectangle(&brush, 0, 0, 10, 10), Ok);
    ARGB colour = 0;
    EXPECT_EQ(bitmap.GetPixel(0, 0, colour), InvalidParameter);
}

INSTANTIATE_TEST_SUITE_P(Sizes, BadBitmaps,
                         testing::Values(TBadBitmapCase{"ZeroWidth", 0, 5, InvalidParameter},
                                         TBadBitmapCase{"Negative", 5, -1, InvalidParameter},
                                         TBadBitmapCase{"Huge", 100000, 100000, OutOfMemory}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Bitmap, PixelsOnABackground)
{
    TGPBitmap bitmap(2, 1);
    EXPECT_EQ(bitmap.SetPixels(std::vector<std::uint32_t>{0x80FF0000, 0x00000000}), Ok);
    std::vector<std::uint32_t> pixels;
    ASSERT_TRUE(bitmap.GetPixelsOnBackground(kWhite, pixels));
    // Half red over white is pink; alpha stays the pixel's own.
    EXPECT_TRUE(Near(pixels[0], 0x80FF7F7F, 2)) << Hex(pixels[0]);
    EXPECT_EQ(pixels[1], 0x00FFFFFFu);
}

// --- encoders

TEST(Encoders, PngAndBmpAreFoundByMimeType)
{
    const std::vector<TImageCodecInfo> encoders = GetImageEncoders();
    CLSID png, bmp;
    for (const auto& e : encoders) {
        if (e.MimeType == "image/png") png = e.Clsid;
        if (e.MimeType == "image/bmp") bmp = e.Clsid;
    }
    ASSERT_FALSE(png.IsNull());
    ASSERT_FALSE(bmp.IsNull());
    EXPECT_NE(png, bmp);

    struct TSaveCase {
        const char* Name;
        CLSID Encoder;
        std::uint8_t Magic0, Magic1;
    };
    const TSaveCase cases[] = {{"png", png, 0x89, 'P'}, {"bmp", bmp, 'B', 'M'}};
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "plumwick-graphics-test";
    std::filesystem::create_directories(dir);
    for (const TSaveCase& c : cases) {
        TGPBitmap bitmap(2, 2);
        EXPECT_EQ(bitmap.SetPixels(kFour), Ok);
        const std::filesystem::path file = dir / (std::string("four.") + c.Name);
        ASSERT_EQ(bitmap.Save(file.string(), c.Encoder), Ok) << c.Name;
        const std::vector<std::uint8_t> bytes = ReadFile(file);
        ASSERT_GT(bytes.size(), 2u);
        EXPECT_EQ(bytes[0], c.Magic0) << c.Name;
        EXPECT_EQ(bytes[1], c.Magic1) << c.Name;
        TGPImage back(bytes);
        ASSERT_EQ(back.GetLastStatus(), Ok);
        Canvas canvas(2, 2);
        EXPECT_EQ(canvas.Graphics.DrawImage(&back, 0, 0), Ok);
        EXPECT_EQ(canvas.At(1, 0), kGreen) << c.Name;
        EXPECT_EQ(canvas.At(0, 1), kBlue) << c.Name;
    }
    std::filesystem::remove_all(dir);
}

TEST(Encoders, EveryListedEncoderWritesAPictureThatDecodes)
{
    const std::vector<TImageCodecInfo> encoders = GetImageEncoders();
    ASSERT_GE(encoders.size(), 2u);
    // Opaque halves, large enough for lossy formats to keep their colours.
    TGPBitmap bitmap(16, 16);
    std::vector<std::uint32_t> halves(256);
    for (int i = 0; i < 256; ++i) halves[i] = (i % 16) < 8 ? kRed : kBlue;
    EXPECT_EQ(bitmap.SetPixels(halves), Ok);
    for (const TImageCodecInfo& e : encoders) {
        EXPECT_FALSE(e.Clsid.IsNull()) << e.MimeType;
        std::vector<std::uint8_t> bytes;
        ASSERT_EQ(bitmap.SaveToMemory(e.MimeType, bytes), Ok) << e.MimeType;
        TGPImage back(bytes);
        ASSERT_EQ(back.GetLastStatus(), Ok) << e.MimeType;
        EXPECT_EQ(back.GetWidth(), 16u);
        Canvas canvas(16, 16);
        EXPECT_EQ(canvas.Graphics.DrawImage(&back, 0, 0), Ok);
        EXPECT_TRUE(Near(canvas.At(2, 8), kRed, 24)) << e.MimeType << " " << Hex(canvas.At(2, 8));
        EXPECT_TRUE(Near(canvas.At(13, 8), kBlue, 24)) << e.MimeType << " " << Hex(canvas.At(13, 8));
    }
}

TEST(Encoders, UnknownEncoderFailsAndLeavesTheFile)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "plumwick-graphics-unknown";
    std::filesystem::create_directories(dir);
    const std::filesystem::path file = dir / "kept.png";
    std::ofstream(file) << "old";
    TGPBitmap bitmap(2, 2);
    CLSID unknown;
    unknown.Data1 = 0x12345678;
    EXPECT_EQ(bitmap.Save(file.string(), unknown), UnknownImageFormat);
    EXPECT_EQ(bitmap.GetLastStatus(), UnknownImageFormat);
    EXPECT_EQ(bitmap.Save(file.string(), CLSID{}), UnknownImageFormat);
    EXPECT_EQ(ReadFile(file).size(), 3u);
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(bitmap.SaveToMemory("image/x-unknown", bytes), UnknownImageFormat);
    // An unwritable place is a status too.
    std::vector<TImageCodecInfo> encoders = GetImageEncoders();
    ASSERT_FALSE(encoders.empty());
    EXPECT_EQ(bitmap.Save((dir / "missing" / "x.png").string(), encoders.front().Clsid), Win32Error);
    std::filesystem::remove_all(dir);
}

// --- drawing pictures

TEST(DrawImage, StretchesIntoTheDestination)
{
    TGPBitmap picture(2, 2);
    EXPECT_EQ(picture.SetPixels(kFour), Ok);
    Canvas canvas(20, 20);
    EXPECT_EQ(canvas.Graphics.SetInterpolationMode(InterpolationModeNearestNeighbor), Ok);
    ASSERT_EQ(canvas.Graphics.DrawImage(&picture, TGPRectF{0, 0, 20, 20}), Ok);
    EXPECT_EQ(canvas.At(4, 4), kRed);
    EXPECT_EQ(canvas.At(15, 4), kGreen);
    EXPECT_EQ(canvas.At(4, 15), kBlue);
    EXPECT_EQ(canvas.At(15, 15), kWhite);
}

TEST(DrawImage, SourceRectangleAndColourMatrix)
{
    TGPBitmap picture(2, 2);
    EXPECT_EQ(picture.SetPixels(kFour), Ok);
    TGPImageAttributes attributes;
    TGPColorMatrix half;
    for (int i = 0; i < 5; ++i) half.m[i][i] = 1;
    half.m[3][3] = 0.5f;
    ASSERT_EQ(attributes.SetColorMatrix(half), Ok);
    Canvas canvas(10, 10);
    EXPECT_EQ(canvas.Graphics.SetInterpolationMode(InterpolationModeNearestNeighbor), Ok);
    // Only the blue pixel (1 × 1 at (0, 1)), at half opacity.
    ASSERT_EQ(canvas.Graphics.DrawImage(&picture, TGPRectF{0, 0, 10, 10}, 0, 1, 1, 1, UnitPixel, &attributes), Ok);
    EXPECT_TRUE(Near(canvas.At(5, 5), 0x800000FF, 2)) << Hex(canvas.At(5, 5));
    EXPECT_TRUE(Near(canvas.At(0, 0), 0x800000FF, 2)) << Hex(canvas.At(0, 0));
}

TEST(DrawImage, HighQualityReductionAveragesAreas)
{
    // Alternating black and white columns reduce to grey.
    TGPBitmap picture(16, 16);
    std::vector<std::uint32_t> stripes(256);
    for (int i = 0; i < 256; ++i) stripes[i] = (i % 2) ? kWhite : kBlack;
    EXPECT_EQ(picture.SetPixels(stripes), Ok);
    Canvas canvas(4, 4);
    EXPECT_EQ(canvas.Graphics.SetInterpolationMode(InterpolationModeHighQuality), Ok);
    ASSERT_EQ(canvas.Graphics.DrawImage(&picture, TGPRectF{0, 0, 4, 4}), Ok);
    for (int x = 0; x < 4; ++x) EXPECT_TRUE(Near(canvas.At(x, 1), 0xFF808080, 12)) << Hex(canvas.At(x, 1));
}

}  // namespace
}  // namespace plumwick::test
