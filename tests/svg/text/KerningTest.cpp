#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "gdip/GDIPKerning.h"
#include "platform/FontOutline.h"
#include "platform/GdiPlus.h"

namespace plumwick {
namespace {

TGPRectF BoundsOf(const TGPGraphicsPath& Path)
{
    TGPRectF r;
    EXPECT_EQ(Path.GetBounds(r), Ok);
    return r;
}

class KerningFamily : public ::testing::TestWithParam<const char*> {};

TEST_P(KerningFamily, KernedPairIsShorterThanItsLettersApart)
{
    TGPFont font(GetParam(), 100, FontStyleRegular, UnitPixel);
    ASSERT_EQ(font.GetLastStatus(), Ok);
    TGPKerningText& k = GetKerningText();
    const float av = k.MeasureText("AV", font);
    const float a = k.MeasureText("A", font);
    const float v = k.MeasureText("V", font);
    EXPECT_GT(a, 0);
    EXPECT_LT(av, a + v - 1.0f);
    // A pair without kerning keeps the plain advances.
    EXPECT_FLOAT_EQ(k.MeasureText("HH", font), 2 * k.MeasureText("H", font));
}

TEST_P(KerningFamily, DoubleSizeMeasuresExactlyTwiceWithoutReloading)
{
    TGPFont small(GetParam(), 10, FontStyleRegular, UnitPixel);
    TGPFont large(GetParam(), 20, FontStyleRegular, UnitPixel);
    TGPKerningText k;
    const float w10 = k.MeasureText("Typography AVA", small);
    const std::uint64_t loads = k.MetricsLoads();
    const std::uint64_t opened = TFontOutline::OpenCount();
    const float w20 = k.MeasureText("Typography AVA", large);
    EXPECT_EQ(w20, 2 * w10);
    EXPECT_EQ(k.MetricsLoads(), loads);
    EXPECT_EQ(TFontOutline::OpenCount(), opened);
}

INSTANTIATE_TEST_SUITE_P(Installed, KerningFamily, ::testing::Values("Liberation Sans", "DejaVu Sans"));

TEST(Kerning, EmptyTextMeasuresZeroAndLoadsNothing)
{
    TGPKerningText k;
    TGPFont font("DejaVu Sans", 12, FontStyleRegular, UnitPixel);
    EXPECT_EQ(k.MeasureText("", font), 0);
    EXPECT_EQ(k.MetricsLoads(), 0u);
}

TEST(Kerning, AnotherFaceReloadsAndCachedPairsServeTheSameWidths)
{
    TGPKerningText k;
    TGPFont regular("DejaVu Sans", 12, FontStyleRegular, UnitPixel);
    TGPFont bold("DejaVu Sans", 12, FontStyleBold, UnitPixel);
    const float first = k.MeasureText("Wave", regular);
    k.MeasureText("Wave", bold);
    EXPECT_EQ(k.MetricsLoads(), 2u);
    EXPECT_EQ(k.MeasureText("Wave", regular), first);
    EXPECT_EQ(k.MetricsLoads(), 2u);
}

TEST(Kerning, UncachedPairOutsideAnOperationFails)
{
    TGPKerningText k;
    EXPECT_EQ(k.GetCellWidth('A', 'V'), -1);
    TGPFont font("DejaVu Sans", 10, FontStyleRegular, UnitPixel);
    const float av = k.MeasureText("AV", font);
    // Pairs already measured are served from the cache.
    EXPECT_FLOAT_EQ(k.GetCellWidth('A', 'V') + k.GetCellWidth('V', 0), av);
    EXPECT_EQ(k.GetCellWidth('Q', 'R'), -1);
}

TEST(Kerning, MissingCharactersComeFromAFallbackFace)
{
    TGPKerningText k;
    TGPFont font("Liberation Sans", 10, FontStyleRegular, UnitPixel);
    // Liberation Sans has no CJK glyphs; the fallback face gives a full-width advance.
    EXPECT_NEAR(k.MeasureText("\xE4\xB8\xAD", font), 10.0f, 0.5f);
}

struct TDecorationCase {
    const char* Name;
    int Style;
    bool Underline;
    bool StrikeOut;
};

class Decoration : public ::testing::TestWithParam<TDecorationCase> {};

TEST_P(Decoration, RectanglesSitWhereTheCellPutsThem)
{
    const TDecorationCase& c = GetParam();
    const float size = 20;
    const TGPPointF origin{5, 7};
    TGPFontFamily family("DejaVu Sans");
    TGPFont font(family, size, FontStyleRegular, UnitPixel);
    TGPGraphicsPath glyphs, underline, strike, plain;
    TGPKerningText& k = GetKerningText();
    ASSERT_EQ(k.AddToPath(glyphs, &underline, &strike, "Hi AV", family, c.Style, size, origin,
                          TGPStringFormat::GenericTypographic()),
              Ok);
    EXPECT_EQ(k.AddToPath(plain, nullptr, nullptr, "Hi AV", family, FontStyleRegular, size, origin,
                          TGPStringFormat::GenericTypographic()),
              Ok);
    // The font's own decorations never appear in the glyphs.
    EXPECT_EQ(glyphs.GetPointCount(), plain.GetPointCount());
    const float width = k.MeasureText("Hi AV", font);
    auto expectRect = [&](const TGPGraphicsPath& p, float top) {
        ASSERT_EQ(p.GetPointCount(), 4);
        const TGPRectF r = BoundsOf(p);
        EXPECT_FLOAT_EQ(r.X, origin.X);
        EXPECT_FLOAT_EQ(r.Y, top);
        EXPECT_NEAR(r.Width, width, 1e-3);
        EXPECT_FLOAT_EQ(r.Height, size / 10);
    };
    if (c.Underline)
        expectRect(underline, origin.Y + size);
    else
        EXPECT_EQ(underline.GetPointCount(), 0);
    if (c.StrikeOut)
        expectRect(strike, origin.Y + size / 2);
    else
        EXPECT_EQ(strike.GetPointCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Styles, Decoration,
                         ::testing::Values(TDecorationCase{"None", FontStyleRegular, false, false},
                                           TDecorationCase{"Underline", FontStyleUnderline, true, false},
                                           TDecorationCase{"StrikeOut", FontStyleStrikeout, false, true},
                                           TDecorationCase{"Both", FontStyleUnderline | FontStyleStrikeout, true,
                                                           true}),
                         [](const auto& info) { return std::string(info.param.Name); });

struct TSpacingCase {
    const char* Name;
    const char* Text;
    TTextSpacing Spacing;
    float Extra;  // added to the plain kerned width
};

class Spacing : public ::testing::TestWithParam<TSpacingCase> {};

TEST_P(Spacing, AddsRoomAfterCharactersAndBlanks)
{
    const TSpacingCase& c = GetParam();
    TGPFontFamily family("DejaVu Sans");
    TGPFont font(family, 20, FontStyleRegular, UnitPixel);
    TGPKerningText& k = GetKerningText();
    const float plain = k.MeasureText(c.Text, font);
    EXPECT_NEAR(k.MeasureText(c.Text, font, 1, 1, c.Spacing), plain + c.Extra, 1e-3);
    // The glyphs move by the same amount, and the underline is as long as the spaced text.
    TGPGraphicsPath spaced, underline, unspaced;
    EXPECT_EQ(k.AddToPath(spaced, &underline, nullptr, c.Text, family, FontStyleUnderline, 20, TGPPointF{0, 0}, nullptr,
                          1, 1, c.Spacing),
              Ok);
    EXPECT_EQ(k.AddToPath(unspaced, nullptr, nullptr, c.Text, family, FontStyleRegular, 20, TGPPointF{0, 0}, nullptr),
              Ok);
    const TGPRectF a = BoundsOf(spaced);
    const TGPRectF b = BoundsOf(unspaced);
    // The last character has no letter spacing after it yet to move it.
    EXPECT_NEAR(a.X + a.Width, b.X + b.Width + c.Extra - c.Spacing.Letter, 0.05);
    EXPECT_NEAR(BoundsOf(underline).Width, plain + c.Extra, 1e-3);
}

INSTANTIATE_TEST_SUITE_P(Values, Spacing,
                         ::testing::Values(TSpacingCase{"None", "AV A", {0, 0}, 0},
                                           TSpacingCase{"Letters", "AV A", {2, 0}, 8},
                                           TSpacingCase{"Words", "AV A", {0, 5}, 5},
                                           TSpacingCase{"Both", "A B C", {1, 3}, 11},
                                           TSpacingCase{"Tighter", "HHH", {-1.5f, 0}, -4.5f}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Kerning, ShortOverloadPutsDecorationsIntoTheGlyphPath)
{
    TGPFontFamily family("DejaVu Sans");
    TGPGraphicsPath all, glyphs;
    TGPKerningText& k = GetKerningText();
    EXPECT_EQ(k.AddToPath(all, "Hi", family, FontStyleUnderline | FontStyleStrikeout, 20, TGPPointF{0, 0}, nullptr),
              Ok);
    EXPECT_EQ(k.AddToPath(glyphs, "Hi", family, FontStyleRegular, 20, TGPPointF{0, 0}, nullptr), Ok);
    EXPECT_EQ(all.GetPointCount(), glyphs.GetPointCount() + 8);
}

TEST(Kerning, GlyphsFollowTheKernedAdvances)
{
    TGPFontFamily family("DejaVu Sans");
    TGPFont font(family, 50, FontStyleRegular, UnitPixel);
    TGPKerningText& k = GetKerningText();
    const float advanceA = k.MeasureText("A", font);
    const float kern = k.MeasureText("AV", font) - advanceA - k.MeasureText("V", font);
    ASSERT_LT(kern, -1);
    TGPGraphicsPath av, v;
    EXPECT_EQ(
        k.AddToPath(av, "AV", family, FontStyleRegular, 50, TGPPointF{0, 0}, TGPStringFormat::GenericTypographic()),
        Ok);
    EXPECT_EQ(k.AddToPath(v, "V", family, FontStyleRegular, 50, TGPPointF{advanceA, 0},
                          TGPStringFormat::GenericTypographic()),
              Ok);
    const TGPRectF pair = BoundsOf(av);
    const TGPRectF alone = BoundsOf(v);
    EXPECT_NEAR(pair.X + pair.Width, alone.X + alone.Width + kern, 0.05);
}

TEST(Kerning, EachThreadHasItsOwnSharedInstance)
{
    TGPKerningText* main = &GetKerningText();
    TGPKerningText* other = nullptr;
    float otherWidth = 0;
    std::thread worker([&] {
        other = &GetKerningText();
        TGPFont font("DejaVu Sans", 10, FontStyleRegular, UnitPixel);
        otherWidth = other->MeasureText("AV", font);
    });
    TGPFont font("DejaVu Sans", 10, FontStyleRegular, UnitPixel);
    const float mainWidth = main->MeasureText("AV", font);
    worker.join();
    EXPECT_NE(main, other);
    EXPECT_FLOAT_EQ(mainWidth, otherWidth);
}

struct TUtf8Case {
    const char* Name;
    std::string Input;
    std::u32string Expected;
};

class Utf8 : public ::testing::TestWithParam<TUtf8Case> {};

TEST_P(Utf8, DecodesToCodePoints)
{
    EXPECT_EQ(Utf8ToUcs4(GetParam().Input), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, Utf8,
                         ::testing::Values(TUtf8Case{"Ascii", "AV", U"AV"},
                                           TUtf8Case{"Cjk", "A\xE4\xB8\xAD", U"A\u4E2D"},
                                           TUtf8Case{"Astral", "\xF0\x9F\x98\x80", U"\U0001F600"},
                                           TUtf8Case{"StopsAtNul", std::string("ab\0cd", 5), U"ab"},
                                           TUtf8Case{"StrayContinuation", "a\x80z", U"a\uFFFDz"},
                                           TUtf8Case{"Truncated", "a\xE4\xB8", U"a\uFFFD"},
                                           TUtf8Case{"Overlong", "\xC0\xAF", U"\uFFFD"},
                                           TUtf8Case{"Surrogate", "\xED\xA0\x80", U"\uFFFD"}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Utf8, RoundTrips)
{
    const std::string text = "Plumwick \xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80";
    EXPECT_EQ(Ucs4ToUtf8(Utf8ToUcs4(text)), text);
}

TEST(FontFamilies, StandInsAndFallbacks)
{
    EXPECT_EQ(TFontOutline::InstalledFamily("Arial"), "Liberation Sans");
    EXPECT_EQ(TFontOutline::InstalledFamily("times new roman"), "Liberation Serif");
    EXPECT_EQ(TFontOutline::InstalledFamily("Courier New"), "Liberation Mono");
    EXPECT_EQ(TFontOutline::InstalledFamily("Helvetica"), "Liberation Sans");
    // The graphics layer's families follow the same rule, so style normalisation agrees with layout.
    EXPECT_EQ(TGPFontFamily("Arial").GetLastStatus(), Ok);
    EXPECT_NE(TGPFontFamily("Foo").GetLastStatus(), Ok);
    EXPECT_EQ(TFontOutline::InstalledFamily("dejavu sans"), "DejaVu Sans");
    EXPECT_EQ(TFontOutline::InstalledFamily("Foo"), "");
    EXPECT_EQ(TFontOutline::InstalledFamily(""), "");
    EXPECT_EQ(TFontOutline::Open("Foo", false, false), nullptr);
}

}  // namespace
}  // namespace plumwick
