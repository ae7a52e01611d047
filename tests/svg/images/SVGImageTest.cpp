#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/GdiPlus.h"
#include "svg/base/SVGError.h"
#include "svg/core/SVGDocument.h"
#include "svg/images/SVGImage.h"
#include "tests/support/TestFolder.h"

namespace plumwick {
namespace {

std::string Base64(const std::vector<std::uint8_t>& Bytes)
{
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < Bytes.size(); i += 3) {
        std::uint32_t v = Bytes[i] << 16;
        if (i + 1 < Bytes.size()) v |= Bytes[i + 1] << 8;
        if (i + 2 < Bytes.size()) v |= Bytes[i + 2];
        out += alphabet[(v >> 18) & 63];
        out += alphabet[(v >> 12) & 63];
        out += i + 1 < Bytes.size() ? alphabet[(v >> 6) & 63] : '=';
        out += i + 2 < Bytes.size() ? alphabet[v & 63] : '=';
    }
    return out;
}

// A 4 x 4 picture, opaque red, encoded in the given format (GIF: 1 x 1, there is no GIF encoder).
std::vector<std::uint8_t> RedPicture(const char* MimeType = "image/png")
{
    if (std::string(MimeType) == "image/gif")
        return {'G', 'I',  'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0xFF, 0, 0, 0,   0,
                0,   0x2C, 0,   0,   0,   0,   1, 0, 1, 0, 0,    2, 2, 0x44, 1, 0, 0x3B};
    TGPBitmap bitmap(4, 4);
    std::vector<std::uint32_t> pixels(16, MakeARGB(255, 255, 0, 0));
    EXPECT_EQ(bitmap.SetPixels(pixels), Ok);
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(bitmap.SaveToMemory(MimeType, bytes), Ok);
    return bytes;
}

std::string DataUri(const std::vector<std::uint8_t>& Bytes, const char* MimeType = "image/png")
{
    return std::string("data:") + MimeType + ";base64," + Base64(Bytes);
}

std::string ImageSvg(const std::string& Href, const std::string& Extra = "width=\"20\" height=\"20\"")
{
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
           "width=\"40\" height=\"40\"><image x=\"10\" y=\"10\" " +
           Extra + " xlink:href=\"" + Href + "\"/></svg>";
}

ARGB PixelAt(const TGPBitmap& Bitmap, int X, int Y)
{
    ARGB c = 0;
    EXPECT_EQ(Bitmap.GetPixel(X, Y, c), Ok);
    return c;
}

std::unique_ptr<TGPBitmap> Render(const std::string& Svg)
{
    TSVG svg;
    svg.LoadFromText(Svg);
    return svg.RenderToBitmap(40, 40);
}

TSVGImage* FirstImage(TSVG& Svg)
{
    return Svg.FindByType<TSVGImage>();
}

// ---------------------------------------------------------------- base64 and data URIs

struct TBase64Case {
    const char* Name;
    std::string Input;
    bool Valid;
    std::string Expected;
};

class Base64Decoding : public ::testing::TestWithParam<TBase64Case> {};

TEST_P(Base64Decoding, FollowsTheStandardAlphabet)
{
    const TBase64Case& c = GetParam();
    const auto bytes = DecodeBase64(c.Input);
    ASSERT_EQ(bytes.has_value(), c.Valid);
    if (c.Valid) {
        EXPECT_EQ(std::string(bytes->begin(), bytes->end()), c.Expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, Base64Decoding,
                         ::testing::Values(TBase64Case{"Empty", "", true, ""}, TBase64Case{"Full", "TWFu", true, "Man"},
                                           TBase64Case{"OnePad", "TWE=", true, "Ma"},
                                           TBase64Case{"TwoPads", "TQ==", true, "M"},
                                           TBase64Case{"MissingPadding", "TWE", true, "Ma"},
                                           TBase64Case{"LineBreaks", "TW\nFu\r\n TQ==", true, "ManM"},
                                           TBase64Case{"DanglingCharacter", "TWFuT", false, ""},
                                           TBase64Case{"ForeignCharacter", "TW@u", false, ""},
                                           TBase64Case{"UrlAlphabet", "TW-_", false, ""},
                                           TBase64Case{"DataAfterPadding", "TQ==TQ==", false, ""},
                                           TBase64Case{"TooMuchPadding", "TQ===", false, ""},
                                           TBase64Case{"PaddingTooEarly", "T===", false, ""}),
                         [](const auto& info) { return std::string(info.param.Name); });

struct TDataUriCase {
    const char* Name;
    std::string Input;
    bool IsBase64;
    std::string Rest;
};

class DataUris : public ::testing::TestWithParam<TDataUriCase> {};

TEST_P(DataUris, SplitOffTheBase64Data)
{
    std::string text = GetParam().Input;
    EXPECT_EQ(TSVGImage::ParseDataURI(text), GetParam().IsBase64);
    EXPECT_EQ(text, GetParam().Rest);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DataUris,
    ::testing::Values(
        TDataUriCase{"Png", "data:image/png;base64,AAAA", true, "AAAA"},
        TDataUriCase{"AnyMediaType", "data:x;base64,QQ", true, "QQ"},
        TDataUriCase{"ParametersBeforeTheMarker", "data:image/png;charset=utf-8;base64,QQ", true, "QQ"},
        TDataUriCase{"NoMediaType", "data:;base64,QQ", true, "QQ"},
        TDataUriCase{"MarkerInsideTheData", "data:image/png,QQ;base64,QQ", false, "image/png,QQ;base64,QQ"},
        TDataUriCase{"MarkerWithoutSemicolon", "data:base64,QQ", false, "base64,QQ"},
        TDataUriCase{"NoMarker", "data:image/png,AAAA", false, "image/png,AAAA"},
        TDataUriCase{"Charset", "data:image/svg;charset=utf8,<svg>", false, "image/svg;charset=utf8,<svg>"},
        TDataUriCase{"UpperCaseScheme", "DATA:image/png;base64,AA", false, "DATA:image/png;base64,AA"},
        TDataUriCase{"FileName", "picture.png", false, "picture.png"}),
    [](const auto& info) { return std::string(info.param.Name); });

// ---------------------------------------------------------------- file references

class ImageFiles : public ::testing::Test {
protected:
    void SetUp() override { FDir = plumwick::test::FreshTestFolder("plumwick-image"); }
    void TearDown() override { std::filesystem::remove_all(FDir); }

    std::string Write(const std::string& Name, const std::vector<std::uint8_t>& Bytes)
    {
        const std::filesystem::path p = FDir / Name;
        std::ofstream out(p, std::ios::binary);
        out.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
        return p.string();
    }

    std::filesystem::path FDir;
};

TEST_F(ImageFiles, ReadsOnlyBoundedRegularFiles)
{
    const std::string small = Write("small.bin", {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(ReadRegularFile(small, 6), (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_FALSE(ReadRegularFile(small, 5).has_value());
    EXPECT_FALSE(ReadRegularFile((FDir / "missing.png").string(), 100).has_value());
    EXPECT_FALSE(ReadRegularFile(FDir.string(), 100).has_value());
    EXPECT_FALSE(ReadRegularFile("", 100).has_value());
    // Neither blocks: a device or a FIFO without a writer would never end a plain read.
    EXPECT_FALSE(ReadRegularFile("/dev/zero", SVGMaxImageFileSize).has_value());
    const std::string fifo = (FDir / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(ReadRegularFile(fifo, SVGMaxImageFileSize).has_value());
    const std::string link = (FDir / "zero.png").string();
    ASSERT_EQ(::symlink("/dev/zero", link.c_str()), 0);
    EXPECT_FALSE(ReadRegularFile(link, SVGMaxImageFileSize).has_value());
}

TEST(Image, PlainHrefStandsInForXlinkHref)
{
    const std::string svgText =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40\" height=\"40\">"
        "<image x=\"10\" y=\"10\" width=\"20\" height=\"20\" href=\"" +
        DataUri(RedPicture()) + "\"/></svg>";
    const auto bitmap = Render(svgText);
    EXPECT_EQ(PixelAt(*bitmap, 20, 20), MakeARGB(255, 255, 0, 0));
}

TEST_F(ImageFiles, FileReferencePaintsLikeADataUri)
{
    const std::string file = Write("red.png", RedPicture());
    TSVG svg;
    svg.LoadFromText(ImageSvg(file));
    ASSERT_NE(FirstImage(svg), nullptr);
    EXPECT_EQ(FirstImage(svg)->GetFileName(), file);
    const auto bitmap = svg.RenderToBitmap(40, 40);
    EXPECT_EQ(PixelAt(*bitmap, 20, 20), MakeARGB(255, 255, 0, 0));
}

// An SVG picture is self-contained: its own file references are not followed, its data URIs are.
TEST_F(ImageFiles, SvgPictureFollowsOnlyDataUris)
{
    const std::string file = Write("red.png", RedPicture());
    for (const auto& [Href, Painted] : {std::pair{file, false}, std::pair{DataUri(RedPicture()), true}}) {
        const std::string inner =
            "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"20\" height=\"20\">"
            "<image width=\"20\" height=\"20\" href=\"" +
            Href + "\"/></svg>";
        const std::vector<std::uint8_t> bytes(inner.begin(), inner.end());
        const auto bitmap = Render(ImageSvg(DataUri(bytes, "image/svg+xml")));
        EXPECT_EQ(PixelAt(*bitmap, 20, 20), Painted ? MakeARGB(255, 255, 0, 0) : 0u) << Href.substr(0, 20);
    }
}

// Which references an image may follow, for SVG text from the network and for a file's own folder tree.
TEST_F(ImageFiles, SourcesConfineFileReferences)
{
    std::filesystem::create_directories(FDir / "icons" / "sub");
    Write("icons/in.png", RedPicture());
    Write("icons/sub/deep.png", RedPicture());
    Write("out.png", RedPicture());
    std::filesystem::create_symlink(FDir / "out.png", FDir / "icons" / "link.png");
    const std::string icons = (FDir / "icons").string();
    using TKind = TImageSources::TKind;
    const struct {
        TKind Kind;
        std::string Reference;
        bool Allowed;
        std::string Path;  // for an allowed one
    } cases[] = {
        {TKind::Folder, "in.png", true, icons + "/in.png"},
        {TKind::Folder, "sub/deep.png", true, icons + "/sub/deep.png"},
        {TKind::Folder, "sub/../in.png", true, icons + "/in.png"},
        {TKind::Folder, icons + "/in.png", true, icons + "/in.png"},
        {TKind::Folder, "missing.png", true, icons + "/missing.png"},
        {TKind::Folder, "../out.png", false, ""},
        {TKind::Folder, "../missing.png", false, ""},
        {TKind::Folder, "sub/../../out.png", false, ""},
        {TKind::Folder, icons + "/../missing.png", false, ""},
        {TKind::Folder, (FDir / "out.png").string(), false, ""},
        {TKind::Folder, "link.png", false, ""},
        {TKind::Folder, "/etc/passwd", false, ""},
        {TKind::Folder, "http://127.0.0.1/in.png", false, ""},
        {TKind::Folder, "file://" + icons + "/in.png", false, ""},
        {TKind::Folder, "data:image/png,abc", false, ""},
        {TKind::DataOnly, "in.png", false, ""},
        {TKind::DataOnly, icons + "/in.png", false, ""},
        {TKind::DataOnly, "/etc/passwd", false, ""},
        {TKind::AnyFile, "/etc/passwd", true, "/etc/passwd"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Reference);
        const TImageFileChoice choice = ChooseImageFile(TImageSources{c.Kind, icons}, c.Reference);
        EXPECT_EQ(choice.Allowed, c.Allowed) << choice.Reason;
        if (c.Allowed) {
            EXPECT_EQ(std::filesystem::weakly_canonical(choice.Path), std::filesystem::weakly_canonical(c.Path));
        } else {
            EXPECT_FALSE(choice.Reason.empty());
        }
    }
}

// A reference that may not be followed draws nothing and leaves a warning naming it; the load goes on.
TEST_F(ImageFiles, RefusedReferencesWarnAndPaintNothing)
{
    const std::string file = Write("red.png", RedPicture());
    TSVG svg;
    svg.SetImageSources(TImageSources{TImageSources::TKind::DataOnly, {}});
    ASSERT_NO_THROW(svg.LoadFromText(ImageSvg(file)));
    const auto bitmap = svg.RenderToBitmap(40, 40);
    EXPECT_EQ(GetAlpha(PixelAt(*bitmap, 20, 20)), 0);
    ASSERT_EQ(svg.GetWarnings().size(), 1u);
    EXPECT_NE(svg.GetWarnings()[0].find(file), std::string::npos) << svg.GetWarnings()[0];
    // The sources outlive a reload; the warnings do not.
    svg.LoadFromText(ImageSvg(DataUri(RedPicture())));
    EXPECT_TRUE(svg.GetWarnings().empty());
    EXPECT_EQ(PixelAt(*svg.RenderToBitmap(40, 40), 20, 20), MakeARGB(255, 255, 0, 0));
}

// ---------------------------------------------------------------- unreadable references

struct TBrokenCase {
    const char* Name;
    std::string Href;
    bool Warned;  // a reference that was given but cannot be followed says so
};

class UnreadableReference : public ::testing::TestWithParam<TBrokenCase> {};

// The image draws nothing; the load goes on and the shape after it still paints.
TEST_P(UnreadableReference, DrawsNothingAndTheRestRenders)
{
    TSVG svg;
    const std::string text =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
        "width=\"40\" height=\"40\"><image x=\"0\" y=\"0\" width=\"20\" height=\"40\" "
        "xlink:href=\"" +
        GetParam().Href + "\"/><rect x=\"20\" width=\"20\" height=\"40\" fill=\"blue\"/></svg>";
    ASSERT_NO_THROW(svg.LoadFromText(text));
    const auto bitmap = svg.RenderToBitmap(40, 40);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(GetAlpha(PixelAt(*bitmap, 10, 20)), 0);
    EXPECT_EQ(PixelAt(*bitmap, 30, 20), MakeARGB(255, 0, 0, 255));
    EXPECT_EQ(svg.GetWarnings().size(), GetParam().Warned ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Hrefs, UnreadableReference,
                         ::testing::Values(TBrokenCase{"Empty", "", false}, TBrokenCase{"Blank", "  ", false},
                                           TBrokenCase{"NoBase64Marker", "data:image/png,iVBORw0KGgo", true},
                                           TBrokenCase{"MalformedBase64", "data:image/png;base64,iVBO@@@Rw0KGgo", true},
                                           TBrokenCase{"DanglingBase64", "data:image/png;base64,iVBORw0KG", true},
                                           TBrokenCase{"HttpUrl", "http://127.0.0.1:9/red.png", true},
                                           TBrokenCase{"FileUrl", "file:///etc/hostname", true},
                                           TBrokenCase{"Device", "/dev/zero", true},
                                           TBrokenCase{"Directory", "/", true},
                                           TBrokenCase{"MissingFile", "/nonexistent/red.png", true}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Image, AbsentReferenceDrawsNothingQuietly)
{
    TSVG svg;
    ASSERT_NO_THROW(svg.LoadFromText("<svg><image x=\"0\" y=\"0\" width=\"5\" height=\"5\"/></svg>"));
    EXPECT_TRUE(svg.GetWarnings().empty());
    EXPECT_EQ(GetAlpha(PixelAt(*svg.RenderToBitmap(5, 5), 2, 2)), 0);
}

// ---------------------------------------------------------------- painting

TEST(Image, PaintsStretchedIntoItsBox)
{
    const auto bitmap = Render(ImageSvg(DataUri(RedPicture())));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(PixelAt(*bitmap, 11, 11), MakeARGB(255, 255, 0, 0));
    EXPECT_EQ(PixelAt(*bitmap, 28, 28), MakeARGB(255, 255, 0, 0));
    EXPECT_EQ(GetAlpha(PixelAt(*bitmap, 5, 5)), 0);
    EXPECT_EQ(GetAlpha(PixelAt(*bitmap, 35, 20)), 0);
}

struct TFormatCase {
    const char* Name;
    const char* MimeType;
};

class ImageFormats : public ::testing::TestWithParam<TFormatCase> {};

TEST_P(ImageFormats, DecodeFromDataUris)
{
    const std::vector<std::uint8_t> bytes = RedPicture(GetParam().MimeType);
    ASSERT_FALSE(bytes.empty());
    const auto bitmap = Render(ImageSvg(DataUri(bytes, GetParam().MimeType)));
    const ARGB c = PixelAt(*bitmap, 20, 20);
    EXPECT_EQ(GetAlpha(c), 255);
    EXPECT_GT(GetRed(c), 240);
    EXPECT_LT(GetGreen(c), 16);
}

INSTANTIATE_TEST_SUITE_P(Encoders, ImageFormats,
                         ::testing::Values(TFormatCase{"Png", "image/png"}, TFormatCase{"Bmp", "image/bmp"},
                                           TFormatCase{"Jpeg", "image/jpeg"}, TFormatCase{"Gif", "image/gif"}),
                         [](const auto& info) { return std::string(info.param.Name); });

struct TBoxCase {
    const char* Name;
    std::string Attributes;
    int ProbeX;
    int ProbeY;
    std::uint8_t Alpha;
};

class ImageBoxes : public ::testing::TestWithParam<TBoxCase> {};

TEST_P(ImageBoxes, PaintWithTheirSizeAndOpacity)
{
    const TBoxCase& c = GetParam();
    const auto bitmap = Render(ImageSvg(DataUri(RedPicture()), c.Attributes));
    EXPECT_NEAR(GetAlpha(PixelAt(*bitmap, c.ProbeX, c.ProbeY)), c.Alpha, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, ImageBoxes,
    ::testing::Values(TBoxCase{"Sized", "width=\"20\" height=\"20\"", 20, 20, 255},
                      TBoxCase{"Stretched", "width=\"30\" height=\"5\" preserveAspectRatio=\"none\"", 38, 12, 255},
                      TBoxCase{"SquareInAWideBoxKeepsItsShape", "width=\"30\" height=\"5\"", 38, 12, 0},
                      TBoxCase{"ZeroWidth", "width=\"0\" height=\"20\"", 10, 20, 0},
                      TBoxCase{"ZeroHeight", "width=\"20\" height=\"0\"", 20, 10, 0},
                      TBoxCase{"HalfOpacity", "width=\"20\" height=\"20\" fill-opacity=\"0.5\"", 20, 20, 128},
                      TBoxCase{"ColoursIgnored", "width=\"20\" height=\"20\" fill=\"blue\" stroke=\"green\"", 20, 20,
                               255}),
    [](const auto& info) { return std::string(info.param.Name); });

// An 8 x 4 picture: the left half red, the right half blue.
std::vector<std::uint8_t> TwoColourPicture()
{
    TGPBitmap bitmap(8, 4);
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) pixels.push_back(x < 4 ? MakeARGB(255, 255, 0, 0) : MakeARGB(255, 0, 0, 255));
    EXPECT_EQ(bitmap.SetPixels(pixels), Ok);
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(bitmap.SaveToMemory("image/png", bytes), Ok);
    return bytes;
}

// 'r' red, 'b' blue, '-' nothing painted, '?' anything else.
char ColourAt(const TGPBitmap& Bitmap, int X, int Y)
{
    const ARGB c = PixelAt(Bitmap, X, Y);
    if (GetAlpha(c) == 0) return '-';
    if (GetAlpha(c) > 250 && GetRed(c) > 240 && GetBlue(c) < 16) return 'r';
    if (GetAlpha(c) > 250 && GetBlue(c) > 240 && GetRed(c) < 16) return 'b';
    return '?';
}

struct TProbe {
    int X;
    int Y;
    char Colour;
};

struct TAspectCase {
    const char* Name;
    std::string Attributes;  // the picture's box is at (10, 10)
    std::vector<TProbe> Probes;
};

class ImageAspect : public ::testing::TestWithParam<TAspectCase> {};

TEST_P(ImageAspect, PlacesThePictureInItsBox)
{
    const TAspectCase& c = GetParam();
    const auto bitmap = Render(ImageSvg(DataUri(TwoColourPicture()), c.Attributes));
    for (const TProbe& p : c.Probes) EXPECT_EQ(ColourAt(*bitmap, p.X, p.Y), p.Colour) << "at " << p.X << ", " << p.Y;
}

const std::string Square = "width=\"20\" height=\"20\" ";

INSTANTIATE_TEST_SUITE_P(
    Boxes, ImageAspect,
    ::testing::Values(
        // Whole and centred: 20 x 10 from y = 15 to 25.
        TAspectCase{"MeetByDefault", Square, {{15, 20, 'r'}, {25, 20, 'b'}, {20, 12, '-'}, {20, 28, '-'}}},
        TAspectCase{"MinMeet", Square + "preserveAspectRatio=\"xMinYMin meet\"", {{15, 12, 'r'}, {20, 24, '-'}}},
        TAspectCase{"MaxMeet", Square + "preserveAspectRatio=\"xMaxYMax\"", {{15, 28, 'r'}, {20, 14, '-'}}},
        TAspectCase{"Deferred", Square + "preserveAspectRatio=\"defer xMinYMin\"", {{15, 12, 'r'}, {20, 24, '-'}}},
        TAspectCase{
            "UnknownKeepsTheDefault", Square + "preserveAspectRatio=\"xLeftYTop\"", {{15, 20, 'r'}, {20, 12, '-'}}},
        TAspectCase{
            "Stretched", Square + "preserveAspectRatio=\"none slice\"", {{12, 11, 'r'}, {12, 28, 'r'}, {28, 28, 'b'}}},
        // Filling the box: the middle 4 x 4 pixels of the picture show.
        TAspectCase{"MidSlice",
                    Square + "preserveAspectRatio=\"xMidYMid slice\"",
                    {{12, 20, 'r'}, {28, 20, 'b'}, {12, 11, 'r'}, {8, 20, '-'}, {31, 20, '-'}}},
        TAspectCase{"MinSlice", Square + "preserveAspectRatio=\"xMinYMid slice\"", {{12, 20, 'r'}, {28, 20, 'r'}}},
        TAspectCase{"MaxSlice", Square + "preserveAspectRatio=\"xMaxYMid slice\"", {{12, 20, 'b'}, {28, 28, 'b'}}},
        // Without a size the picture brings its own: 8 x 4, or the other side at its proportions.
        TAspectCase{"WithoutSize", "", {{11, 11, 'r'}, {17, 13, 'b'}, {20, 11, '-'}, {11, 15, '-'}}},
        TAspectCase{"AutoSize", "width=\"auto\" height=\"auto\"", {{11, 11, 'r'}, {17, 13, 'b'}, {20, 11, '-'}}},
        TAspectCase{"WidthOnly", "width=\"20\"", {{15, 15, 'r'}, {25, 15, 'b'}, {20, 22, '-'}}},
        TAspectCase{"HeightOnly", "height=\"10\"", {{15, 15, 'r'}, {25, 15, 'b'}, {32, 15, '-'}}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(Image, BytesThatAreNoPicturePaintNothing)
{
    const std::string svgText = ImageSvg(DataUri({'h', 'e', 'l', 'l', 'o'}));
    TSVG svg;
    ASSERT_NO_THROW(svg.LoadFromText(svgText));
    ASSERT_NE(FirstImage(svg), nullptr);
    EXPECT_EQ(FirstImage(svg)->GetImage()->GetWidth(), 0u);
    const auto bitmap = svg.RenderToBitmap(40, 40);
    EXPECT_EQ(GetAlpha(PixelAt(*bitmap, 20, 20)), 0);
}

std::uint32_t Crc32(const std::uint8_t* Data, std::size_t Size)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < Size; ++i) {
        crc ^= Data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBigEndian(std::vector<std::uint8_t>& Out, std::uint32_t V)
{
    for (int shift = 24; shift >= 0; shift -= 8) Out.push_back(static_cast<std::uint8_t>(V >> shift));
}

void PutLittleEndian(std::vector<std::uint8_t>& Out, std::uint32_t V, int Bytes)
{
    for (int i = 0; i < Bytes; ++i) Out.push_back(static_cast<std::uint8_t>(V >> (8 * i)));
}

// A PNG whose header claims 100000 x 100000 pixels, followed by nothing useful.
std::vector<std::uint8_t> HugePng()
{
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> ihdr = {'I', 'H', 'D', 'R'};
    PutBigEndian(ihdr, 100000);
    PutBigEndian(ihdr, 100000);
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
    PutBigEndian(png, 13);
    png.insert(png.end(), ihdr.begin(), ihdr.end());
    PutBigEndian(png, Crc32(ihdr.data(), ihdr.size()));
    const std::vector<std::uint8_t> iend = {'I', 'E', 'N', 'D'};
    PutBigEndian(png, 0);
    png.insert(png.end(), iend.begin(), iend.end());
    PutBigEndian(png, Crc32(iend.data(), iend.size()));
    return png;
}

// A 24-bit BMP header for 100000 x 100000 pixels without any pixel data.
std::vector<std::uint8_t> HugeBmp()
{
    std::vector<std::uint8_t> bmp = {'B', 'M'};
    PutLittleEndian(bmp, 54, 4);  // file size, as far as there is one
    PutLittleEndian(bmp, 0, 4);
    PutLittleEndian(bmp, 54, 4);
    PutLittleEndian(bmp, 40, 4);
    PutLittleEndian(bmp, 100000, 4);
    PutLittleEndian(bmp, 100000, 4);
    PutLittleEndian(bmp, 1, 2);
    PutLittleEndian(bmp, 24, 2);
    for (int i = 0; i < 6; ++i) PutLittleEndian(bmp, 0, 4);
    return bmp;
}

// A GIF whose screen and only frame are 65535 x 65535, with a few bytes of image data.
std::vector<std::uint8_t> HugeGif()
{
    std::vector<std::uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a'};
    PutLittleEndian(gif, 65535, 2);
    PutLittleEndian(gif, 65535, 2);
    gif.insert(gif.end(), {0x80, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x2C, 0, 0, 0, 0});
    PutLittleEndian(gif, 65535, 2);
    PutLittleEndian(gif, 65535, 2);
    gif.insert(gif.end(), {0, 2, 2, 0x44, 1, 0, 0x3B});
    return gif;
}

// A baseline JPEG frame header for 65535 x 65535 pixels and no scan.
std::vector<std::uint8_t> HugeJpeg()
{
    std::vector<std::uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xC0, 0, 11, 8};
    PutBigEndian(jpeg, 0xFFFFFFFFu);  // height and width
    jpeg.insert(jpeg.end(), {1, 1, 0x11, 0, 0xFF, 0xD9});
    return jpeg;
}

struct THugeCase {
    const char* Name;
    std::vector<std::uint8_t> (*Bytes)();
};

class HugeClaimedSize : public ::testing::TestWithParam<THugeCase> {};

TEST_P(HugeClaimedSize, IsRefusedWithoutAllocating)
{
    TSVG svg;
    ASSERT_NO_THROW(svg.LoadFromText(ImageSvg(DataUri(GetParam().Bytes()))));
    EXPECT_EQ(FirstImage(svg)->GetImage()->GetWidth(), 0u);
    const auto bitmap = svg.RenderToBitmap(40, 40);
    EXPECT_EQ(GetAlpha(PixelAt(*bitmap, 20, 20)), 0);
}

INSTANTIATE_TEST_SUITE_P(Formats, HugeClaimedSize,
                         ::testing::Values(THugeCase{"Png", HugePng}, THugeCase{"Bmp", HugeBmp},
                                           THugeCase{"Gif", HugeGif}, THugeCase{"Jpeg", HugeJpeg}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Image, HugePictureWithoutASizeKeepsNoBox)
{
    TSVG svg;
    svg.LoadFromText(ImageSvg(DataUri(HugePng()), ""));
    EXPECT_EQ(FirstImage(svg)->GetWidth(), 0);
    EXPECT_EQ(FirstImage(svg)->GetHeight(), 0);
}

TEST(Image, CopySharesThePicture)
{
    TSVG svg;
    svg.LoadFromText(ImageSvg(DataUri(RedPicture())));
    TSVGImage* original = FirstImage(svg);
    ASSERT_NE(original, nullptr);
    std::unique_ptr<TSVGObject> copy(original->Clone(nullptr));
    auto* image = dynamic_cast<TSVGImage*>(copy.get());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetStream(), original->GetStream());
    ASSERT_NE(image->GetImage(), nullptr);
    EXPECT_EQ(image->GetImage(), original->GetImage()) << "decoded once, not once per copy";
    EXPECT_EQ(image->GetImage()->GetWidth(), 4u);
    EXPECT_EQ(image->GetWidth(), 20);
}

// A uniform w x h PNG as a data URI (compresses to little, decodes to w * h * 4 bytes).
std::string BigPictureUri(int Width, int Height, ARGB Color)
{
    TGPBitmap bitmap(Width, Height);
    EXPECT_EQ(bitmap.SetPixels(std::vector<std::uint32_t>(std::size_t(Width) * Height, Color)), Ok);
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(bitmap.SaveToMemory("image/png", bytes), Ok);
    return DataUri(bytes);
}

long PeakRssKiB()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// One picture used a thousand times: decoded once, memory stays near one picture's worth.
TEST(Image, APictureUsedAThousandTimesIsDecodedOnce)
{
    const std::string uri = BigPictureUri(1000, 1000, MakeARGB(255, 255, 0, 0));
    std::string text =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
        "viewBox=\"0 0 40 40\"><defs><image id=\"p\" width=\"40\" height=\"40\" xlink:href=\"" +
        uri + "\"/></defs>";
    for (int i = 0; i < 1000; ++i) text += "<use xlink:href=\"#p\"/>";
    text += "</svg>";
    const long before = PeakRssKiB();
    TSVG svg;
    svg.LoadFromText(text);
    const long grown = PeakRssKiB() - before;
    // A thousand decoded copies would be 4 GB; one is 4 MB.
    EXPECT_LT(grown, 200 * 1024) << "peak memory grew by " << grown << " KiB";
    std::vector<const TSVGImage*> images;
    std::vector<const TSVGObject*> stack{&svg};
    while (!stack.empty()) {
        const TSVGObject* node = stack.back();
        stack.pop_back();
        if (const auto* image = dynamic_cast<const TSVGImage*>(node)) images.push_back(image);
        for (int i = 0; i < node->GetCount(); ++i) stack.push_back(node->GetItem(i));
    }
    ASSERT_EQ(images.size(), 1001u);
    for (const TSVGImage* image : images) EXPECT_EQ(image->GetImage(), images[0]->GetImage());
    EXPECT_EQ(images[0]->GetImage()->GetWidth(), 1000u);
    EXPECT_TRUE(svg.GetWarnings().empty());
}

// Pictures past the document's pixel budget are not decoded; the ones before still paint.
TEST(Image, PicturesShareOnePixelBudget)
{
    const int side = 3000;  // 9 M pixels: three fit the budget, the fourth does not
    ASSERT_LT(std::int64_t(side) * side * 3, SVGDocumentImagePixels);
    ASSERT_GT(std::int64_t(side) * side * 4, SVGDocumentImagePixels);
    std::string text = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40\" height=\"10\">";
    // One picture under four references (the media type differs), so each is decoded on its own.
    const ARGB red = MakeARGB(255, 255, 0, 0);
    const std::string data = BigPictureUri(side, side, red).substr(std::string("data:image/png").size());
    const char* types[] = {"image/png", "image/x-png", "image/apng", "application/octet-stream"};
    for (int i = 0; i < 4; ++i)
        text += "<image x=\"" + std::to_string(i * 10) + "\" width=\"10\" height=\"10\" href=\"data:" + types[i] +
                data + "\"/>";
    text += "</svg>";
    TSVG svg;
    svg.LoadFromText(text);
    const auto bitmap = svg.RenderToBitmap(40, 10);
    EXPECT_EQ(PixelAt(*bitmap, 5, 5), red);
    EXPECT_EQ(PixelAt(*bitmap, 15, 5), red);
    EXPECT_EQ(PixelAt(*bitmap, 25, 5), red);
    EXPECT_EQ(GetAlpha(PixelAt(*bitmap, 35, 5)), 0);
    ASSERT_EQ(svg.GetWarnings().size(), 1u);
    EXPECT_NE(svg.GetWarnings()[0].find("million pixels"), std::string::npos) << svg.GetWarnings()[0];
}

TEST(Image, BoundsAreTheBoxWidenedByHalfTheStroke)
{
    TSVG svg;
    svg.LoadFromText(ImageSvg(DataUri(RedPicture()), "width=\"20\" height=\"10\" stroke-width=\"4\""));
    TSVGImage* image = FirstImage(svg);
    image->UpdateBounds();
    const TBounds& b = image->GetObjectBounds();
    EXPECT_EQ(b.TopLeft, (TPointF{8, 8}));
    EXPECT_EQ(b.BottomRight, (TPointF{32, 22}));
}

}  // namespace
}  // namespace plumwick
