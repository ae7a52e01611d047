// Structural and reference elements: groups, switch, defs, use copies and clip paths.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Xml.h"
#include "svg/base/SVGError.h"
#include "svg/structure/SVGStructure.h"
#include "tests/support/RenderProbe.h"

namespace plumwick {
namespace {

using namespace probe;

const ARGB Black = 0xFF000000;

class StructurePixels : public TPixelTable<40, 40> {};

TEST_P(StructurePixels, PaintWhereExpected)
{
    CheckPixels();
}

#define DOT R"svg(<defs><circle id="dot" cx="0" cy="0" r="3" fill="red"/></defs>)svg"

const TPixelCase StructureCases[] = {
    // --- use
    {"use_x_y_place_the_copy",
     DOT R"svg(<use xlink:href="#dot" x="10" y="20"/>)svg",
     {{10, 20, Red}, {8, 18, Red}, {0, 0, Transparent}, {14, 20, Transparent}}},
    {"use_href_without_xlink", DOT R"svg(<use href="#dot" x="10" y="20"/>)svg", {{10, 20, Red}}},
    {"use_transform_then_x_y",
     DOT R"svg(<use xlink:href="#dot" x="5" y="5" transform="translate(20,0)"/>)svg",
     {{25, 5, Red}, {5, 5, Transparent}}},
    // The use element's transform applies to its x and y as well: centre (10, 10), radius 6.
    {"use_scaled",
     DOT R"svg(<use xlink:href="#dot" x="5" y="5" transform="scale(2)"/>)svg",
     {{10, 10, Red}, {14, 10, Red}, {10, 5, Red}, {5, 5, Transparent}, {17, 10, Transparent}}},
    {"use_inside_a_moved_group",
     DOT R"svg(<g transform="translate(0,30)"><use xlink:href="#dot" x="30"/></g>)svg",
     {{30, 30, Red}, {30, 0, Transparent}}},
    {"use_of_a_visible_element_paints_both",
     R"svg(<rect id="r" width="5" height="5" fill="red"/><use xlink:href="#r" x="20" y="20"/>)svg",
     {{2, 2, Red}, {22, 22, Red}, {12, 12, Transparent}}},
    {"use_reference_without_hash", DOT R"svg(<use xlink:href="dot" x="10" y="20"/>)svg", {{10, 20, Transparent}}},
    {"use_reference_to_nothing", DOT R"svg(<use xlink:href="#nothing" x="10" y="20"/>)svg", {{10, 20, Transparent}}},
    {"use_of_a_group_holding_a_use",
     DOT R"svg(<defs><g id="pair"><use xlink:href="#dot" x="5"/><use xlink:href="#dot" x="15"/></g></defs>)svg"
         R"svg(<use xlink:href="#pair" y="30"/>)svg",
     {{5, 30, Red}, {15, 30, Red}, {10, 30, Transparent}}},
    {"use_chain",
     DOT R"svg(<defs><use id="u1" xlink:href="#dot" x="5"/><use id="u2" xlink:href="#u1" x="5"/></defs>)svg"
         R"svg(<use xlink:href="#u2" x="5" y="5"/>)svg",
     {{15, 5, Red}, {5, 5, Transparent}}},
    // Presentation properties come from the use element, not from the original's ancestors.
    {"use_fill_reaches_the_copy",
     R"svg(<defs><g fill="blue"><rect id="r" width="5" height="5"/></g></defs><use xlink:href="#r" fill="red" x="10"/>)svg",
     {{12, 2, Red}}},
    {"use_ancestors_of_the_original_do_not",
     R"svg(<defs><g fill="blue"><rect id="r" width="5" height="5"/></g></defs><use xlink:href="#r" x="10"/>)svg",
     {{12, 2, Black}}},
    {"use_own_fill_of_the_original_wins",
     R"svg(<defs><rect id="r" width="5" height="5" fill="blue"/></defs><use xlink:href="#r" fill="red" x="10"/>)svg",
     {{12, 2, Blue}}},
    {"use_opacity_multiplies",
     R"svg(<defs><rect id="r" width="5" height="5" fill="red" opacity="0.5"/></defs><use xlink:href="#r" opacity="0.5"/>)svg",
     {{2, 2, 0x40FF0000, 1}}},
    {"use_display_none_hides_the_copy",
     DOT R"svg(<use xlink:href="#dot" x="10" y="10" display="none"/>)svg",
     {{10, 10, Transparent}}},
    // A gradient named by the original still paints the copy.
    {"use_copy_keeps_its_gradient",
     R"svg(<defs><linearGradient id="g"><stop stop-color="lime"/></linearGradient>)svg"
     R"svg(<rect id="r" width="5" height="5" fill="url(#g)"/></defs><use xlink:href="#r" x="10"/>)svg",
     {{12, 2, Lime}}},

    // --- groups, switch, defs
    {"group_attributes_reach_children",
     R"svg(<g fill="red" transform="translate(10,10)"><rect width="5" height="5"/></g>)svg",
     {{12, 12, Red}, {2, 2, Transparent}}},
    // Features are no longer asked about: the first child passes and is the only one drawn.
    {"switch_paints_only_the_first_passing_child",
     R"svg(<switch><rect width="5" height="5" fill="red" requiredFeatures="x"/><rect x="10" width="5" height="5" fill="blue"/></switch>)svg",
     {{2, 2, Red}, {12, 2, Transparent}}},
    {"defs_never_paint",
     R"svg(<defs display="inline"><rect width="40" height="40" fill="red"/></defs>)svg",
     {{20, 20, Transparent}}},
    {"defs_inline_style_neither",
     R"svg(<defs style="display:inline"><rect width="40" height="40" fill="red"/></defs>)svg",
     {{20, 20, Transparent}}},

    // --- clip paths
    {"clip_cuts_the_element",
     R"svg(<clipPath id="c"><rect width="10" height="10"/></clipPath><rect width="40" height="40" fill="red" clip-path="url(#c)"/>)svg",
     {{5, 5, Red}, {15, 5, Transparent}, {5, 15, Transparent}}},
    {"clip_is_never_painted",
     R"svg(<clipPath id="c"><rect width="10" height="10" fill="red"/></clipPath>)svg",
     {{5, 5, Transparent}}},
    // The clip lies in the user space of the element it clips: the element's own transform and its
    // ancestors' move it along.
    {"clip_moves_with_a_transformed_element",
     R"svg(<clipPath id="c"><rect width="15" height="40"/></clipPath>)svg"
     R"svg(<rect width="20" height="40" fill="red" transform="translate(10,0)" clip-path="url(#c)"/>)svg",
     {{12, 5, Red}, {22, 5, Red}, {27, 5, Transparent}, {5, 5, Transparent}}},
    {"clip_scales_with_a_transformed_group",
     R"svg(<clipPath id="c"><rect width="15" height="40"/></clipPath>)svg"
     R"svg(<g transform="scale(2)"><rect width="20" height="20" fill="red" clip-path="url(#c)"/></g>)svg",
     {{12, 5, Red}, {25, 5, Red}, {35, 5, Transparent}}},
    // The transforms around the clip element itself play no part.
    {"clip_ignores_the_transforms_around_its_element",
     R"svg(<g transform="translate(20,0)"><clipPath id="c"><rect width="10" height="40"/></clipPath></g>)svg"
     R"svg(<rect width="40" height="40" fill="red" clip-path="url(#c)"/>)svg",
     {{5, 5, Red}, {25, 5, Transparent}}},
    {"clip_children_keep_their_transforms",
     R"svg(<clipPath id="c"><rect width="10" height="40" transform="translate(20,0)"/></clipPath>)svg"
     R"svg(<rect width="40" height="40" fill="red" clip-path="url(#c)"/>)svg",
     {{25, 5, Red}, {5, 5, Transparent}}},
    // A group is no valid child of a clip path: what it holds adds nothing.
    {"clip_ignores_a_group_in_it",
     R"svg(<clipPath id="c"><g transform="translate(20,0)"><circle cx="5" cy="5" r="5"/></g></clipPath>)svg"
     R"svg(<rect width="40" height="40" fill="red" clip-path="url(#c)"/>)svg",
     {{25, 5, Transparent}, {5, 5, Transparent}}},
    // A use in a clip path contributes its copy, once, also when the clip was first asked for
    // before the copy existed (the referencing element is read after the clip element).
    {"clip_through_a_use",
     R"svg(<defs><rect id="r" width="10" height="10"/></defs><clipPath id="c"><use xlink:href="#r" x="20"/></clipPath>)svg"
     R"svg(<rect width="40" height="40" fill="red" clip-path="url(#c)"/>)svg",
     {{25, 5, Red}, {5, 5, Transparent}}},
    // The children's outlines add up: where two overlap, the clip stays open.
    {"clip_children_unite",
     R"svg(<clipPath id="c"><rect width="20" height="10"/><rect x="10" width="20" height="10"/></clipPath>)svg"
     R"svg(<rect width="40" height="40" fill="red" clip-path="url(#c)"/>)svg",
     {{5, 5, Red}, {15, 5, Red}, {25, 5, Red}, {35, 5, Transparent}}},
    {"clip_on_a_group_reaches_descendants",
     R"svg(<clipPath id="c"><rect width="10" height="40"/></clipPath>)svg"
     R"svg(<g clip-path="url(#c)"><g><rect width="40" height="10" fill="red"/></g><rect y="20" width="40" height="10" fill="blue"/></g>)svg",
     {{5, 5, Red}, {15, 5, Transparent}, {5, 25, Blue}, {15, 25, Transparent}}},
    {"clip_in_a_style_attribute",
     R"svg(<clipPath id="c"><rect width="10" height="10"/></clipPath><rect width="40" height="40" fill="red" style="clip-path:url(#c)"/>)svg",
     {{5, 5, Red}, {15, 15, Transparent}}},
    {"clip_reference_to_nothing",
     R"svg(<rect width="40" height="40" fill="red" clip-path="url(#none)"/>)svg",
     {{5, 5, Red}, {35, 35, Red}}},
    {"clip_reference_to_a_shape",
     R"svg(<rect id="c" width="10" height="10" fill="blue"/><rect x="20" width="20" height="40" fill="red" clip-path="url(#c)"/>)svg",
     {{25, 5, Red}, {35, 35, Red}}},
    {"clip_is_kept_to_its_element",
     R"svg(<clipPath id="c"><rect width="10" height="10"/></clipPath><rect width="40" height="20" fill="red" clip-path="url(#c)"/>)svg"
     R"svg(<rect y="20" width="40" height="20" fill="blue"/>)svg",
     {{15, 5, Transparent}, {15, 25, Blue}, {35, 35, Blue}}},
    {"clip_empty_hides_everything",
     R"svg(<clipPath id="c"/><rect width="40" height="40" fill="red" clip-path="url(#c)"/>)svg",
     {{5, 5, Transparent}}},
    {"clip_on_a_use",
     DOT
     R"svg(<clipPath id="c"><rect width="10" height="40"/></clipPath><use xlink:href="#dot" x="10" y="10" clip-path="url(#c)"/>)svg",
     {{8, 10, Red}, {11, 10, Transparent}}},
};

#undef DOT

INSTANTIATE_TEST_SUITE_P(Rows, StructurePixels, ::testing::ValuesIn(StructureCases), CaseName{});

// Whole documents: which elements count as SVG by their namespace.
struct TNamespaceCase {
    const char* Name;
    const char* Document;  // 40 × 40
    std::vector<TProbe> Probes;
};

class Namespaces : public ::testing::TestWithParam<TNamespaceCase> {};

TEST_P(Namespaces, OnlySvgElementsDraw)
{
    ExpectProbes(Render(GetParam().Document, 40, 40), GetParam().Probes);
}

#define SVG_NS "http://www.w3.org/2000/svg"

const TNamespaceCase NamespaceCases[] = {
    {"prefixed_svg_elements_draw",
     R"svg(<s:svg xmlns:s=")svg" SVG_NS
     R"svg(" width="40" height="40"><s:rect width="20" height="40" fill="red"/></s:svg>)svg",
     {{10, 20, Red}, {30, 20, Transparent}}},
    {"element_of_another_namespace_is_not_drawn",
     R"svg(<svg xmlns=")svg" SVG_NS
     R"svg(" width="40" height="40"><foo:rect xmlns:foo="urn:x" width="40" height="40" fill="red"/>)svg"
     R"svg(<rect width="20" height="40" fill="blue"/></svg>)svg",
     {{10, 20, Blue}, {30, 20, Transparent}}},
    {"default_namespace_changed_below_a_prefixed_group",
     R"svg(<svg xmlns=")svg" SVG_NS R"svg(" width="40" height="40"><s:g xmlns="urn:other" xmlns:s=")svg" SVG_NS
     R"svg(">)svg"
     R"svg(<s:rect width="20" height="40" fill="blue"/><rect x="20" width="20" height="40" fill="red"/></s:g></svg>)svg",
     {{10, 20, Blue}, {30, 20, Transparent}}},
    {"svg_inside_a_foreign_element_is_not_drawn",
     R"svg(<svg xmlns=")svg" SVG_NS
     R"svg(" width="40" height="40"><x:g xmlns:x="urn:x"><rect width="40" height="40" fill="red"/></x:g></svg>)svg",
     {{20, 20, Transparent}}},
    {"unknown_svg_element_hides_its_content_but_lends_it_to_use",
     R"svg(<svg xmlns=")svg" SVG_NS
     R"svg(" width="40" height="40"><random><rect id="r" width="20" height="40" fill="blue"/>)svg"
     R"svg(<rect x="20" width="20" height="40" fill="red"/></random><use href="#r"/></svg>)svg",
     {{10, 20, Blue}, {30, 20, Transparent}}},
    {"switch_passes_over_an_unknown_element",
     R"svg(<svg xmlns=")svg" SVG_NS
     R"svg(" width="40" height="40"><switch><random/><rect width="20" height="40" fill="blue"/>)svg"
     R"svg(<rect x="20" width="20" height="40" fill="red"/></switch></svg>)svg",
     {{10, 20, Blue}, {30, 20, Transparent}}},
};

#undef SVG_NS

INSTANTIATE_TEST_SUITE_P(Rows, Namespaces, ::testing::ValuesIn(NamespaceCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

// An svg root of another namespace is no SVG document: an error, not an empty picture.
TEST(Namespaces, SvgRootOfAnotherNamespaceIsAnError)
{
    TSVG Svg;
    EXPECT_THROW(
        Svg.LoadFromText(R"svg(<svg xmlns="urn:not-svg" width="4" height="4"><rect width="4" height="4"/></svg>)svg"),
        ESVGError);
    EXPECT_NO_THROW(Svg.LoadFromText(R"svg(<svg width="4" height="4"><rect width="4" height="4"/></svg>)svg"));
    EXPECT_EQ(Svg.GetCount(), 1);
}

TEST(Use, CopyIsAGroupTranslatedByXAndY)
{
    TSVG Svg;
    Svg.LoadFromText(
        R"svg(<svg><defs><circle id="c" r="2"/></defs><use id="u" xlink:href="#c" x="10" y="20"/></svg>)svg");
    auto* U = dynamic_cast<TSVGUse*>(Svg.FindByID("u"));
    ASSERT_NE(U, nullptr);
    EXPECT_EQ(U->GetReference(), "#c");
    ASSERT_EQ(U->GetCount(), 1);
    auto* G = dynamic_cast<TSVGContainer*>(U->GetItem(0));
    ASSERT_NE(G, nullptr);
    EXPECT_EQ(G->GetObjectName(), "g");
    const TMatrix& M = G->GetPureMatrix();
    EXPECT_EQ(M.m31, 10);
    EXPECT_EQ(M.m32, 20);
    EXPECT_EQ(M.m11, 1);
    ASSERT_EQ(G->GetCount(), 1);
    // The copy keeps the id and is a separate object with its own outline.
    auto* Copy = dynamic_cast<TSVGBasic*>(G->GetItem(0));
    auto* Original = dynamic_cast<TSVGBasic*>(Svg.FindByID("c"));
    ASSERT_NE(Copy, nullptr);
    EXPECT_EQ(Copy->GetID(), "c");
    EXPECT_NE(Copy, Original);
    ASSERT_NE(Copy->GetPath(), nullptr);
    EXPECT_NE(Copy->GetPath(), Original->GetPath());
}

TEST(Use, ResolvingAgainRebuildsTheCopy)
{
    TSVG Svg;
    Svg.LoadFromText(R"svg(<svg><defs><circle id="c" r="2"/></defs><use id="u" xlink:href="#c"/></svg>)svg");
    auto* U = dynamic_cast<TSVGUse*>(Svg.FindByID("u"));
    U->ResolveReference();
    U->ResolveReference();
    ASSERT_EQ(U->GetCount(), 1);
    EXPECT_EQ(U->GetItem(0)->GetCount(), 1);
}

TEST(Use, ContributesItsReferenceToAPath)
{
    TSVG Svg;
    Svg.LoadFromText(R"svg(<svg><defs><rect id="r" width="4" height="4"/></defs><use id="u" xlink:href="#r"/>)svg"
                     R"svg(<use id="loop" xlink:href="#loop"/></svg>)svg");
    TGPGraphicsPath Path;
    Svg.FindByID("u")->PaintToPath(Path);
    EXPECT_EQ(Path.GetPointCount(), 4);
    TGPGraphicsPath Empty;
    Svg.FindByID("loop")->PaintToPath(Empty);
    EXPECT_EQ(Empty.GetPointCount(), 0);
}

// --- References that lead back to themselves: the cycle is cut, everything else is painted.

struct TCycleCase {
    const char* Name;
    const char* Content;  // inside a 40 × 40 document; a red square at (30, 30) must appear
};

class UseCycles : public ::testing::TestWithParam<TCycleCase> {};

TEST_P(UseCycles, AreCutAndTheRestIsPainted)
{
    const TCycleCase& C = GetParam();
    auto R = Render(
        Document(40, 40, std::string(C.Content) + R"svg(<rect x="30" y="30" width="10" height="10" fill="red"/>)svg"),
        40, 40);
    EXPECT_EQ(R.At(35, 35), Red);
}

const TCycleCase CycleCases[] = {
    {"itself", R"svg(<use id="u" xlink:href="#u"/>)svg"},
    {"itself_in_defs", R"svg(<defs><use id="u" xlink:href="#u"/></defs><use xlink:href="#u"/>)svg"},
    {"parent", R"svg(<g id="a"><rect width="5" height="5"/><use xlink:href="#a" x="10"/></g>)svg"},
    {"grandparent", R"svg(<g id="a"><g><g><use xlink:href="#a" x="1"/></g></g></g>)svg"},
    {"the_root", R"svg(<use xlink:href="#"/>)svg"},
    {"two_uses", R"svg(<use id="u1" xlink:href="#u2"/><use id="u2" xlink:href="#u1"/>)svg"},
    {"three_uses",
     R"svg(<use id="u1" xlink:href="#u2"/><use id="u2" xlink:href="#u3"/><use id="u3" xlink:href="#u1"/>)svg"},
    {"two_groups", R"svg(<g id="a"><rect width="2" height="2"/><use xlink:href="#b" x="3"/></g>)svg"
                   R"svg(<g id="b"><rect width="2" height="2"/><use xlink:href="#a" y="3"/></g>)svg"},
    {"group_and_use_in_defs",
     R"svg(<defs><g id="a"><use id="u" xlink:href="#b"/></g><g id="b"><use xlink:href="#a"/></g></defs>)svg"
     R"svg(<use xlink:href="#a"/><use xlink:href="#u"/>)svg"},
    {"clip_path_through_a_cycle",
     R"svg(<clipPath id="c"><use id="u" xlink:href="#c"/></clipPath><rect width="5" height="5" clip-path="url(#c)"/>)svg"},
    {"gradient_on_itself",
     R"svg(<linearGradient id="g" xlink:href="#g"/><rect width="5" height="5" fill="url(#g)"/>)svg"},
};

INSTANTIATE_TEST_SUITE_P(Rows, UseCycles, ::testing::ValuesIn(CycleCases), CaseName{});

TEST(UseCycles, APartOfTheCycleStillPaintsOnce)
{
    // a holds a square and a use of a: the square is painted, the use (which would copy a into
    // itself) paints nothing.
    auto R = Render(R"svg(<svg width="40" height="40"><g id="a"><rect width="5" height="5" fill="red"/>)svg"
                    R"svg(<use xlink:href="#a" x="10"/></g></svg>)svg",
                    40, 40);
    EXPECT_EQ(R.At(2, 2), Red);
    EXPECT_EQ(R.At(12, 2), Transparent);
}

TEST(UseCycles, CopiesThatMultiplyStopWithAnError)
{
    // Each level uses the one below twice: 2^40 copies of the square.
    std::string Text = R"svg(<svg><defs><rect id="l0" width="1" height="1"/>)svg";
    for (int I = 1; I <= 40; ++I)
        Text += "<g id=\"l" + std::to_string(I) + "\"><use xlink:href=\"#l" + std::to_string(I - 1) +
                "\"/><use xlink:href=\"#l" + std::to_string(I - 1) + "\"/></g>";
    Text += R"svg(</defs><use xlink:href="#l40"/></svg>)svg";
    TSVG Svg;
    EXPECT_THROW(Svg.LoadFromText(Text), ESVGError);
}

TEST(UseCycles, LongChainsOfSiblingUsesStopWithAnError)
{
    // g1 uses g2, g2 uses g3 and so on: the copy under g1 nests every later group inside it,
    // deeper than a document may be read.
    std::string Text = "<svg>";
    constexpr int Groups = 5000;
    for (int I = 1; I <= Groups; ++I)
        Text += "<g id=\"g" + std::to_string(I) + "\"><rect width=\"1\" height=\"1\"/><use xlink:href=\"#g" +
                std::to_string(I + 1) + "\"/></g>";
    Text += "</svg>";
    TSVG Svg;
    try {
        Svg.LoadFromText(Text);
        ADD_FAILURE() << "loaded";
    } catch (const ESVGError& E) {
        EXPECT_NE(std::string(E.what()).find("deeper"), std::string::npos) << E.what();
    }
}

TEST(UseCycles, ShortChainsOfSiblingUsesRender)
{
    std::string Text = R"svg(<svg width="10" height="10">)svg";
    for (int I = 1; I <= 50; ++I)
        Text +=
            "<g id=\"g" + std::to_string(I) + "\"><use xlink:href=\"#g" + std::to_string(I + 1) + "\" x=\"0.1\"/></g>";
    Text += R"svg(<g id="g51"><rect width="1" height="1" fill="red"/></g></svg>)svg";
    auto R = Render(Text, 10, 10);
    // The copy under g1 is moved 50 times by 0.1.
    EXPECT_EQ(R.At(5, 0), Red);
    EXPECT_EQ(R.At(6, 0), Transparent);
}

// --- Deep nesting.

TEST(DeepNesting, TenThousandGroupsFailWithAClearError)
{
    std::string Text = "<svg>";
    for (int I = 0; I < 10000; ++I) Text += "<g>";
    Text += R"svg(<rect width="1" height="1"/>)svg";
    for (int I = 0; I < 10000; ++I) Text += "</g>";
    Text += "</svg>";
    TSVG Svg;
    try {
        Svg.LoadFromText(Text);
        ADD_FAILURE() << "loaded";
    } catch (const EXmlError& E) {
        EXPECT_NE(std::string(E.what()).find("nested too deeply"), std::string::npos) << E.what();
    } catch (const ESVGError& E) {
        EXPECT_NE(std::string(E.what()).find("nested"), std::string::npos) << E.what();
    }
}

TEST(DeepNesting, TwoHundredGroupsRender)
{
    std::string Text = R"svg(<svg width="10" height="10">)svg";
    for (int I = 0; I < 200; ++I) Text += R"svg(<g transform="translate(0.01,0)">)svg";
    Text += R"svg(<rect width="5" height="5" fill="red"/>)svg";
    for (int I = 0; I < 200; ++I) Text += "</g>";
    Text += "</svg>";
    auto R = Render(Text, 10, 10);
    EXPECT_EQ(R.At(3, 2), Red);
    EXPECT_EQ(R.At(1, 2), Transparent);
}

// --- Clip paths are shared and owned by their element.

TEST(ClipPaths, AreSharedByEveryElementThatNamesThem)
{
    auto R = Render(R"svg(<svg width="40" height="40"><clipPath id="c"><rect width="10" height="40"/></clipPath>)svg"
                    R"svg(<rect id="a" width="40" height="10" fill="red" clip-path="url(#c)"/>)svg"
                    R"svg(<rect id="b" y="20" width="40" height="10" fill="blue" clip-path="url(#c)"/></svg>)svg",
                    40, 40);
    auto* Clip = R.Find<TSVGClipPath>("c");
    ASSERT_NE(Clip, nullptr);
    TGPGraphicsPath* Shared = Clip->GetClipPath();
    ASSERT_NE(Shared, nullptr);
    EXPECT_EQ(Clip->GetClipPath(), Shared);  // built once
    EXPECT_EQ(R.At(5, 5), Red);
    EXPECT_EQ(R.At(15, 5), Transparent);
    EXPECT_EQ(R.At(5, 25), Blue);
    EXPECT_EQ(R.At(15, 25), Transparent);

    // Clearing the clip element frees its outline; both elements then paint unclipped, and
    // nothing reads the freed outline.
    Clip->Clear();
    TGPBitmap Bitmap(40, 40);
    {
        TGPGraphics Graphics(&Bitmap);
        R.Svg->PaintTo(Graphics, TGPRectF{0, 0, 40, 40});
    }
    ARGB Pixel = 0;
    Bitmap.GetPixel(15, 5, Pixel);
    EXPECT_EQ(Pixel, Red);
    Bitmap.GetPixel(15, 25, Pixel);
    EXPECT_EQ(Pixel, Blue);
}

TEST(ClipPaths, CopiesOfTheClipElementBuildTheirOwn)
{
    TSVG Svg;
    Svg.LoadFromText(R"svg(<svg><clipPath id="c"><rect width="10" height="10"/></clipPath></svg>)svg");
    auto* Clip = dynamic_cast<TSVGClipPath*>(Svg.FindByID("c"));
    std::unique_ptr<TSVGObject> Copy(Clip->Clone(nullptr));
    auto* CopyClip = dynamic_cast<TSVGClipPath*>(Copy.get());
    ASSERT_NE(CopyClip, nullptr);
    EXPECT_EQ(CopyClip->GetDisplayCode(), 0);
    ASSERT_NE(CopyClip->GetClipPath(), nullptr);
    EXPECT_NE(CopyClip->GetClipPath(), Clip->GetClipPath());
    EXPECT_EQ(CopyClip->GetClipPath()->GetPointCount(), 4);
}

}  // namespace
}  // namespace plumwick
