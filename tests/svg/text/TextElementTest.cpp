#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "gdip/GDIPKerning.h"
#include "gdip/GDIPOBJ2.h"
#include "platform/FontOutline.h"
#include "platform/GdiPlus.h"
#include "platform/Xml.h"
#include "svg/base/SVGError.h"
#include "svg/core/SVGDocument.h"
#include "svg/text/SVGText.h"

namespace plumwick {
namespace {

std::string Svg(const std::string& Body)
{
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
           "width=\"200\" height=\"100\" font-family=\"DejaVu Sans\" font-size=\"20\">" +
           Body + "</svg>";
}

// Every text object of the document in pre-order (elements and their chunks).
std::vector<TSVGCustomText*> TextObjects(TSVGObject& Node)
{
    std::vector<TSVGCustomText*> out;
    if (auto* t = dynamic_cast<TSVGCustomText*>(&Node)) out.push_back(t);
    for (int i = 0; i < Node.GetCount(); ++i) {
        std::vector<TSVGCustomText*> sub = TextObjects(*Node.GetItem(i));
        out.insert(out.end(), sub.begin(), sub.end());
    }
    return out;
}

// The chunks that carry characters, in document order.
std::vector<TSVGCustomText*> Chunks(TSVG& Doc)
{
    std::vector<TSVGCustomText*> out;
    for (TSVGCustomText* t : TextObjects(Doc))
        if (!t->GetText().empty()) out.push_back(t);
    return out;
}

float Width(const std::string& Text, float Size = 20)
{
    TGPFont font("DejaVu Sans", Size, FontStyleRegular, UnitPixel);
    return GetKerningText().MeasureText(Text, font);
}

TGPRectF PathBounds(const TGPGraphicsPath* Path)
{
    TGPRectF r;
    if (Path != nullptr) Path->GetBounds(r);
    return r;
}

TEST(TextElement, SingleTextNodeStaysInTheElement)
{
    TSVG doc;
    doc.LoadFromText(Svg("<text x=\"10\" y=\"20\">Hi</text>"));
    auto* text = doc.FindByType<TSVGText>();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetText(), "Hi");
    EXPECT_EQ(text->GetCount(), 0);
    EXPECT_EQ(text->GetX(), 10);
    EXPECT_EQ(text->GetY(), 20);
    EXPECT_NEAR(text->GetWidth(), Width("Hi"), 0.01);
    ASSERT_NE(text->GetPath(), nullptr);
    const TGPRectF r = PathBounds(text->GetPath());
    // "Hi" has no descender: the glyphs end on the baseline.
    EXPECT_NEAR(r.Y + r.Height, 20, 0.3);
    EXPECT_NEAR(r.X, 10, 3);
    EXPECT_GT(text->GetFontHeight(), 15);
    EXPECT_LT(text->GetFontHeight(), 20);
}

// One row per layout: the chunks' texts and where each must start.
struct TLayoutCase {
    const char* Name;
    std::string Body;
    std::vector<std::string> Texts;
    // Expected x of each chunk as the widths of the texts before it plus a constant.
    std::vector<float> BaseX;
    std::vector<std::vector<int>> WidthsBefore;  // indices into Texts whose widths add to BaseX
    std::vector<float> Y;
};

class TextLayout : public ::testing::TestWithParam<TLayoutCase> {};

TEST_P(TextLayout, ChunksRunOnFromThePreviousOne)
{
    const TLayoutCase& c = GetParam();
    TSVG doc;
    doc.LoadFromText(Svg(c.Body));
    const std::vector<TSVGCustomText*> chunks = Chunks(doc);
    ASSERT_EQ(chunks.size(), c.Texts.size());
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        SCOPED_TRACE(c.Texts[i]);
        EXPECT_EQ(chunks[i]->GetText(), c.Texts[i]);
        float x = c.BaseX[i];
        for (int k : c.WidthsBefore[i]) x += Width(c.Texts[static_cast<std::size_t>(k)]);
        // Letters of neighbouring chunks kern as one word: a pair may move the next chunk a little.
        EXPECT_NEAR(chunks[i]->GetX(), x, 1.0);
        EXPECT_NEAR(chunks[i]->GetY(), c.Y[i], 1e-4);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextLayout,
    ::testing::Values(
        TLayoutCase{"MixedContent",
                    "<text x=\"10\" y=\"20\">A<tspan>B</tspan>C</text>",
                    {"A", "B", "C"},
                    {10, 10, 10},
                    {{}, {0}, {0, 1}},
                    {20, 20, 20}},
        TLayoutCase{"OwnXKeepsIt",
                    "<text x=\"10\" y=\"20\">A<tspan x=\"50\">B</tspan>C</text>",
                    {"A", "B", "C"},
                    {10, 50, 50},
                    {{}, {}, {1}},
                    {20, 20, 20}},
        TLayoutCase{"OwnYKeepsIt",
                    "<text x=\"10\" y=\"20\">A<tspan y=\"60\">B</tspan>C</text>",
                    {"A", "B", "C"},
                    {10, 10, 10},
                    {{}, {0}, {0, 1}},
                    {20, 60, 60}},
        // dx of the text element moves its first character only; the span goes on from A's end.
        TLayoutCase{"DxMovesOnlyTheFirstCharacter",
                    "<text x=\"10\" y=\"20\" dx=\"5\">A<tspan>B</tspan></text>",
                    {"A", "B"},
                    {15, 15},
                    {{}, {0}},
                    {20, 20}},
        TLayoutCase{"DyShiftsTheFollowingBaseline",
                    "<text x=\"0\" y=\"20\">A<tspan dy=\"5\">B</tspan>C</text>",
                    {"A", "B", "C"},
                    {0, 0, 0},
                    {{}, {0}, {0, 1}},
                    {20, 25, 25}},
        TLayoutCase{"SpanWithXAndDxShiftsOnce",
                    "<text x=\"0\" y=\"20\"><tspan x=\"10\" dx=\"5\">B</tspan></text>",
                    {"B"},
                    {15},
                    {{}},
                    {20}},
        TLayoutCase{"PositionListsUseTheFirstValue",
                    "<text x=\"10 20 30\" y=\"40,50\" dx=\"3 4\">A</text>",
                    {"A"},
                    {13},
                    {{}},
                    {40}},
        TLayoutCase{"SpanListInsideText",
                    "<text x=\"0\" y=\"10\">A<tspan x=\"70 80\" y=\"30 40\">B</tspan></text>",
                    {"A", "B"},
                    {0, 70},
                    {{}, {}},
                    {10, 30}},
        // A link inside text is a span of it; an element of another namespace holds no text of the document.
        TLayoutCase{"LinkIsASpan",
                    "<text x=\"10\" y=\"20\">A<a href=\"#x\">B</a>C</text>",
                    {"A", "B", "C"},
                    {10, 10, 10},
                    {{}, {0}, {0, 1}},
                    {20, 20, 20}},
        TLayoutCase{"ForeignElementHoldsNoText",
                    "<text x=\"10\" y=\"20\">A<x:a xmlns:x=\"urn:x\">B</x:a>C</text>",
                    {"A", "C"},
                    {10, 10},
                    {{}, {0}},
                    {20, 20}},
        TLayoutCase{"SpanOfAnotherLanguageTakesNoRoom",
                    "<text x=\"10\" y=\"20\">A<tspan systemLanguage=\"x-none\">B</tspan>C</text>",
                    {"A", "C"},
                    {10, 10},
                    {{}, {0}},
                    {20, 20}},
        TLayoutCase{"NestedSpans",
                    "<text x=\"10\" y=\"20\">A<tspan>B<tspan dy=\"5\">C</tspan>D</tspan>E</text>",
                    {"A", "B", "C", "D", "E"},
                    {10, 10, 10, 10, 10},
                    {{}, {0}, {0, 1}, {0, 1, 2}, {0, 1, 2, 3}},
                    {20, 20, 25, 25, 25}},
        TLayoutCase{"NestedSpanShiftsOnce",
                    "<text x=\"0\" y=\"20\">A<tspan dx=\"5\" dy=\"3\">B<tspan>C</tspan></tspan></text>",
                    {"A", "B", "C"},
                    {0, 5, 5},
                    {{}, {0}, {0, 1}},
                    {20, 23, 23}},
        TLayoutCase{"NestedSpanWithItsOwnX",
                    "<text x=\"0\" y=\"20\">A<tspan x=\"50\"><tspan>B</tspan>C</tspan></text>",
                    {"A", "B", "C"},
                    {0, 50, 50},
                    {{}, {}, {1}},
                    {20, 20, 20}},
        TLayoutCase{"ChunkAfterAYListGoesOnAtItsLastY",
                    "<text x=\"0\" y=\"20\"><tspan y=\"20 40\">HH</tspan>C</text>",
                    {"HH", "C"},
                    {0, 0},
                    {{}, {0}},
                    {20, 40}},
        TLayoutCase{"PercentagesOfTheViewBox", "<text x=\"50%\" y=\"25%\">A</text>", {"A"}, {100}, {{}}, {25}},
        TLayoutCase{
            "EmAndExOfTheFontSize",
            "<text x=\"0\" y=\"20\">A<tspan x=\"1ex\" dy=\"1.5em\">B</tspan><tspan dx=\"0.5em\">C</tspan></text>",
            {"A", "B", "C"},
            {0, 10, 20},
            {{}, {}, {1}},
            {20, 50, 50}},
        // Pretty-printed content: line breaks and indents shrink to one blank, none at the start.
        TLayoutCase{"IndentedContentCollapses",
                    "<text x=\"10\" y=\"20\">\n    A\n    <tspan>B</tspan>\n\t  C  D</text>",
                    {"A ", "B", " C D"},
                    {10, 10, 10},
                    {{}, {0}, {0, 1}},
                    {20, 20, 20}},
        TLayoutCase{"BlankAfterBlankIsDropped",
                    "<text x=\"0\" y=\"20\">A <tspan> B</tspan></text>",
                    {"A ", "B"},
                    {0, 0},
                    {{}, {0}},
                    {20, 20}},
        TLayoutCase{"BlankBetweenSpansSeparatesThem",
                    "<text x=\"0\" y=\"20\"><tspan>A</tspan> <tspan>B</tspan></text>",
                    {"A", " ", "B"},
                    {0, 0, 0},
                    {{}, {0}, {0, 1}},
                    {20, 20, 20}},
        TLayoutCase{"IndentedSpans",
                    "<text x=\"0\" y=\"20\">\n  <tspan>A</tspan>\n  <tspan>B</tspan>\n</text>",
                    {"A", " ", "B"},
                    {0, 0, 0},
                    {{}, {0}, {0, 1}},
                    {20, 20, 20}},
        TLayoutCase{"TrailingBlankIsDropped", "<text x=\"0\" y=\"20\">\n  Hi  \n</text>", {"Hi"}, {0}, {{}}, {20}},
        TLayoutCase{"PreservedBlanksStay",
                    "<text x=\"0\" y=\"20\" xml:space=\"preserve\">  a\tb </text>",
                    {"  a b "},
                    {0},
                    {{}},
                    {20}},
        TLayoutCase{"PreservedFromTheGroup",
                    "<g xml:space=\"preserve\"><text x=\"0\" y=\"20\">a <tspan> b</tspan></text></g>",
                    {"a ", " b"},
                    {0, 0},
                    {{}, {0}},
                    {20, 20}}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TPlacedCase {
    const char* Name;
    std::string Body;
    float Left;    // left of the glyph box, within a side bearing
    float Right;   // right end of the chunk's advance
    float Bottom;  // lowest glyph point (no descenders in the texts)
};

class PlacedCharacters : public ::testing::TestWithParam<TPlacedCase> {};

TEST_P(PlacedCharacters, FollowTheirPositionLists)
{
    const TPlacedCase& c = GetParam();
    TSVG doc;
    doc.LoadFromText(Svg(c.Body));
    const std::vector<TSVGCustomText*> chunks = Chunks(doc);
    ASSERT_FALSE(chunks.empty());
    const TGPRectF r = PathBounds(chunks.front()->GetPath());
    EXPECT_NEAR(r.X, c.Left, 2.5);
    EXPECT_NEAR(r.Y + r.Height, c.Bottom, 0.3);
    EXPECT_NEAR(chunks.front()->GetX() + chunks.front()->GetWidth(), c.Right, 0.01);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, PlacedCharacters,
    ::testing::Values(
        TPlacedCase{"X", "<text x=\"10 60 120\" y=\"50\">HHHH</text>", 10, 120 + 2 * Width("H"), 50},
        TPlacedCase{"Dx", "<text x=\"10\" y=\"50\" dx=\"0 20\">HH</text>", 10, 10 + 20 + 2 * Width("H"), 50},
        TPlacedCase{"Dy", "<text x=\"10\" y=\"50\" dy=\"0 5 5\">HHH</text>", 10, 10 + 3 * Width("H"), 60},
        TPlacedCase{"Y", "<text x=\"10\" y=\"50 70\">HH</text>", 10, 10 + 2 * Width("H"), 70},
        TPlacedCase{"SpanX", "<text y=\"50\"><tspan x=\"0 100\">HH</tspan></text>", 0, 100 + Width("H"), 50},
        // Each placed character starts a line of its own, anchored at its x.
        TPlacedCase{"AnchoredMiddle", "<text x=\"50 100\" y=\"50\" text-anchor=\"middle\">HH</text>",
                    50 - Width("H") / 2, 100 + Width("H") / 2, 50},
        TPlacedCase{"AnchoredEnd", "<text x=\"50 100\" y=\"50\" text-anchor=\"end\">HHH</text>", 50 - Width("H"), 100,
                    50}),
    [](const auto& info) { return std::string(info.param.Name); });

// One row per anchored text: each chunk starts at Base plus the listed multiples of the chunks' widths.
struct TAnchorCase {
    const char* Name;
    std::string Body;
    std::vector<std::string> Texts;
    std::vector<float> Base;
    std::vector<std::vector<float>> Widths;  // per chunk, one factor per text
};

class TextAnchor : public ::testing::TestWithParam<TAnchorCase> {};

TEST_P(TextAnchor, MovesTheLineBackFromItsX)
{
    const TAnchorCase& c = GetParam();
    TSVG doc;
    doc.LoadFromText(Svg(c.Body));
    const std::vector<TSVGCustomText*> chunks = Chunks(doc);
    ASSERT_EQ(chunks.size(), c.Texts.size());
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        SCOPED_TRACE(c.Texts[i]);
        EXPECT_EQ(chunks[i]->GetText(), c.Texts[i]);
        float x = c.Base[i];
        for (std::size_t k = 0; k < c.Widths[i].size(); ++k) x += c.Widths[i][k] * Width(c.Texts[k]);
        EXPECT_NEAR(chunks[i]->GetX(), x, 1.0);  // kerning across chunks, as above
        // The glyphs moved with the chunk.
        EXPECT_NEAR(PathBounds(chunks[i]->GetPath()).X, x, 2.5);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Anchors, TextAnchor,
    ::testing::Values(
        TAnchorCase{"Start", "<text x=\"100\" y=\"50\" text-anchor=\"start\">Hi</text>", {"Hi"}, {100}, {{0}}},
        TAnchorCase{"Middle", "<text x=\"100\" y=\"50\" text-anchor=\"middle\">Hi</text>", {"Hi"}, {100}, {{-0.5f}}},
        TAnchorCase{"End", "<text x=\"100\" y=\"50\" style=\"text-anchor: end\">Hi</text>", {"Hi"}, {100}, {{-1}}},
        TAnchorCase{
            "FromTheGroup", "<g text-anchor=\"end\"><text x=\"100\" y=\"50\">Hi</text></g>", {"Hi"}, {100}, {{-1}}},
        TAnchorCase{"FromAStyleSheetClass",
                    "<style>.c { text-anchor: middle }</style><text class=\"c\" x=\"100\" y=\"50\">Hi</text>",
                    {"Hi"},
                    {100},
                    {{-0.5f}}},
        TAnchorCase{"MixedContentMovesAsOneLine",
                    "<text x=\"100\" y=\"50\" text-anchor=\"middle\">AV<tspan fill=\"red\">W</tspan>a</text>",
                    {"AV", "W", "a"},
                    {100, 100, 100},
                    {{-0.5f, -0.5f, -0.5f}, {0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, -0.5f}}},
        TAnchorCase{"SpanWithItsOwnXIsItsOwnLine",
                    "<text x=\"100\" y=\"30\" text-anchor=\"end\">A<tspan x=\"100\" dy=\"20\" "
                    "text-anchor=\"start\">B</tspan></text>",
                    {"A", "B"},
                    {100, 100},
                    {{-1, 0}, {0, 0}}},
        TAnchorCase{"TrailingBlankTakesNoRoom",
                    "<text x=\"100\" y=\"50\" text-anchor=\"end\">Hi </text>",
                    {"Hi"},
                    {100},
                    {{-1}}}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TBaselineCase {
    const char* Name;
    std::string Attributes;
    // Where the alphabetic baseline goes, from y: factors of the cell ascent, cell descent and x-height.
    float Ascent;
    float Descent;
    float XHeight;
};

class Baselines : public ::testing::TestWithParam<TBaselineCase> {};

TEST_P(Baselines, PutTheNamedBaselineAtY)
{
    const TBaselineCase& c = GetParam();
    TSVG doc;
    doc.LoadFromText(Svg("<text x=\"10\" y=\"50\" stroke-width=\"0\" " + c.Attributes + ">Hi</text>"));
    auto* text = doc.FindByType<TSVGText>();
    ASSERT_NE(text, nullptr);
    TGPFontFamily family("DejaVu Sans");
    const float em = family.GetEmHeight(FontStyleRegular);
    const float ascent = 20 * family.GetCellAscent(FontStyleRegular) / em;
    const float descent = 20 * family.GetCellDescent(FontStyleRegular) / em;
    const float xHeight = 20 * TFontOutline::Open("DejaVu Sans", false, false)->XHeight() / TFontOutline::EmHeight;
    const float baseline = 50 + c.Ascent * ascent + c.Descent * descent + c.XHeight * xHeight;
    const TGPRectF r = PathBounds(text->GetPath());
    EXPECT_NEAR(r.Y + r.Height, baseline, 0.5);  // "Hi" ends on its baseline
    text->UpdateBounds();
    EXPECT_NEAR(text->GetObjectBounds().TopLeft.Y, baseline - ascent, 0.5);
}

INSTANTIATE_TEST_SUITE_P(
    Values, Baselines,
    ::testing::Values(TBaselineCase{"Alphabetic", "dominant-baseline=\"alphabetic\"", 0, 0, 0},
                      TBaselineCase{"Central", "dominant-baseline=\"central\"", 0.5f, -0.5f, 0},
                      TBaselineCase{"Middle", "dominant-baseline=\"middle\"", 0, 0, 0.5f},
                      TBaselineCase{"Hanging", "dominant-baseline=\"hanging\"", 0.8f, 0, 0},
                      TBaselineCase{"TextBeforeEdge", "alignment-baseline=\"text-before-edge\"", 1, 0, 0},
                      TBaselineCase{"Ideographic", "style=\"dominant-baseline: ideographic\"", 0, -1, 0},
                      TBaselineCase{"Unknown", "dominant-baseline=\"sideways\"", 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(TextElement, BaselineComesFromTheGroup)
{
    TSVG doc;
    doc.LoadFromText(Svg("<g dominant-baseline=\"hanging\"><text x=\"10\" y=\"10\">H</text></g>"));
    const TGPRectF r = PathBounds(doc.FindByType<TSVGText>()->GetPath());
    EXPECT_GT(r.Y, 10);  // the glyphs hang below y
}

struct TTextSpacingCase {
    const char* Name;
    std::string Body;
    float Extra;  // added to the plain width of "AV A"
};

class TextSpacing : public ::testing::TestWithParam<TTextSpacingCase> {};

TEST_P(TextSpacing, WidensTheChunk)
{
    TSVG doc;
    doc.LoadFromText(Svg(GetParam().Body));
    const std::vector<TSVGCustomText*> chunks = Chunks(doc);
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_NEAR(chunks[0]->GetWidth(), Width("AV A") + GetParam().Extra, 0.01);
}

INSTANTIATE_TEST_SUITE_P(
    Values, TextSpacing,
    ::testing::Values(TTextSpacingCase{"Normal", "<text letter-spacing=\"normal\">AV A</text>", 0},
                      TTextSpacingCase{"Letters", "<text letter-spacing=\"2\">AV A</text>", 8},
                      TTextSpacingCase{"LettersInEm", "<text style=\"letter-spacing: 0.1em\">AV A</text>", 8},
                      TTextSpacingCase{"Words", "<text word-spacing=\"5px\">AV A</text>", 5},
                      TTextSpacingCase{"FromTheGroup", "<g letter-spacing=\"-1\"><text>AV A</text></g>", -4},
                      TTextSpacingCase{"FromAStyleSheet", "<style>text { letter-spacing: 1 }</style><text>AV A</text>",
                                       4}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(TextElement, ChunkAfterPlacedCharactersContinuesAtTheirEnd)
{
    TSVG doc;
    doc.LoadFromText(Svg("<text y=\"50\"><tspan x=\"0 100\">HH</tspan>A</text>"));
    const std::vector<TSVGCustomText*> chunks = Chunks(doc);
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_NEAR(chunks[1]->GetX(), 100 + Width("H"), 0.01);
}

TEST(TextElement, SpanWithChildElementsIsSplitIntoChunks)
{
    // Editors write a styled word as a span inside the span of its line.
    TSVG doc;
    ASSERT_NO_THROW(doc.LoadFromText(Svg("<text><tspan>A<tspan font-weight=\"bold\">B</tspan></tspan></text>")));
    const std::vector<TSVGCustomText*> chunks = Chunks(doc);
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(chunks[1]->GetText(), "B");
    EXPECT_NE(chunks[1]->GetPath(), nullptr);
}

TEST(TextElement, EmptyTextBuildsNoPath)
{
    TSVG doc;
    doc.LoadFromText(Svg("<text x=\"1\" y=\"2\"></text><text x=\"1\" y=\"2\"><tspan/></text>"));
    for (TSVGCustomText* t : TextObjects(doc)) {
        EXPECT_EQ(t->GetPath(), nullptr);
        EXPECT_EQ(t->GetUnderlinePath(), nullptr);
    }
    const auto bitmap = doc.RenderToBitmap(200, 100);
    std::vector<std::uint32_t> pixels;
    ASSERT_TRUE(bitmap->GetPixels(pixels));
    for (std::uint32_t p : pixels) ASSERT_EQ(GetAlpha(p), 0);
}

struct TFamilyCase {
    const char* Name;
    const char* Requested;
    const char* Family;
};

class FontFallback : public ::testing::TestWithParam<TFamilyCase> {};

TEST_P(FontFallback, FindsAnInstalledFamily)
{
    const auto family = TSVGCustomText::FindFontFamily(GetParam().Requested);
    ASSERT_NE(family, nullptr);
    EXPECT_EQ(family->GetFamilyName(), GetParam().Family);
}

INSTANTIATE_TEST_SUITE_P(
    Names, FontFallback,
    ::testing::Values(
        TFamilyCase{"Installed", "DejaVu Serif", "DejaVu Serif"},
        TFamilyCase{"PartBeforeDash", "DejaVu Serif-Bold", "DejaVu Serif"},
        TFamilyCase{"UnknownFallsBackToArial", "Foo-Bold", "Liberation Sans"},
        TFamilyCase{"ArialStandIn", "Arial", "Liberation Sans"},
        TFamilyCase{"ListTakesTheFirstInstalled", "'Foo', \"DejaVu Sans Mono\", serif", "DejaVu Sans Mono"},
        TFamilyCase{"Chinese", "WenQuanYi Micro Hei", "WenQuanYi Micro Hei"},
        TFamilyCase{"ChineseNameNotInstalled", "\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91", "Liberation Sans"},
        TFamilyCase{"GenericSerif", "serif", "Liberation Serif"},
        TFamilyCase{"GenericSansSerif", "sans-serif", "Liberation Sans"},
        TFamilyCase{"GenericMonospace", "Monospace", "Liberation Mono"},
        TFamilyCase{"ListEndingInAGeneric", "'Foo Sans', monospace", "Liberation Mono"}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TDecorationCase {
    const char* Name;
    const char* Value;
    bool Underline;
    bool StrikeOut;
    bool Overline;
};

class TextDecoration : public ::testing::TestWithParam<TDecorationCase> {};

TEST_P(TextDecoration, BuildsTheRectangles)
{
    const TDecorationCase& c = GetParam();
    TSVG doc;
    doc.LoadFromText(Svg(std::string("<text x=\"10\" y=\"50\" text-decoration=\"") + c.Value + "\">Hi</text>"));
    auto* text = doc.FindByType<TSVGText>();
    ASSERT_NE(text, nullptr);
    const float top = 50 - text->GetFontHeight();
    EXPECT_EQ(text->GetUnderlinePath() != nullptr, c.Underline);
    EXPECT_EQ(text->GetStrikeOutPath() != nullptr, c.StrikeOut);
    EXPECT_EQ(text->GetOverlinePath() != nullptr, c.Overline);
    // Each is a rectangle as wide as the text, as thick as the font's own line (a few hundredths of
    // the em), centred on the font's positions for them: under the baseline, through the
    // lower-case letters, along the ascent.
    auto expectRect = [&](const TGPGraphicsPath* Path, float Low, float High) {
        const TGPRectF r = PathBounds(Path);
        EXPECT_GE(r.Y, Low);
        EXPECT_LE(r.Y + r.Height, High);
        EXPECT_GT(r.Height, 20 * 0.03f);
        EXPECT_LT(r.Height, 20 * 0.1f);
        EXPECT_NEAR(r.Width, Width("Hi"), 0.01);
        EXPECT_NEAR(r.X, 10, 1e-4);
    };
    const float xHeight = 20 * TFontOutline::Open("DejaVu Sans", false, false)->XHeight() / TFontOutline::EmHeight;
    if (c.Underline) expectRect(text->GetUnderlinePath(), 50 - 20 * 0.05f, 50 + 20 * 0.2f);
    if (c.StrikeOut) expectRect(text->GetStrikeOutPath(), 50 - xHeight, 50);
    if (c.Overline) expectRect(text->GetOverlinePath(), top - 20 * 0.05f, top + 2);
}

INSTANTIATE_TEST_SUITE_P(Values, TextDecoration,
                         ::testing::Values(TDecorationCase{"None", "none", false, false, false},
                                           TDecorationCase{"Underline", "underline", true, false, false},
                                           TDecorationCase{"LineThrough", "line-through", false, true, false},
                                           TDecorationCase{"Both", "underline line-through", true, true, false},
                                           TDecorationCase{"Overline", "overline", false, false, true},
                                           TDecorationCase{"All", "underline line-through overline", true, true, true}),
                         [](const auto& info) { return std::string(info.param.Name); });

struct TFontNameCase {
    const char* Name;
    const char* Family;  // as a design tool writes it
    int Weight;
    int Style;
};

class DesignToolFontNames : public ::testing::TestWithParam<TFontNameCase> {};

TEST_P(DesignToolFontNames, GiveTheFaceTheirNameAsksFor)
{
    const TFontNameCase& c = GetParam();
    TSVG doc;
    doc.LoadFromText(Svg(std::string("<style>.f { font-family: '") + c.Family +
                         "' }</style><text class=\"f\" x=\"0\" y=\"50\">AV</text>"));
    auto* text = doc.FindByType<TSVGText>();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetFontWeight(), c.Weight);
    EXPECT_EQ(text->GetFontStyle(), c.Style);
    TGPFont font("Liberation Sans", 20, (c.Weight == 700 ? FontStyleBold : 0) | (c.Style == 1 ? FontStyleItalic : 0),
                 UnitPixel);
    EXPECT_NEAR(text->GetWidth(), GetKerningText().MeasureText("AV", font), 0.01);
}

INSTANTIATE_TEST_SUITE_P(Names, DesignToolFontNames,
                         ::testing::Values(TFontNameCase{"Plain", "ArialMT", 400, 0},
                                           TFontNameCase{"Bold", "Arial-BoldMT", 700, 0},
                                           TFontNameCase{"Italic", "Arial-ItalicMT", 400, 1},
                                           TFontNameCase{"BoldItalic", "Arial-BoldItalicMT", 700, 1}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(TextElement, CopiesKeepTheirDecorations)
{
    TSVG doc;
    doc.LoadFromText(
        Svg("<defs><text id=\"t\" x=\"10\" y=\"40\" text-decoration=\"underline line-through\" "
            "fill=\"#000\" font-size=\"60\">Hi</text></defs><use xlink:href=\"#t\" x=\"0\" y=\"30\"/>"));
    auto* text = doc.FindByType<TSVGText>();
    ASSERT_NE(text, nullptr);
    const TGPRectF underline = PathBounds(text->GetUnderlinePath());
    const auto bitmap = doc.RenderToBitmap(200, 100);
    // The copy is 30 lower: its underline is ink below the glyphs' baseline, right of the left end.
    ARGB c = 0;
    bitmap->GetPixel(static_cast<int>(underline.X + 1), static_cast<int>(underline.Y + underline.Height / 2 + 30), c);
    EXPECT_GT(GetAlpha(c), 200);
    std::unique_ptr<TSVGObject> copy(text->Clone(nullptr));
    auto* copied = dynamic_cast<TSVGCustomText*>(copy.get());
    ASSERT_NE(copied, nullptr);
    ASSERT_NE(copied->GetUnderlinePath(), nullptr);
    ASSERT_NE(copied->GetStrikeOutPath(), nullptr);
    EXPECT_NE(copied->GetUnderlinePath(), text->GetUnderlinePath());
    EXPECT_EQ(PathBounds(copied->GetStrikeOutPath()).Y, PathBounds(text->GetStrikeOutPath()).Y);
}

struct TFontStyleCase {
    const char* Name;
    std::string Body;  // holds one text element with the content Wave
    float Size;
    int Style;  // of the face the glyphs come from
};

class FontProperties : public ::testing::TestWithParam<TFontStyleCase> {};

TEST_P(FontProperties, ChooseTheFace)
{
    const TFontStyleCase& c = GetParam();
    TSVG doc;
    doc.LoadFromText(Svg(c.Body));
    auto* text = doc.FindByType<TSVGText>();
    ASSERT_NE(text, nullptr);
    TGPFont font("Liberation Sans", c.Size, c.Style, UnitPixel);
    EXPECT_NEAR(text->GetWidth(), GetKerningText().MeasureText("Wave", font), 0.01);
}

std::string Wave(const std::string& Attributes)
{
    return "<text x=\"0\" y=\"50\" " + Attributes + ">Wave</text>";
}

INSTANTIATE_TEST_SUITE_P(
    Values, FontProperties,
    ::testing::Values(
        TFontStyleCase{"SemiBoldTakesTheBoldFace", Wave("font-family=\"Arial\" font-weight=\"600\""), 20,
                       FontStyleBold},
        TFontStyleCase{"Bolder", Wave("font-family=\"Arial\" font-weight=\"bolder\""), 20, FontStyleBold},
        TFontStyleCase{"Medium", Wave("font-family=\"Arial\" font-weight=\"500\""), 20, FontStyleRegular},
        TFontStyleCase{"Shorthand", Wave("style=\"font: italic 600 27px Arial\""), 27, FontStyleBold | FontStyleItalic},
        TFontStyleCase{"ShorthandWithLineHeightAndList", Wave("style=\"font: 12px/1.5 'Foo Sans', Arial, sans-serif\""),
                       12, FontStyleRegular},
        TFontStyleCase{"ShorthandResetsWhatItLeavesOut",
                       "<g font-weight=\"bold\" font-style=\"italic\">" + Wave("style=\"font: 16px Arial\"") + "</g>",
                       16, FontStyleRegular},
        TFontStyleCase{"LonghandOverridesShorthand", Wave("style=\"font: 16px Arial; font-size: 30px\""), 30,
                       FontStyleRegular},
        TFontStyleCase{"ShorthandWithoutFamilyIsIgnored", Wave("font-family=\"Arial\" style=\"font: bold 30px\""), 20,
                       FontStyleRegular}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(TextElement, BoldFromTheGroupShapesTheGlyphsToo)
{
    TSVG bold, regular;
    bold.LoadFromText(Svg("<g font-weight=\"bold\"><text x=\"0\" y=\"50\">Wide</text></g>"));
    regular.LoadFromText(Svg("<g><text x=\"0\" y=\"50\">Wide</text></g>"));
    const TGPRectF b = PathBounds(bold.FindByType<TSVGText>()->GetPath());
    const TGPRectF r = PathBounds(regular.FindByType<TSVGText>()->GetPath());
    EXPECT_GT(bold.FindByType<TSVGText>()->GetWidth(), regular.FindByType<TSVGText>()->GetWidth());
    EXPECT_GT(b.Width, r.Width);
}

// ---------------------------------------------------------------- texts that draw like plainer ones

struct TDrawsLikeCase {
    const char* Name;
    std::string Text;  // a text using the feature
    std::string Same;  // a plainer text that must look the same
};

class DrawsLike : public ::testing::TestWithParam<TDrawsLikeCase> {};

// The last chunk of both lies in the same place.
TEST_P(DrawsLike, ThePlainerText)
{
    TSVG hidden;
    hidden.LoadFromText(Svg(GetParam().Text));
    TSVG same;
    same.LoadFromText(Svg(GetParam().Same));
    const std::vector<TSVGCustomText*> a = Chunks(hidden);
    const std::vector<TSVGCustomText*> b = Chunks(same);
    ASSERT_FALSE(a.empty());
    ASSERT_FALSE(b.empty());
    const TGPRectF ra = PathBounds(a.back()->GetPath());
    const TGPRectF rb = PathBounds(b.back()->GetPath());
    EXPECT_GT(rb.Width, 1);
    EXPECT_NEAR(ra.X, rb.X, 0.01);
    EXPECT_NEAR(ra.Y, rb.Y, 0.01);
    EXPECT_NEAR(ra.Width, rb.Width, 0.01);
    EXPECT_NEAR(ra.Height, rb.Height, 0.01);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DrawsLike,
    ::testing::Values(
        // Spans not displayed take no room and no position values.
        TDrawsLikeCase{"HiddenSpanTakesNoRoom", "<text x=\"10\" y=\"50\">A<tspan display=\"none\">WW</tspan>V</text>",
                       "<text x=\"10\" y=\"50\">A<tspan>V</tspan></text>"},
        TDrawsLikeCase{"HiddenSpanTakesNoRotation",
                       "<text x=\"10\" y=\"50\" rotate=\"0 90\">A<tspan style=\"display:none\">WW</tspan>V</text>",
                       "<text x=\"10\" y=\"50\">A<tspan rotate=\"90\">V</tspan></text>"},
        TDrawsLikeCase{"HiddenSpanTakesNoPosition",
                       "<text x=\"10 40 80\" y=\"50\">A<tspan display=\"none\">W</tspan>V</text>",
                       "<text x=\"10\" y=\"50\">A<tspan x=\"40\">V</tspan></text>"},
        // Text after a text path goes on where its last glyph ended.
        TDrawsLikeCase{"AfterATextPath",
                       "<path id=\"p\" d=\"M0,50 L200,50\"/><text><textPath xlink:href=\"#p\">HH</textPath>"
                       "<tspan>II</tspan></text>",
                       "<text y=\"50\">HH<tspan>II</tspan></text>"},
        TDrawsLikeCase{"AfterATextPathAtItsOwnX",
                       "<path id=\"p\" d=\"M0,50 L200,50\"/><text><textPath xlink:href=\"#p\">HH</textPath>"
                       "<tspan x=\"150\">II</tspan></text>",
                       "<text y=\"50\">HH<tspan x=\"150\">II</tspan></text>"},
        // "inherit" takes the parent's alignment-baseline although it is not inherited.
        TDrawsLikeCase{"AlignmentBaselineInherit",
                       "<g alignment-baseline=\"hanging\"><text x=\"10\" y=\"50\" "
                       "alignment-baseline=\"inherit\">Hi</text></g>",
                       "<text x=\"10\" y=\"50\" alignment-baseline=\"hanging\">Hi</text>"},
        // A value naming no baseline leaves the parent's in force.
        TDrawsLikeCase{"DominantBaselineNoChange",
                       "<text x=\"10\" y=\"50\" dominant-baseline=\"middle\">A<tspan "
                       "dominant-baseline=\"no-change\">Hi</tspan></text>",
                       "<text x=\"10\" y=\"50\" dominant-baseline=\"middle\">A<tspan>Hi</tspan></text>"},
        // Positions in em count in the size the glyphs are drawn at, however it is written.
        TDrawsLikeCase{"PositionInEmOfALargerFontSize",
                       "<g font-size=\"20\"><text x=\"2em\" y=\"50\" font-size=\"larger\">Hi</text></g>",
                       "<text x=\"48\" y=\"50\" font-size=\"24\">Hi</text>"},
        TDrawsLikeCase{"PositionInEmOfANamedFontSize", "<text x=\"1em\" y=\"50\" font-size=\"x-large\">Hi</text>",
                       "<text x=\"24\" y=\"50\" font-size=\"24\">Hi</text>"}),
    [](const auto& info) { return std::string(info.param.Name); });

// ---------------------------------------------------------------- relative weights

struct TRelativeWeightCase {
    const char* Name;
    const char* Parent;  // the group's font-weight
    const char* Own;     // the text's: bolder or lighter
    const char* Same;    // the absolute weight it must draw like
};

class RelativeFontWeight : public ::testing::TestWithParam<TRelativeWeightCase> {};

TEST_P(RelativeFontWeight, StepsFromTheParentsWeight)
{
    const TRelativeWeightCase& c = GetParam();
    TSVG doc;
    doc.LoadFromText(Svg(std::string("<g font-weight=\"") + c.Parent + "\"><text y=\"40\" font-weight=\"" + c.Own +
                         "\">Hamburg</text></g><text y=\"80\" font-weight=\"" + c.Same + "\">Hamburg</text>"));
    const std::vector<TSVGCustomText*> chunks = Chunks(doc);
    ASSERT_EQ(chunks.size(), 2u);
    const TGPRectF relative = PathBounds(chunks[0]->GetPath());
    const TGPRectF absolute = PathBounds(chunks[1]->GetPath());
    EXPECT_NEAR(relative.Width, absolute.Width, 0.01);
    EXPECT_EQ(chunks[0]->GetPath()->GetPointCount(), chunks[1]->GetPath()->GetPointCount());
}

INSTANTIATE_TEST_SUITE_P(Steps, RelativeFontWeight,
                         ::testing::Values(TRelativeWeightCase{"BolderFromLight", "300", "bolder", "400"},
                                           TRelativeWeightCase{"BolderFromMedium", "500", "bolder", "700"},
                                           TRelativeWeightCase{"LighterFromExtraBold", "800", "lighter", "700"},
                                           TRelativeWeightCase{"LighterFromSemiBold", "600", "lighter", "400"},
                                           TRelativeWeightCase{"LighterFromNormal", "normal", "lighter", "100"}),
                         [](const auto& info) { return std::string(info.param.Name); });

// ---------------------------------------------------------------- text on a path

// A guide path "p" and an element "g" without an outline come before the text.
std::string OnPath(const std::string& TextPathAttributes, const std::string& Content = "AB",
                   const std::string& Guide = "M0,50 L200,50")
{
    return Svg("<path id=\"p\" fill=\"none\" d=\"" + Guide + "\"/><text id=\"g\"></text><text><textPath " +
               TextPathAttributes + ">" + Content + "</textPath></text>");
}

struct TOffsetCase {
    const char* Name;
    std::string Attributes;
    float StartX;
};

class TextPathOffset : public ::testing::TestWithParam<TOffsetCase> {};

TEST_P(TextPathOffset, StartsWhereTheOffsetSays)
{
    TSVG doc;
    doc.LoadFromText(OnPath(GetParam().Attributes));
    const std::vector<TSVGCustomText*> chunks = Chunks(doc);
    ASSERT_EQ(chunks.size(), 1u);
    const TGPRectF r = PathBounds(chunks[0]->GetPath());
    EXPECT_NEAR(r.X, GetParam().StartX, 1.5);
    EXPECT_LE(r.Y + r.Height, 50.5);  // glyphs stand on the guide
    EXPECT_GE(r.Y, 30 - 0.5);
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, TextPathOffset,
    ::testing::Values(TOffsetCase{"None", "xlink:href=\"#p\"", 0},
                      TOffsetCase{"CentredOnTheOffset", "xlink:href=\"#p\" startOffset=\"50%\" text-anchor=\"middle\"",
                                  100 - Width("AB") / 2},
                      TOffsetCase{"EndingAtTheOffset", "xlink:href=\"#p\" startOffset=\"50%\" text-anchor=\"end\"",
                                  100 - Width("AB")},
                      TOffsetCase{"Percent", "xlink:href=\"#p\" startOffset=\"50%\"", 100},
                      TOffsetCase{"Length", "xlink:href=\"#p\" startOffset=\"20\"", 20},
                      TOffsetCase{"Millimetres", "xlink:href=\"#p\" startOffset=\"5mm\"", 5 * 96 / 25.4f},
                      TOffsetCase{"Em", "xlink:href=\"#p\" startOffset=\"1.5em\"", 30}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(TextPath, ChunksFollowEachOtherAlongTheGuide)
{
    TSVG doc;
    doc.LoadFromText(OnPath("xlink:href=\"#p\"", "AV<tspan>WA</tspan>"));
    const std::vector<TSVGCustomText*> chunks = Chunks(doc);
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_NEAR(PathBounds(chunks[1]->GetPath()).X, Width("AV"), 1.5);
}

TEST(TextPath, TextLongerThanTheGuideIsCut)
{
    TSVG doc;
    doc.LoadFromText(OnPath("xlink:href=\"#p\"", "Lorem ipsum dolor sit amet", "M0,50 L60,50"));
    const std::vector<TSVGCustomText*> chunks = Chunks(doc);
    ASSERT_EQ(chunks.size(), 1u);
    const TGPRectF r = PathBounds(chunks[0]->GetPath());
    EXPECT_GT(r.Width, 10);
    // A glyph stays while its middle is on the guide.
    EXPECT_LE(r.X + r.Width, 60 + 7);
}

struct TMissingGuideCase {
    const char* Name;
    std::string Attributes;
};

class TextPathWithoutGuide : public ::testing::TestWithParam<TMissingGuideCase> {};

TEST_P(TextPathWithoutGuide, DrawsNothing)
{
    TSVG doc;
    ASSERT_NO_THROW(doc.LoadFromText(OnPath(GetParam().Attributes)));
    for (TSVGCustomText* t : TextObjects(doc))
        EXPECT_TRUE(t->GetPath() == nullptr || t->GetPath()->GetPointCount() == 0);
}

INSTANTIATE_TEST_SUITE_P(References, TextPathWithoutGuide,
                         ::testing::Values(TMissingGuideCase{"NoHref", ""},
                                           TMissingGuideCase{"NotAFragment", "xlink:href=\"p\""},
                                           TMissingGuideCase{"UnknownId", "xlink:href=\"#nothing\""}),
                         [](const auto& info) { return std::string(info.param.Name); });

struct TInvalidGuideCase {
    const char* Name;
    std::string Body;
};

class TextPathGuideWithoutOutline : public ::testing::TestWithParam<TInvalidGuideCase> {};

// The text path draws nothing; the span after it is drawn.
TEST_P(TextPathGuideWithoutOutline, DrawsNothingButTheRest)
{
    TSVG doc;
    ASSERT_NO_THROW(doc.LoadFromText(Svg(GetParam().Body)));
    const std::vector<TSVGCustomText*> chunks = Chunks(doc);
    ASSERT_GE(chunks.size(), 2u);
    for (std::size_t i = 0; i + 1 < chunks.size(); ++i)
        EXPECT_TRUE(chunks[i]->GetPath() == nullptr || chunks[i]->GetPath()->GetPointCount() == 0) << i;
    ASSERT_NE(chunks.back()->GetPath(), nullptr);
    EXPECT_GT(chunks.back()->GetPath()->GetPointCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Guides, TextPathGuideWithoutOutline,
    ::testing::Values(
        TInvalidGuideCase{
            "EmptyText",
            "<text id=\"g\"></text><text><textPath xlink:href=\"#g\">AB</textPath><tspan>CD</tspan></text>"},
        TInvalidGuideCase{"ItsOwnText",
                          "<text id=\"g\" y=\"50\"><textPath xlink:href=\"#g\">AB</textPath><tspan>CD</tspan></text>"},
        TInvalidGuideCase{"WithPercentOffset",
                          "<text id=\"g\"></text><text><textPath xlink:href=\"#g\" "
                          "startOffset=\"10%\">AB</textPath><tspan>CD</tspan></text>"},
        TInvalidGuideCase{"Group",
                          "<g id=\"g\"><rect width=\"5\" height=\"5\"/></g>"
                          "<text><textPath xlink:href=\"#g\">AB</textPath><tspan>CD</tspan></text>"},
        TInvalidGuideCase{"Gradient",
                          "<linearGradient id=\"g\"/><text><textPath xlink:href=\"#g\">AB</textPath>"
                          "<tspan>CD</tspan></text>"},
        TInvalidGuideCase{"TextInASpan",
                          "<text id=\"g\"></text><text><textPath xlink:href=\"#g\"><tspan>AB</tspan>"
                          "</textPath><tspan>CD</tspan></text>"},
        // A text path inside another one is no text path.
        TInvalidGuideCase{"Nested",
                          "<path id=\"p\" d=\"M0,50 L200,50\"/><text><textPath xlink:href=\"#p\">"
                          "<textPath xlink:href=\"#p\">AB</textPath>CD</textPath></text>"}),
    [](const auto& info) { return std::string(info.param.Name); });

// How far along the guide the glyphs reach, for guides of several figures.
struct TGuideShapeCase {
    const char* Name;
    std::string Guide;
    float Right;   // right edge of the glyphs
    float Bottom;  // lowest point of the glyphs
};

class TextPathGuideShape : public ::testing::TestWithParam<TGuideShapeCase> {};

TEST_P(TextPathGuideShape, CarriesTheGlyphs)
{
    TSVG doc;
    doc.LoadFromText(OnPath("xlink:href=\"#p\"", "HHHHH", GetParam().Guide));
    const std::vector<TSVGCustomText*> chunks = Chunks(doc);
    ASSERT_EQ(chunks.size(), 1u);
    const TGPRectF r = PathBounds(chunks[0]->GetPath());
    EXPECT_NEAR(r.X + r.Width, GetParam().Right, 3);
    EXPECT_NEAR(r.Y + r.Height, GetParam().Bottom, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Guides, TextPathGuideShape,
    ::testing::Values(
        // The jump between two figures covers no distance: the fourth H goes onto the second one.
        TGuideShapeCase{"TwoFigures", "M0,50 L40,50 M100,50 L200,50", 100 + Width("HHHHH") - 40 - 1.5f, 50},
        // The fourth and fifth H go down the second line, turned a quarter.
        TGuideShapeCase{"Corner", "M0,50 L50,50 L50,100", 50 + 14.6f, 50 + Width("HHHHH") - 50 - 1.9f},
        // Closing runs the text back along the closing line, upside down below it.
        TGuideShapeCase{"ClosedFigureGoesOnAlongTheClosingLine", "M0,50 L30,50 L30,50.01 Z", 30 - 1.9f, 50 + 14.6f}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(TextPath, EmptyTextPathWithoutOutlineIsNoError)
{
    TSVG doc;
    EXPECT_NO_THROW(
        doc.LoadFromText(Svg("<text id=\"g\"></text><text><textPath xlink:href=\"#g\"> </textPath></text>")));
}

TEST(TextPath, GuideLaterInTheDocumentIsFollowedWhenPainting)
{
    TSVG doc;
    doc.LoadFromText(
        Svg("<text fill=\"#000\"><textPath xlink:href=\"#later\">HHHH</textPath></text>"
            "<path id=\"later\" fill=\"none\" d=\"M0,50 L200,50\"/>"
            "<text><textPath xlink:href=\"#group\">HH</textPath></text><g id=\"group\"/>"));
    const auto bitmap = doc.RenderToBitmap(200, 100);
    int ink = 0;
    for (int y = 30; y < 50; ++y)
        for (int x = 0; x < 50; ++x) {
            ARGB c = 0;
            bitmap->GetPixel(x, y, c);
            ink += GetAlpha(c) > 128 ? 1 : 0;
        }
    EXPECT_GT(ink, 100);
    const std::vector<TSVGCustomText*> chunks = Chunks(doc);
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_NE(chunks[0]->GetPath(), nullptr);
    // A later guide without an outline stays unused: no glyphs.
    EXPECT_TRUE(chunks[1]->GetPath() == nullptr || chunks[1]->GetPath()->GetPointCount() == 0);
}

TEST(TextPath, PlainHrefStandsInForXlinkHref)
{
    TSVG doc;
    doc.LoadFromText(OnPath("href=\"#p\""));
    const std::vector<TSVGCustomText*> chunks = Chunks(doc);
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_NE(chunks[0]->GetPath(), nullptr);
}

}  // namespace
}  // namespace plumwick

namespace plumwick {
namespace {

TEST(TextElement, DocumentsLayOutTheSameOnSeveralThreads)
{
    const std::string text =
        Svg("<text x=\"5\" y=\"40\">AVo <tspan font-weight=\"bold\">Wave</tspan> "
            "\xE4\xB8\xAD\xE6\x96\x87</text>");
    auto layout = [&text] {
        TSVG doc;
        doc.LoadFromText(text);
        std::vector<float> out;
        for (TSVGCustomText* chunk : Chunks(doc)) {
            out.push_back(chunk->GetX());
            out.push_back(chunk->GetWidth());
            out.push_back(static_cast<float>(chunk->GetPath()->GetPointCount()));
        }
        return out;
    };
    const std::vector<float> expected = layout();
    ASSERT_EQ(expected.size(), 9u);
    std::vector<std::vector<float>> results(4);
    std::vector<std::thread> workers;
    for (auto& result : results)
        workers.emplace_back([&result, &layout] {
            for (int i = 0; i < 5; ++i) result = layout();
        });
    for (std::thread& w : workers) w.join();
    for (const auto& result : results) EXPECT_EQ(result, expected);
}

}  // namespace
}  // namespace plumwick
