// The object tree: ownership, lookups, copies, matrices, and trees far deeper than any stack.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <cmath>
#include <string>

#include "TestElements.h"
#include "svg/base/SVGCommon.h"
#include "svg/base/SVGError.h"
#include "svg/core/SVGFactory.h"

namespace plumwick::testing {
namespace {

TEST(Tree, AddDeleteRemoveAndItemsKeepOwnershipSingle)
{
    TTestGroup Parent, Other;
    TTestBox* A = TSVGObject::CreateIn<TTestBox>(&Parent);
    TTestBox* B = TSVGObject::CreateIn<TTestBox>(&Parent);
    TSVGObject::CreateIn<TTestBox>(&Parent);
    EXPECT_EQ(Parent.GetCount(), 3);
    EXPECT_EQ(A->GetParent(), &Parent);

    // Writing outside the list changes nothing and hands the object back.
    auto Spare = std::make_unique<TTestBox>();
    TTestBox* SpareRaw = Spare.get();
    auto Back = Parent.SetItem(5, std::move(Spare));
    EXPECT_EQ(Back.get(), SpareRaw);
    EXPECT_EQ(Parent.GetCount(), 3);
    EXPECT_EQ(Parent.GetItem(5), nullptr);
    EXPECT_EQ(Parent.GetItem(-1), nullptr);

    // Adding a child of another parent moves it: it is never owned twice.
    Other.Add(std::unique_ptr<TSVGObject>(Parent.Delete(1).release()));
    EXPECT_EQ(Parent.GetCount(), 2);
    EXPECT_EQ(B->GetParent(), &Other);
    auto Again = std::make_unique<TTestBox>();
    TTestBox* AgainRaw = Again.get();
    Parent.Add(std::move(Again));
    Other.Add(std::unique_ptr<TSVGObject>(AgainRaw));  // as a careless caller would
    EXPECT_EQ(Parent.IndexOf(AgainRaw), -1);
    EXPECT_EQ(Other.IndexOf(AgainRaw), 1);

    EXPECT_EQ(Parent.Remove(B), -1);
    EXPECT_EQ(Parent.Delete(7), nullptr);
    EXPECT_EQ(Parent.Remove(A), 0);
    EXPECT_EQ(A->GetParent(), nullptr);
    delete A;  // the caller owns a removed child
    EXPECT_EQ(Parent.GetCount(), 1);

    // A child freed directly leaves its parent's list.
    delete Parent.GetItem(0);
    EXPECT_EQ(Parent.GetCount(), 0);
}

TEST(Tree, ReadsIdClassesDisplayVisibilityAndStyle)
{
    auto Svg = LoadTestDocument(
        R"svg(<svg><box id="b" class="  a  b " display="inherit" visibility="collapse" fill="red" style="fill: blue; stroke:green"/></svg>)svg");
    auto* Box = Find(*Svg, "b");
    ASSERT_NE(Box, nullptr);
    EXPECT_EQ(Box->GetClasses(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Box->GetDisplayCode(), -1);
    EXPECT_EQ(Box->GetDisplay(), 1);  // inherits the document's
    EXPECT_EQ(Box->GetVisible(), 0);
    EXPECT_EQ(Box->GetObjectName(), "box");
    EXPECT_EQ(Box->GetStyle().GetValues("fill"), "blue");  // inline beats the attribute
    EXPECT_EQ(Box->GetStyle().GetValues("id"), "b");       // every attribute is an entry
    EXPECT_EQ(Box->GetStyle().GetValues("stroke"), "green");
}

TEST(Tree, FindByIdAcceptsHashAndFindsInPreOrder)
{
    auto Svg = LoadTestDocument(R"svg(<svg id="root"><g id="a"><box id="x"/></g><box id="x"/></svg>)svg");
    EXPECT_EQ(Svg->FindByID("a"), Svg->FindByID("#a"));
    EXPECT_EQ(Svg->FindByID("x")->GetParent(), Svg->FindByID("a"));
    EXPECT_EQ(Svg->FindByID("nope"), nullptr);
    EXPECT_EQ(Svg->FindByID("#"), nullptr);  // every element here has an id
}

TEST(Tree, FindByTypeVisitsEveryExactMatchInDocumentOrder)
{
    auto Svg = LoadTestDocument(
        R"svg(<svg><box id="1"/><g id="g"><box id="2"/><g><box id="3"/></g></g><box id="4"/></svg>)svg");
    std::string Order;
    for (auto* B = Svg->FindByType<TTestBox>(); B; B = Svg->FindByType<TTestBox>(B)) Order += B->GetID();
    EXPECT_EQ(Order, "1234");
    // TSVGBasic itself matches nothing: no object is exactly of that class.
    EXPECT_EQ(Svg->FindByType<TSVGBasic>(), nullptr);
    // Objects after Previous include its own descendants.
    EXPECT_EQ(Svg->FindByType<TTestBox>(Svg->FindByID("g"))->GetID(), "2");
}

TEST(Tree, CloneCopiesTheSubtreeAndSharesNothing)
{
    auto Svg = LoadTestDocument(
        R"svg(<svg><g id="g" transform="translate(1,2)" fill="red"><box id="b" x="1" y="1" width="4" height="4" class="c"/></g></svg>)svg");
    TSVGObject* Group = Svg->FindByID("g");
    TTestGroup Holder;
    TSVGObject* Copy = Group->Clone(&Holder);
    ASSERT_NE(Copy, nullptr);
    EXPECT_EQ(Copy->GetParent(), &Holder);
    ASSERT_EQ(Copy->GetCount(), 1);
    auto* Box = dynamic_cast<TTestBox*>(Copy->GetItem(0));
    auto* Original = Find<TTestBox>(*Svg, "b");
    ASSERT_NE(Box, nullptr);
    EXPECT_EQ(Box->GetID(), "b");
    EXPECT_EQ(Box->GetClasses(), Original->GetClasses());
    EXPECT_EQ(dynamic_cast<TSVGMatrix*>(Copy)->GetPureMatrix(), dynamic_cast<TSVGMatrix*>(Group)->GetPureMatrix());
    ASSERT_NE(Box->GetPath(), nullptr);
    EXPECT_NE(Box->GetPath(), Original->GetPath());
    EXPECT_EQ(Box->GetPath()->GetPointCount(), Original->GetPath()->GetPointCount());
    EXPECT_NE(&Box->GetStyle(), &Original->GetStyle());
    Box->GetStyle().PutValues("fill", "blue");
    EXPECT_EQ(Original->GetStyle().GetValues("fill"), "");
    EXPECT_EQ(dynamic_cast<TSVGBasic*>(Copy)->GetFillColor(), 0x0000FF);
}

TEST(Tree, ComposedMatricesApplyTheElementFirstAndTheRootLast)
{
    auto Svg = LoadTestDocument(
        R"svg(<svg width="10" height="10" viewBox="0 0 10 10"><g id="g" transform="translate(10,0)"><box id="r" transform="scale(2)"/></g><box id="plain"/></svg>)svg");
    Svg->SetBounds(TGPRectF{5, 0, 30, 30});  // root matrix: scale 3, then move by (5, 0)
    auto* R = Find(*Svg, "r");
    const TPointF Device = plumwick::TransformPoint(TPointF{1, 0}, R->GetMatrix());
    EXPECT_FLOAT_EQ(Device.X, 12 * 3 + 5);
    EXPECT_FLOAT_EQ(Device.Y, 0);
    EXPECT_EQ(R->TransformPoint(1, 0), (TPointF{12, 0}));  // without the root's matrix

    auto* Plain = Find(*Svg, "plain");
    EXPECT_TRUE(Plain->GetCalculatedMatrix().IsEmpty());
    EXPECT_EQ(Plain->TransformPoint(3, 4), (TPointF{3, 4}));
    EXPECT_EQ(Plain->GetMatrix(), Svg->GetRootMatrix());

    // Writing the own transform recomposes that element at once.
    R->SetPureMatrix(CreateTranslation(0, 1));
    EXPECT_EQ(R->TransformPoint(0, 0), (TPointF{10, 1}));
}

// A chain of Depth objects built by hand, each the only child of the one before.
TSVG* BuildChain(TSVG& Doc, int Depth)
{
    TSVGObject* Node = &Doc;
    for (int I = 0; I < Depth; ++I) {
        auto* G = TSVGObject::CreateIn<TTestGroup>(Node);
        G->SetOwnTransform(CreateTranslation(1, 0));
        Node = G;
    }
    auto* Box = TSVGObject::CreateIn<TTestBox>(Node);
    Box->SetWidth(1);
    Box->SetHeight(1);
    Box->BuildPath();
    return &Doc;
}

TEST(Tree, DeepTreesAreWalkedCopiedAndFreedWithoutRecursion)
{
    constexpr int Depth = 100000;
    auto Doc = NewTestDocument();
    BuildChain(*Doc, Depth);
    Doc->SetBounds(TGPRectF{0, 0, 10, 10});  // CalculateMatrices over the chain
    auto* Deepest = Doc->FindByType<TTestBox>();
    ASSERT_NE(Deepest, nullptr);
    EXPECT_FLOAT_EQ(Deepest->TransformPoint(0, 0).X, Depth);
    EXPECT_EQ(Doc->FindByID("missing"), nullptr);
    {
        TTestGroup Holder;
        ASSERT_NE(Doc->GetItem(0)->Clone(&Holder), nullptr);
    }  // the copy is freed here
    TPicture Picture(4, 4);
    TGPGraphics Graphics(&Picture.Bitmap);
    PaintTree(*Doc, Graphics);
    Doc.reset();  // destruction of the chain
}

TEST(Tree, ReadingRefusesNestingBeyondTheLimit)
{
    // The XML parser has a lower depth limit of its own, so the tree is built node by node.
    for (int Depth : {SVGMaxDepth - 2, SVGMaxDepth + 5}) {
        TXmlDocument Xml;
        TXmlNode Node = Xml.AppendChild(Xml.CreateElement("svg"));
        for (int I = 0; I < Depth; ++I) Node = Node.AppendChild(Xml.CreateElement("g"));
        auto Doc = NewTestDocument();
        if (Depth < SVGMaxDepth) {
            EXPECT_NO_THROW(Doc->ReadIn(Xml.DocumentElement()));
        } else {
            try {
                Doc->ReadIn(Xml.DocumentElement());
                ADD_FAILURE() << "no error for depth " << Depth;
            } catch (const ESVGError& E) {
                EXPECT_NE(std::string(E.what()).find("nested deeper than"), std::string::npos) << E.what();
            }
        }
    }
}

TEST(Tree, TextNestedBeyondTheParserLimitFailsCleanly)
{
    std::string Text = "<svg>";
    for (int I = 0; I < 10000; ++I) Text += "<g>";
    for (int I = 0; I < 10000; ++I) Text += "</g>";
    Text += "</svg>";
    auto Doc = NewTestDocument();
    EXPECT_THROW(Doc->LoadFromText(Text), std::runtime_error);
}

TEST(Factory, TableIsSortedAndExact)
{
    auto Table = ElementTable();
    for (size_t I = 1; I < Table.size(); ++I) EXPECT_LT(Table[I - 1].Name, Table[I].Name);
    for (const TSVGElementEntry& Entry : Table) EXPECT_EQ(FindElementCreator(Entry.Name), Entry.Create);
    EXPECT_EQ(FindElementCreator("style"), nullptr);
    EXPECT_EQ(FindElementCreator(""), nullptr);
    if (FindElementCreator("path")) {
        EXPECT_EQ(FindElementCreator("Path"), nullptr);
    }
}

// An SVG element of no known kind is not drawn, but what it holds stays reachable by id (a use may name it);
// an element of another namespace is no SVG at all and is skipped with everything in it.
TEST(Factory, UnknownElementsHideTheirSubtree)
{
    auto Svg = LoadTestDocument(
        R"svg(<svg><!-- c --><foo><box id="inside"/></foo><svg:box xmlns:svg="urn:x" id="prefixed"/><svg><box id="nested"/></svg><box id="kept"/>text</svg>)svg");
    // A nested svg is a viewport of its own: it is kept, and so is what it holds.
    EXPECT_EQ(Svg->GetCount(), 3);
    EXPECT_NE(Svg->FindByID("kept"), nullptr);
    ASSERT_NE(Svg->FindByID("inside"), nullptr);
    EXPECT_EQ(Svg->GetItem(0)->GetDisplayCode(), 0);
    EXPECT_EQ(Svg->FindByID("prefixed"), nullptr);
    EXPECT_NE(Svg->FindByID("nested"), nullptr);
    // Registration belongs to one document: in a plain document "box" is of no known kind.
    TSVG Plain;
    Plain.LoadFromText(R"svg(<svg><box id="kept"/></svg>)svg");
    ASSERT_EQ(Plain.GetCount(), 1);
    EXPECT_EQ(Plain.GetItem(0)->GetDisplayCode(), 0);
}

}  // namespace
// The document keeps an index of ids for painting; every lookup must still give what a walk would, whatever
// changed since the last one. Each step looks twice: the second lookup reads from the index.
TEST(Tree, IdLookupsFollowEveryChange)
{
    auto Svg = LoadTestDocument(
        R"svg(<svg><g id="g"><box id="a"/><box id="#b"/></g><box id="b"/><box id="a"/><g id="h"/></svg>)svg");
    auto Other = LoadTestDocument(R"svg(<svg><box id="c"/><box id="d"/></svg>)svg");
    TSVGObject* G = Svg->GetItem(0);
    TSVGObject* H = Svg->GetItem(3);
    TSVGObject* FirstA = G->GetItem(0);
    TSVGObject* HashB = G->GetItem(1);
    TSVGObject* B = Svg->GetItem(1);
    TSVGObject* LastA = Svg->GetItem(2);
    TSVGObject* C = Other->GetItem(0);
    TSVGObject* D = Other->GetItem(1);
    TSVGObject* Deepest = H;
    struct TStep {
        const char* Name;
        std::function<void()> Change;
        const char* Looked;
        std::function<TSVGObject*()> Expected;
    };
    const TStep Steps[] = {
        {"first_in_pre_order", [] {}, "a", [&] { return FirstA; }},
        {"hash_form_finds_the_plain_id", [] {}, "#a", [&] { return FirstA; }},
        {"hash_id_before_plain_id", [] {}, "#b", [&] { return HashB; }},
        {"missing", [] {}, "c", [] { return nullptr; }},
        {"moved_in_is_found", [&] { H->Add(Other->Delete(0)); }, "c", [&] { return C; }},
        {"taking_out_finds_the_next", [&] { G->Remove(FirstA); }, "a", [&] { return LastA; }},
        {"put_back_at_the_end", [&] { Svg->Add(std::unique_ptr<TSVGObject>(FirstA)); }, "a", [&] { return LastA; }},
        {"cleared_id_is_gone", [&] { HashB->Clear(); }, "#b", [&] { return B; }},
        {"freed_object_is_gone", [&] { delete LastA; }, "a", [&] { return FirstA; }},
        {"deep_chain_built",
         [&] {
             for (int I = 0; I < 300; ++I) Deepest = TSVGObject::CreateIn<TTestGroup>(Deepest);
         },
         "d", [] { return nullptr; }},
        {"added_far_down_is_found", [&] { Deepest->Add(Other->Delete(0)); }, "d", [&] { return D; }},
        {"copy_far_down_found_after_the_original",
         [&] {
             B->Clone(Deepest);
             B->Clear();
         },
         "b", [&] { return Deepest->GetItem(1); }},
    };
    for (const TStep& Step : Steps) {
        Step.Change();
        for (int Round = 0; Round < 2; ++Round)
            EXPECT_EQ(Svg->FindByID(Step.Looked), Step.Expected()) << Step.Name << " round " << Round;
    }
}

}  // namespace plumwick::testing
