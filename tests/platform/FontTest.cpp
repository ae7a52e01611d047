// Font families, fonts, string formats and text outlines.
#include <gtest/gtest.h>

#include "Canvas.h"

namespace plumwick::test {
namespace {

using test::PrintTo;

std::string InstalledSans()
{
    auto family = TGPFontFamily::GenericSansSerif();
    return family ? family->GetFamilyName() : std::string();
}

TEST(FontFamily, InstalledFamilyIsOkWhateverItsCase)
{
    const std::string name = InstalledSans();
    if (name.empty()) GTEST_SKIP() << "no fonts installed";
    std::string shouted = name;
    for (char& ch : shouted) ch = char(std::toupper(static_cast<unsigned char>(ch)));
    TGPFontFamily family(shouted);
    EXPECT_EQ(family.GetLastStatus(), Ok);
    EXPECT_EQ(family.GetFamilyName(), name);
    const std::uint16_t em = family.GetEmHeight(FontStyleRegular);
    EXPECT_GT(em, 0);
    EXPECT_GT(family.GetCellAscent(FontStyleRegular), em / 2);
    EXPECT_LT(family.GetCellAscent(FontStyleRegular), 2 * em);
}

struct TFontCase {
    const char* Name;
    float Size;
    int Style;
    Unit SizeUnit;
    std::int32_t Height;  // lfHeight: minus the em size in pixels
    std::int32_t Weight;
    std::uint8_t Italic, Underline;
};

class Fonts : public testing::TestWithParam<TFontCase> {};

TEST_P(Fonts, DescribeThemselves)
{
    const TFontCase& c = GetParam();
    const std::string name = InstalledSans();
    if (name.empty()) GTEST_SKIP() << "no fonts installed";
    TGPFontFamily family(name);
    TGPFont font(family, c.Size, c.Style, c.SizeUnit);
    ASSERT_EQ(font.GetLastStatus(), Ok);
    EXPECT_EQ(font.GetSize(), c.Size);
    EXPECT_EQ(font.GetUnit(), c.SizeUnit);
    TLogFontW log;
    ASSERT_EQ(font.GetLogFontW(nullptr, log), Ok);
    EXPECT_EQ(log.lfHeight, c.Height) << c.Name;
    EXPECT_EQ(log.lfWeight, c.Weight) << c.Name;
    EXPECT_EQ(log.lfItalic, c.Italic) << c.Name;
    EXPECT_EQ(log.lfUnderline, c.Underline) << c.Name;
    EXPECT_EQ(log.lfFaceName[0], char16_t(name[0]));
}

INSTANTIATE_TEST_SUITE_P(Styles, Fonts,
                         testing::Values(TFontCase{"PixelRegular", 20, FontStyleRegular, UnitPixel, -20, 400, 0, 0},
                                         TFontCase{"PointBold", 12, FontStyleBold, UnitPoint, -16, 700, 0, 0},
                                         TFontCase{"ItalicUnderline", 10, FontStyleItalic | FontStyleUnderline,
                                                   UnitPixel, -10, 400, 1, 1}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Font, BadSizeIsInvalid)
{
    const std::string name = InstalledSans();
    if (name.empty()) GTEST_SKIP() << "no fonts installed";
    TGPFont font(TGPFontFamily(name), 0, FontStyleRegular, UnitPixel);
    EXPECT_EQ(font.GetLastStatus(), InvalidParameter);
}

TEST(StringFormat, TypographicCopiesAndFlags)
{
    const TGPStringFormat* generic = TGPStringFormat::GenericTypographic();
    ASSERT_NE(generic, nullptr);
    EXPECT_TRUE(generic->IsTypographic());
    TGPStringFormat copy(*generic);
    EXPECT_TRUE(copy.IsTypographic());
    EXPECT_EQ(copy.GetFormatFlags(), generic->GetFormatFlags());
    ASSERT_EQ(copy.SetFormatFlags(StringFormatFlagsMeasureTrailingSpaces), Ok);
    EXPECT_EQ(copy.GetFormatFlags(), StringFormatFlagsMeasureTrailingSpaces);
    TGPStringFormat plain(StringFormatFlagsNoWrap, LANG_NEUTRAL);
    EXPECT_FALSE(plain.IsTypographic());
    EXPECT_EQ(plain.GetFormatFlags(), StringFormatFlagsNoWrap);
}

TEST(AddString, GlyphsAreClosedFiguresBelowTheOrigin)
{
    const std::string name = InstalledSans();
    if (name.empty()) GTEST_SKIP() << "no fonts installed";
    TGPFontFamily family(name);
    TGPGraphicsPath path(FillModeWinding);
    ASSERT_EQ(path.AddString("H", family, FontStyleRegular, 20, TGPPointF{5, 5}, TGPStringFormat::GenericTypographic()),
              Ok);
    TGPPathData data;
    EXPECT_EQ(path.GetPathData(data), Ok);
    ASSERT_GT(data.Count, 4);
    EXPECT_TRUE(data.Types.back() & PathPointTypeCloseSubpath);
    TGPRectF box;
    EXPECT_EQ(path.GetBounds(box), Ok);
    // The layout box's top is at the origin: the glyph sits below and right of it, within the em.
    EXPECT_GE(box.X, 5);
    EXPECT_GE(box.Y, 5);
    EXPECT_LT(box.Y + box.Height, 5 + 24);
    EXPECT_GT(box.Height, 10);
    Canvas canvas(40, 40);
    canvas.Fill(kBlack, path);
    EXPECT_GT(canvas.Covered(0, 0, 40, 40), 20);
}

TEST(MeasureString, WiderTextMeasuresWider)
{
    const std::string name = InstalledSans();
    if (name.empty()) GTEST_SKIP() << "no fonts installed";
    TGPFont font(TGPFontFamily(name), 20, FontStyleRegular, UnitPixel);
    TGPGraphics measuring;
    TGPRectF one, two;
    ASSERT_EQ(measuring.MeasureString("m", &font, {0, 0}, TGPStringFormat::GenericTypographic(), one), Ok);
    ASSERT_EQ(measuring.MeasureString("mm", &font, {0, 0}, TGPStringFormat::GenericTypographic(), two), Ok);
    EXPECT_GT(one.Width, 5);
    EXPECT_NEAR(two.Width, 2 * one.Width, 0.5);
    EXPECT_GT(one.Height, 20);
}

struct TAlignCase {
    const char* Name;
    StringAlignment Align;
    int InkFrom, InkTo;  // columns of the 60 px box that hold the glyph's ink
};

class Alignments : public testing::TestWithParam<TAlignCase> {};

TEST_P(Alignments, PlaceTheTextInItsBox)
{
    const TAlignCase& c = GetParam();
    const std::string name = InstalledSans();
    if (name.empty()) GTEST_SKIP() << "no fonts installed";
    TGPFontFamily family(name);
    TGPStringFormat format(*TGPStringFormat::GenericTypographic());
    ASSERT_EQ(format.SetAlignment(c.Align), Ok);
    TGPGraphicsPath path;
    ASSERT_EQ(path.AddString("l", family, FontStyleRegular, 20, TGPRectF{0, 0, 60, 30}, &format), Ok);
    TGPRectF box;
    EXPECT_EQ(path.GetBounds(box), Ok);
    EXPECT_GE(box.X, c.InkFrom) << c.Name;
    EXPECT_LE(box.X + box.Width, c.InkTo) << c.Name;
}

INSTANTIATE_TEST_SUITE_P(Boxes, Alignments,
                         testing::Values(TAlignCase{"Near", StringAlignmentNear, 0, 10},
                                         TAlignCase{"Center", StringAlignmentCenter, 25, 35},
                                         TAlignCase{"Far", StringAlignmentFar, 50, 60}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(DrawString, FillsTheGlyphsWithTheBrush)
{
    const std::string name = InstalledSans();
    if (name.empty()) GTEST_SKIP() << "no fonts installed";
    TGPFont font(TGPFontFamily(name), 30, FontStyleBold, UnitPixel);
    Canvas canvas(40, 40);
    TGPSolidBrush brush(kBlue);
    ASSERT_EQ(canvas.Graphics.DrawString("I", &font, {5, 0}, TGPStringFormat::GenericTypographic(), &brush), Ok);
    int blue = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) blue += canvas.At(x, y) == kBlue;
    EXPECT_GT(blue, 30) << canvas.Picture();
    // Nothing left of the origin.
    EXPECT_EQ(canvas.Covered(0, 0, 5, 40), 0);
    // A measuring surface has no pixels to draw on.
    TGPGraphics measuring;
    EXPECT_EQ(measuring.DrawString("I", &font, {0, 0}, nullptr, &brush), InvalidParameter);
}

}  // namespace
}  // namespace plumwick::test
