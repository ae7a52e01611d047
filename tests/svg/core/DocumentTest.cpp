// The document root: loading, view box and size mapping, the root matrix, files, copies.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "TestElements.h"
#include "svg/base/SVGCommon.h"
#include "svg/base/SVGError.h"

namespace plumwick::testing {
namespace {

struct TSizeCase {
    const char* Name;
    const char* Svg;
    TGPRectF Bounds;
    TRectF ViewBox;
    float LoadedWidth, LoadedHeight;  // after loading
    float Width, Height, DX, DY;      // after SetBounds
};

class ViewBoxAndSize : public ::testing::TestWithParam<TSizeCase> {};

TEST_P(ViewBoxAndSize, MapAsExpected)
{
    const TSizeCase& C = GetParam();
    auto Svg = LoadTestDocument(C.Svg);
    EXPECT_EQ(Svg->GetViewBox(), C.ViewBox);
    EXPECT_FLOAT_EQ(Svg->GetWidth(), C.LoadedWidth);
    EXPECT_FLOAT_EQ(Svg->GetHeight(), C.LoadedHeight);
    Svg->SetBounds(C.Bounds);
    EXPECT_FLOAT_EQ(Svg->GetWidth(), C.Width);
    EXPECT_FLOAT_EQ(Svg->GetHeight(), C.Height);
    EXPECT_FLOAT_EQ(Svg->GetDX(), C.DX);
    EXPECT_FLOAT_EQ(Svg->GetDY(), C.DY);
}

const TSizeCase SizeCases[] = {
    {"view_box_only_takes_first_output",
     R"svg(<svg viewBox="0 0 1024 1024"/>)svg",
     {0, 0, 1024, 1024},
     {0, 0, 1024, 1024},
     0,
     0,
     1024,
     1024,
     1,
     1},
    {"size_maps_not_view_box",
     R"svg(<svg width="200" height="100" viewBox="0 0 400 200"/>)svg",
     {0, 0, 400, 200},
     {0, 0, 400, 200},
     200,
     100,
     200,
     100,
     2,
     2},
    {"commas_give_no_view_box",
     R"svg(<svg width="24" height="24" viewBox="0,0,24,24"/>)svg",
     {0, 0, 48, 48},
     {0, 0, 0, 0},
     24,
     24,
     24,
     24,
     2,
     2},
    {"size_gives_view_box",
     R"svg(<svg width="24px" height="12"/>)svg",
     {0, 0, 24, 24},
     {0, 0, 24, 12},
     24,
     12,
     24,
     12,
     1,
     2},
    {"percent_of_content",
     R"svg(<svg width="50%" height="100%"><box width="40" height="10"/></svg>)svg",
     {0, 0, 80, 10},
     {0, 0, 50, 100},
     80,
     10,
     80,
     10,
     1,
     1},
    {"percent_with_view_box_is_no_size",
     R"svg(<svg width="100%" height="50%" viewBox="0 0 24 24"><box width="20" height="10"/></svg>)svg",
     {0, 0, 24, 24},
     {0, 0, 24, 24},
     0,
     0,
     24,
     24,
     1,
     1},
    {"zero_percent_is_no_size",
     R"svg(<svg width="0%"><box width="40" height="10"/></svg>)svg",
     {0, 0, 30, 30},
     {0, 0, 0, 0},
     0,
     0,
     30,
     30,
     1,
     1},
};

INSTANTIATE_TEST_SUITE_P(Rows, ViewBoxAndSize, ::testing::ValuesIn(SizeCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

struct TRootMatrixCase {
    const char* Name;
    const char* Svg;
    TGPRectF Bounds;
    float Angle;
    TPointF From, To;
};

class RootMatrix : public ::testing::TestWithParam<TRootMatrixCase> {};

TEST_P(RootMatrix, MapsUserSpaceIntoTheOutput)
{
    const TRootMatrixCase& C = GetParam();
    auto Svg = LoadTestDocument(C.Svg);
    if (C.Angle != 0) Svg->SetAngle(C.Angle);
    Svg->SetBounds(C.Bounds);
    const TPointF P = plumwick::TransformPoint(C.From, Svg->GetRootMatrix());
    EXPECT_NEAR(P.X, C.To.X, 1e-4);
    EXPECT_NEAR(P.Y, C.To.Y, 1e-4);
}

const TRootMatrixCase RootMatrixCases[] = {
    {"view_box_origin",
     R"svg(<svg width="10" height="10" viewBox="10 20 10 10"/>)svg",
     {5, 5, 10, 10},
     0,
     {10, 20},
     {5, 5}},
    // The far corner of the view box lands on the far corner of the output, whatever the scale.
    {"view_box_corner_to_output_corner",
     R"svg(<svg width="10" height="10" viewBox="10 20 10 10"/>)svg",
     {5, 5, 20, 20},
     0,
     {20, 30},
     {25, 25}},
    {"view_box_larger_than_size",
     R"svg(<svg width="200" height="200" viewBox="0 0 1024 1024"/>)svg",
     {0, 0, 1024, 1024},
     0,
     {512, 1024},
     {512, 1024}},
    {"view_box_smaller_than_size",
     R"svg(<svg width="96" height="96" viewBox="0 0 24 24"/>)svg",
     {0, 0, 96, 96},
     0,
     {12, 24},
     {48, 96}},
    {"view_box_without_size", R"svg(<svg viewBox="0 0 24 24"/>)svg", {0, 0, 48, 48}, 0, {24, 12}, {48, 24}},
    {"view_box_aspect_centred",
     R"svg(<svg width="200" height="100" viewBox="0 0 100 100"/>)svg",
     {0, 0, 200, 100},
     0,
     {100, 100},
     {150, 100}},
    // The export paints into (0, 0, Right, Bottom): a view box off the origin is fitted into that.
    {"view_box_off_origin_fitted", R"svg(<svg viewBox="-2 -2 28 28"/>)svg", {0, 0, 26, 26}, 0, {-2, -2}, {0, 0}},
    {"view_box_off_origin_far_corner", R"svg(<svg viewBox="-2 -2 28 28"/>)svg", {0, 0, 26, 26}, 0, {26, 26}, {26, 26}},
    {"zero_size_view_box_only_moves",
     R"svg(<svg width="10" height="10" viewBox="3 4 0 0"/>)svg",
     {0, 0, 20, 20},
     0,
     {3, 4},
     {3, 4}},
    {"own_transform_first",
     R"svg(<svg width="10" height="10" transform="translate(1,0)"/>)svg",
     {0, 0, 20, 20},
     0,
     {0, 0},
     {2, 0}},
    {"angle_about_the_centre",
     R"svg(<svg width="10" height="10"/>)svg",
     {0, 0, 10, 10},
     float(M_PI / 2),
     {10, 5},
     {5, 10}},
    {"huge_view_box_maps_onto_the_output",
     R"svg(<svg width="10" height="10" viewBox="0 0 1e30 1e30"/>)svg",
     {0, 0, 10, 10},
     0,
     {1e30f, 0},
     {10, 0}},
};

INSTANTIATE_TEST_SUITE_P(Rows, RootMatrix, ::testing::ValuesIn(RootMatrixCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(Document, RescalesAtEveryPaintAndKeepsScaleForMinusOne)
{
    auto Svg = LoadTestDocument(R"svg(<svg width="10" height="10"/>)svg");
    Paint(*Svg, 20, 20);
    EXPECT_FLOAT_EQ(Svg->GetDX(), 2);
    Paint(*Svg, 40, 30);
    EXPECT_FLOAT_EQ(Svg->GetDX(), 4);
    EXPECT_FLOAT_EQ(Svg->GetDY(), 3);
    Svg->Scale(5);
    EXPECT_FLOAT_EQ(Svg->GetDY(), 5);
    Svg->SetBounds(TGPRectF{0, 0, -1, -1});
    EXPECT_FLOAT_EQ(Svg->GetDX(), 5);
    EXPECT_FLOAT_EQ(Svg->GetDY(), 5);
}

TEST(Document, LoadingKeepsOrDropsTheSource)
{
    auto Svg = NewTestDocument();
    const std::string Html = "<html><box/></html>";
    Svg->LoadFromText(Html);
    EXPECT_EQ(Svg->GetSource(), "");
    EXPECT_EQ(Svg->GetCount(), 0);

    const std::string Broken = "<svg><box></svg>";
    EXPECT_THROW(Svg->LoadFromText(Broken), EXmlError);
    EXPECT_EQ(Svg->GetSource(), Broken);
    EXPECT_EQ(Svg->GetCount(), 0);

    const std::string Good = R"svg(<svg><box/></svg>)svg";
    Svg->LoadFromText(Good);
    EXPECT_EQ(Svg->GetSource(), Good);
    EXPECT_EQ(Svg->GetCount(), 1);
}

TEST(Document, ClearEmptiesTheDocumentButKeepsItsSettings)
{
    auto Svg = LoadTestDocument(
        R"svg(<svg width="5" height="5" viewBox="0 0 5 5" fill="red"><style>.a{fill:red}</style><box/></svg>)svg");
    Svg->SetFixedColor(0x123456);
    Svg->Clear();
    EXPECT_EQ(Svg->GetCount(), 0);
    EXPECT_EQ(Svg->GetStyles().Count(), 0);
    EXPECT_EQ(Svg->GetViewBox(), TRectF{});
    EXPECT_EQ(Svg->GetWidth(), 0);
    EXPECT_EQ(Svg->GetFillColor(), SVG_NONE_COLOR);
    EXPECT_EQ(Svg->GetStrokeWidth(), 1);
    EXPECT_EQ(Svg->GetFixedColor(), 0x123456);
    // Elements registered with the document survive clearing.
    Svg->LoadFromText(R"svg(<svg><box/></svg>)svg");
    EXPECT_EQ(Svg->GetCount(), 1);
}

TEST(Document, StyleSheetValues)
{
    auto Svg = LoadTestDocument(R"svg(<svg><style type="text/css">.a { fill: red; stroke : blue }
      #b{fill:green}</style><style type="text/xsl">.c{fill:red}</style></svg>)svg");
    EXPECT_EQ(Svg->GetStyleValue(".a", "stroke"), "blue");
    EXPECT_EQ(Svg->GetStyleValue("#b", "fill"), "green");
    EXPECT_EQ(Svg->GetStyleValue(".a", "width"), "");
    EXPECT_EQ(Svg->GetStyleValue(".c", "fill"), "");  // another style language is not read
    EXPECT_EQ(Svg->GetStyles().Count(), 2);
}

TEST(Document, FilesRoundTripWithCrLfLines)
{
    const std::filesystem::path Path = std::filesystem::temp_directory_path() / "plumwick_core_roundtrip.svg";
    {
        std::ofstream Out(Path, std::ios::binary);
        Out << "\xEF\xBB\xBF<svg width=\"3\">\n<box/>\n</svg>";
    }
    auto Svg = NewTestDocument();
    Svg->LoadFromFile(Path.string());
    EXPECT_EQ(Svg->GetSource(), "<svg width=\"3\">\r\n<box/>\r\n</svg>\r\n");
    EXPECT_EQ(Svg->GetFileName(), Path.string());
    EXPECT_EQ(Svg->GetCount(), 1);
    std::ostringstream Saved;
    Svg->SaveToStream(Saved);
    EXPECT_EQ(Saved.str(), Svg->GetSource());
    std::filesystem::remove(Path);

    // A file that cannot be opened leaves the document as it was.
    EXPECT_THROW(Svg->LoadFromFile((Path.parent_path() / "plumwick_no_such_file.svg").string()), ESVGError);
    EXPECT_EQ(Svg->GetFileName(), Path.string());
    EXPECT_EQ(Svg->GetCount(), 1);

    Svg->LoadFromText("<html/>");
    std::ostringstream Empty;
    Svg->SaveToStream(Empty);
    EXPECT_EQ(Empty.str(), "");
    EXPECT_EQ(Svg->GetFileName(), "");
}

TEST(Document, RenderToBitmapFitsAndCentres)
{
    auto Svg = LoadTestDocument(R"svg(<svg width="10" height="10"><box width="10" height="10" fill="red"/></svg>)svg");
    EXPECT_EQ(Svg->RenderToBitmap(0, 10), nullptr);
    EXPECT_EQ(Svg->RenderToIcon(0), nullptr);
    auto Bitmap = Svg->RenderToBitmap(20, 10);
    ASSERT_NE(Bitmap, nullptr);
    ARGB Left = 0, Middle = 0;
    Bitmap->GetPixel(2, 5, Left);
    Bitmap->GetPixel(10, 5, Middle);
    EXPECT_EQ(GetAlpha(Left), 0);
    EXPECT_EQ(Middle, 0xFFFF0000u);
}

TEST(Document, CloneOfADocumentCopiesItsSheetAndViewBox)
{
    auto Svg = LoadTestDocument(R"svg(<svg viewBox="1 2 3 4"><style>.a{fill:red}</style><box id="b"/></svg>)svg");
    std::unique_ptr<TSVGObject> Copy(Svg->Clone(nullptr));
    auto* Doc = dynamic_cast<TSVG*>(Copy.get());
    ASSERT_NE(Doc, nullptr);
    EXPECT_EQ(Doc->GetViewBox(), Svg->GetViewBox());
    EXPECT_EQ(Doc->GetSource(), Svg->GetSource());
    EXPECT_EQ(Doc->GetStyleValue(".a", "fill"), "red");
    EXPECT_NE(&Doc->GetStyles(), &Svg->GetStyles());
    EXPECT_NE(Doc->FindByID("b"), nullptr);
}

// Resolves by adding ever more copies of itself, as a self-referencing use chain would.
class TTestFanOut : public TSVGBasic {
public:
    TSVGObject* NewLike(TSVGObject* Parent) const override { return CreateIn<TTestFanOut>(Parent); }
    void ResolveReference() override
    {
        for (int I = 0; I < 4; ++I) CreateIn<TTestFanOut>(this);
    }
};

TEST(Document, ResolvingReferencesIsBounded)
{
    auto Svg = NewTestDocument();
    Svg->RegisterElement("fan", &CreateElement<TTestFanOut>);
    try {
        Svg->LoadFromText(R"svg(<svg><fan/></svg>)svg");
        FAIL() << "no error";
    } catch (const ESVGError& E) {
        EXPECT_NE(std::string(E.what()).find("use references"), std::string::npos) << E.what();
    }
    Svg.reset();  // a wide tree is freed like a deep one
}

TEST(Document, DocumentsLoadAndPaintOnSeveralThreadsAtOnce)
{
    const char* Text = R"svg(<svg width="10" height="10"><style>.r{fill:red}</style>
        <g opacity="0.5"><box class="r" width="5" height="10"/></g><box x="5" width="5" height="10" fill="blue"/></svg>)svg";
    auto Expected = Paint(*LoadTestDocument(Text), 10, 10);
    std::vector<std::thread> Threads;
    std::vector<int> Mismatches(4, 0);
    for (int T = 0; T < 4; ++T)
        Threads.emplace_back([&, T] {
            for (int Round = 0; Round < 20; ++Round) {
                auto Picture = Paint(*LoadTestDocument(Text), 10, 10);
                for (int X = 0; X < 10; ++X) Mismatches[T] += Picture->At(X, 5) != Expected->At(X, 5);
            }
        });
    for (auto& Th : Threads) Th.join();
    EXPECT_EQ(Mismatches, std::vector<int>(4, 0));
}

}  // namespace
}  // namespace plumwick::testing

namespace plumwick::testing {
namespace {

TEST(Document, SaveToNodeCopiesTheElementsIntoAPlacedGroup)
{
    auto Svg = LoadTestDocument(R"svg(<svg width="10" height="20"><box id="a"/><g><box id="b"/></g></svg>)svg");
    TXmlDocument Target;
    Target.LoadFromText("<svg/>");
    TXmlNode Group = Svg->SaveToNode(Target.DocumentElement(), 1.5f, 0, 20, 20);
    ASSERT_TRUE(Group);
    EXPECT_EQ(Group.NodeName(), "g");
    EXPECT_EQ(Group.GetAttribute("transform"), "translate(1.5, 0) scale(2, 1)");
    EXPECT_EQ(Group.ChildNodes().Count(), 2);
    EXPECT_EQ(Target.DocumentElement().ChildNodes().Count(), 1);
    EXPECT_FALSE(Svg->SaveToNode(Target.DocumentElement(), 0, 0, 10, 20).GetAttribute("transform").size());

    TSVG Empty;
    EXPECT_FALSE(Empty.SaveToNode(Target.DocumentElement(), 0, 0, 1, 1));
}

}  // namespace
}  // namespace plumwick::testing
