// Shaping and SVG text layout against the fonts' own metrics: advances, kerning, joining, fallback
// faces, vertical runs, rotate, textLength and text on a path.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gdip/GDIPOBJ2.h"
#include "platform/FontOutline.h"
#include "platform/GdiPlus.h"
#include "platform/TextShaper.h"
#include "svg/core/SVGDocument.h"
#include "svg/text/SVGText.h"

namespace plumwick {
namespace {

std::string Svg(const std::string& Body)
{
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
           "width=\"400\" height=\"200\" font-size=\"100\">" +
           Body + "</svg>";
}

TGPRectF PathBounds(const TGPGraphicsPath* Path)
{
    TGPRectF r;
    if (Path != nullptr) {
        EXPECT_EQ(Path->GetBounds(r), Ok);
    }
    return r;
}

// The text element of a one-text document, loaded.
struct TLoaded {
    TSVG Doc;
    TSVGText* Text = nullptr;
    explicit TLoaded(const std::string& Body)
    {
        Doc.LoadFromText(Svg(Body));
        Text = Doc.FindByType<TSVGText>();
    }
};

// The font's own advances summed (em of 1000 units, scaled to Size), read through another path
// than the shaper's.
float OwnAdvances(const std::string& Family, std::u32string_view Text, float Size)
{
    const auto face = TFontOutline::Open(Family, false, false);
    float sum = 0;
    for (const char32_t c : Text) sum += face->Advance(c);
    return sum * Size / TFontOutline::EmHeight;
}

struct TAdvanceCase {
    const char* Name;
    const char* Family;
    const char* Text;
    std::u32string Chars;
};

class LineAdvance : public ::testing::TestWithParam<TAdvanceCase> {};

TEST_P(LineAdvance, IsTheSumOfTheFontsOwnAdvancesWithoutKerning)
{
    const TAdvanceCase& c = GetParam();
    TLoaded t("<text font-family=\"" + std::string(c.Family) + "\" style=\"font-kerning:none\" x=\"0\" y=\"100\">" +
              c.Text + "</text>");
    ASSERT_NE(t.Text, nullptr);
    EXPECT_NEAR(t.Text->GetWidth(), OwnAdvances(c.Family, c.Chars, 100), 0.05);
}

INSTANTIATE_TEST_SUITE_P(Fonts, LineAdvance,
                         ::testing::Values(TAdvanceCase{"LiberationSans", "Liberation Sans", "Hello world",
                                                        U"Hello world"},
                                           TAdvanceCase{"DejaVuSans", "DejaVu Sans", "Plumwick 42", U"Plumwick 42"},
                                           TAdvanceCase{"LiberationSerif", "Liberation Serif", "Wave", U"Wave"}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

struct TKerningCase {
    const char* Name;
    const char* Family;
};

class PairKerning : public ::testing::TestWithParam<TKerningCase> {};

TEST_P(PairKerning, BringsAvaCloserUnlessTurnedOff)
{
    const std::string family = GetParam().Family;
    TLoaded kerned("<text font-family=\"" + family + "\" x=\"0\" y=\"100\">AVA</text>");
    TLoaded plain("<text font-family=\"" + family + "\" style=\"font-kerning:none\" x=\"0\" y=\"100\">AVA</text>");
    ASSERT_NE(kerned.Text, nullptr);
    ASSERT_NE(plain.Text, nullptr);
    EXPECT_NEAR(plain.Text->GetWidth(), OwnAdvances(family, U"AVA", 100), 0.05);
    EXPECT_LT(kerned.Text->GetWidth(), plain.Text->GetWidth() - 5);
    // The glyphs move, not only the measure.
    EXPECT_LT(PathBounds(kerned.Text->GetPath()).Width, PathBounds(plain.Text->GetPath()).Width - 5);
}

// DejaVu Sans keeps its pairs in GPOS only; Liberation Sans in GPOS and kern.
INSTANTIATE_TEST_SUITE_P(Fonts, PairKerning,
                         ::testing::Values(TKerningCase{"LiberationSans", "Liberation Sans"},
                                           TKerningCase{"DejaVuSans", "DejaVu Sans"}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

// With kerning on, a line measures the font's own advances plus its own pair adjustments (Liberation
// Sans has the same pairs in its legacy table, read here through another path than the shaper's).
TEST(Shaping, KernedLineIsTheSumOfAdvancesAndPairs)
{
    const std::string family = "Liberation Sans";
    TLoaded kerned("<text font-family=\"" + family + "\" x=\"0\" y=\"100\">AVAT.</text>");
    ASSERT_NE(kerned.Text, nullptr);
    const auto face = TFontOutline::Open(family, false, false);
    const float pairs = face->KernAmount(U'A', U'V') + face->KernAmount(U'V', U'A') + face->KernAmount(U'A', U'T') +
                        face->KernAmount(U'T', U'.');
    ASSERT_LT(pairs, 0);
    EXPECT_NEAR(kerned.Text->GetWidth(), OwnAdvances(family, U"AVAT.", 100) + pairs * 100 / TFontOutline::EmHeight,
                0.05);
}

TEST(Shaping, ArabicLettersJoin)
{
    // The same letters set apart (isolated forms) take more room than joined into one word.
    TLoaded word("<text font-family=\"DejaVu Sans\" x=\"0\" y=\"100\">\xd8\xb3\xd9\x84\xd8\xa7\xd9\x85</text>");
    TLoaded apart("<text font-family=\"DejaVu Sans\" x=\"0\" y=\"100\">\xd8\xb3 \xd9\x84 \xd8\xa7 \xd9\x85</text>");
    TLoaded space("<text font-family=\"DejaVu Sans\" x=\"0\" y=\"100\">a b c</text>");
    TLoaded letters("<text font-family=\"DejaVu Sans\" x=\"0\" y=\"100\">abc</text>");
    ASSERT_NE(word.Text, nullptr);
    const float spaces = space.Text->GetWidth() - letters.Text->GetWidth();
    EXPECT_GT(apart.Text->GetWidth() - 1.5f * spaces, word.Text->GetWidth() + 10);
}

TEST(Shaping, CjkCharacterInALatinRunComesFromAFallbackFace)
{
    TFontRequest request;
    request.Families = {"Liberation Sans"};
    const auto fonts = TFontSet::Find(request);
    const std::u32string text = U"A\u4E2DB";
    const std::vector<TShapedGlyph> glyphs = fonts->Shape(text, 0, text.size(), false, false, {});
    ASSERT_EQ(glyphs.size(), 3u);
    EXPECT_EQ(glyphs[0].Face, 0u);
    EXPECT_NE(glyphs[1].Face, 0u);
    EXPECT_NE(glyphs[1].Glyph, 0u);  // a real glyph, not the missing-glyph box
    EXPECT_NEAR(glyphs[1].XAdvance, 1.0f, 0.05f);
    EXPECT_EQ(glyphs[2].Face, 0u);

    TLoaded t(
        "<text font-family=\"Liberation Sans\" x=\"0\" y=\"100\">A\xe4\xb8\xad"
        "B</text>");
    EXPECT_NEAR(t.Text->GetWidth(), OwnAdvances("Liberation Sans", U"AB", 100) + 100, 5);
}

TEST(Layout, VerticalRunStacksCharactersDownwards)
{
    TLoaded t(
        "<text font-family=\"WenQuanYi Micro Hei\" writing-mode=\"tb\" x=\"100\" y=\"10\">"
        "\xe4\xb8\xad\xe6\x96\x87\xe5\xad\x97</text>");
    ASSERT_NE(t.Text, nullptr);
    const TGPRectF r = PathBounds(t.Text->GetPath());
    EXPECT_GT(r.Height, 2.5f * r.Width);
    EXPECT_NEAR(r.X + r.Width / 2, 100, 10);  // centred on x
    EXPECT_GE(r.Y, 10);
}

struct TRotateCase {
    const char* Name;
    const char* Rotate;
    bool Upright;
};

class RotateList : public ::testing::TestWithParam<TRotateCase> {};

TEST_P(RotateList, TurnsEachGlyph)
{
    TLoaded t(std::string("<text font-family=\"DejaVu Sans\" x=\"50\" y=\"100\" rotate=\"") + GetParam().Rotate +
              "\">ll</text>");
    const TGPRectF r = PathBounds(t.Text->GetPath());
    // Two upright l's are tall and narrow; turned a quarter they lie flat.
    EXPECT_EQ(r.Height > r.Width, GetParam().Upright);
}

INSTANTIATE_TEST_SUITE_P(Values, RotateList,
                         ::testing::Values(TRotateCase{"None", "0", true}, TRotateCase{"Quarter", "90", false},
                                           TRotateCase{"ListOfTwo", "90 90", false}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

struct TLengthCase {
    const char* Name;
    const char* Adjust;
    float Length;
};

class TextLengthOnShortString : public ::testing::TestWithParam<TLengthCase> {};

TEST_P(TextLengthOnShortString, SpansTheGivenLength)
{
    const TLengthCase& c = GetParam();
    TLoaded plain("<text font-family=\"DejaVu Sans\" x=\"20\" y=\"100\">ab</text>");
    TLoaded t("<text font-family=\"DejaVu Sans\" x=\"20\" y=\"100\" textLength=\"" + std::to_string(c.Length) +
              "\" lengthAdjust=\"" + c.Adjust + "\">ab</text>");
    const TGPRectF before = PathBounds(plain.Text->GetPath());
    const TGPRectF after = PathBounds(t.Text->GetPath());
    const float added = c.Length - plain.Text->GetWidth();
    const float bearing = 20 + plain.Text->GetWidth() - (before.X + before.Width);
    if (std::string(c.Adjust) == "spacing") {
        // The ink's left edge stays, its right edge moves by what the length adds.
        EXPECT_NEAR(after.X, before.X, 0.5);
        EXPECT_NEAR(after.X + after.Width, before.X + before.Width + added, 0.5);
    } else {
        // Everything stretches from x, side bearings too.
        const float scale = c.Length / plain.Text->GetWidth();
        EXPECT_NEAR(after.X, 20 + (before.X - 20) * scale, 0.5);
        EXPECT_NEAR(after.X + after.Width, 20 + c.Length - bearing * scale, 0.5);
    }
}

INSTANTIATE_TEST_SUITE_P(Adjust, TextLengthOnShortString,
                         ::testing::Values(TLengthCase{"SpacingWider", "spacing", 300},
                                           TLengthCase{"SpacingNarrower", "spacing", 80},
                                           TLengthCase{"GlyphsWider", "spacingAndGlyphs", 300}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

struct TOffsetCase {
    const char* Name;
    const char* Attributes;
    float Start;  // where the first glyph's advance begins along the guide
};

class StartOffset : public ::testing::TestWithParam<TOffsetCase> {};

TEST_P(StartOffset, PlacesTheTextAlongTheGuide)
{
    const TOffsetCase& c = GetParam();
    TLoaded t(std::string("<path id=\"g\" d=\"M 0 150 L 400 150\"/><text font-family=\"DejaVu Sans\" font-size=\"40\">"
                          "<textPath xlink:href=\"#g\" ") +
              c.Attributes + ">l</textPath></text>");
    std::vector<const TSVGCustomText*> chunks;
    for (int i = 0; i < t.Text->GetCount(); ++i)
        if (auto* p = dynamic_cast<const TSVGCustomText*>(t.Text->GetItem(i)))
            for (int k = 0; k < p->GetCount(); ++k)
                if (auto* chunk = dynamic_cast<const TSVGCustomText*>(p->GetItem(k))) chunks.push_back(chunk);
    ASSERT_EQ(chunks.size(), 1u);
    const TGPRectF r = PathBounds(chunks[0]->GetPath());
    const float advance = OwnAdvances("DejaVu Sans", U"l", 40);
    EXPECT_NEAR(r.X + r.Width / 2, c.Start + advance / 2, 1.5);
    EXPECT_NEAR(r.Y + r.Height, 150, 0.5);
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, StartOffset,
    ::testing::Values(TOffsetCase{"None", "", 0}, TOffsetCase{"HalfWay", "startOffset=\"50%\"", 200},
                      TOffsetCase{"Length", "startOffset=\"30\"", 30},
                      TOffsetCase{"Anchored", "startOffset=\"50%\" text-anchor=\"end\"", 200 - 11.12f}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(Layout, GlyphsPastTheGuidesEndAreDropped)
{
    TLoaded t(
        "<path id=\"g\" d=\"M 0 150 L 60 150\"/><text font-family=\"DejaVu Sans\" font-size=\"40\">"
        "<textPath xlink:href=\"#g\">llllllllll</textPath></text>");
    const auto* path = dynamic_cast<const TSVGCustomText*>(t.Text->GetItem(0));
    ASSERT_NE(path, nullptr);
    const auto* chunk = dynamic_cast<const TSVGCustomText*>(path->GetItem(0));
    ASSERT_NE(chunk, nullptr);
    const TGPRectF r = PathBounds(chunk->GetPath());
    EXPECT_GT(r.Width, 30);
    EXPECT_LE(r.X + r.Width, 60.5);
}

}  // namespace
}  // namespace plumwick
