#include "svg/core/SVGObject.h"

#include <string>
#include <utility>

#include "platform/GdiPlusBrush.h"
#include "svg/base/CSSTransform.h"
#include "svg/base/SVGCommon.h"
#include "svg/base/SVGParse.h"
#include "svg/core/SVGBasic.h"
#include "svg/core/SVGDocument.h"
#include "svg/core/SVGFactory.h"
#include "svg/style/CSSParser.h"
#include "svg/style/Cascade.h"

namespace plumwick {

namespace {

// Product of the transform contributions of N and its ancestors, N's own applied first: All with
// the document's root matrix, NoRoot without it. All zero when nothing contributes.
struct TMatrixChain {
    TMatrix All;
    TMatrix NoRoot;

    // The chain of a node whose parent's chain is this one.
    TMatrixChain Extend(const TSVGObject& Node) const
    {
        TMatrixChain Result = *this;
        const auto* M = dynamic_cast<const TSVGMatrix*>(&Node);
        if (!M) return Result;
        const auto* Doc = dynamic_cast<const TSVG*>(&Node);
        const TMatrix& Own = Doc ? Doc->GetRootMatrix() : M->GetPureMatrix();
        if (!Own.IsTransform()) return Result;
        Result.All = All.IsTransform() ? Own * All : Own;
        if (!Doc) Result.NoRoot = NoRoot.IsTransform() ? Own * NoRoot : Own;
        return Result;
    }

    static TMatrixChain Of(const TSVGObject* Node)
    {
        std::vector<const TSVGObject*> Line;
        for (; Node; Node = Node->GetParent()) Line.push_back(Node);
        TMatrixChain Chain;
        for (auto It = Line.rbegin(); It != Line.rend(); ++It) Chain = Chain.Extend(**It);
        return Chain;
    }
};

}  // namespace

// --- TSVGObject

TSVGObject::TSVGObject() : FStyle(std::make_unique<TStyle>()) {}

TSVGObject::~TSVGObject()
{
    FreeChildren();
    if (FParent) FParent->Remove(this);
}

void TSVGObject::TreeChanged()
{
    // Icons nest a few levels deep; a deeper chain is not walked to its end (that would cost its depth for
    // every object added, quadratic for a tree built deep) but counts as a change of every document.
    constexpr int MaxSteps = 128;
    int Steps = 0;
    for (const TSVGObject* Node = this; Node; Node = Node->FParent) {
        if (Node->FIsDocument) {
            static_cast<TSVG*>(const_cast<TSVGObject*>(Node))->NoteTreeChange();
            return;
        }
        if (++Steps > MaxSteps) {
            TSVG::NoteDeepTreeChange();
            return;
        }
    }
}

void TSVGObject::FreeChildren()
{
    if (!FItems.empty()) TreeChanged();
    // Each object is emptied of its children before it is destroyed, so a deep tree never
    // recurses through the destructors.
    std::vector<std::unique_ptr<TSVGObject>> Pending = std::move(FItems);
    FItems.clear();
    while (!Pending.empty()) {
        std::unique_ptr<TSVGObject> Item = std::move(Pending.back());
        Pending.pop_back();
        Item->FParent = nullptr;
        for (auto& Child : Item->FItems) Pending.push_back(std::move(Child));
        Item->FItems.clear();
    }
}

void TSVGObject::AssignTo(TSVGObject& Dest) const
{
    Dest.FVisible = FVisible;
    Dest.FDisplay = FDisplay;
    Dest.FBounds = FBounds;
    Dest.FID = FID;
    Dest.TreeChanged();
    Dest.FObjectName = FObjectName;
    Dest.FStyle = FStyle->Clone();
    Dest.FClasses = FClasses;
}

void TSVGObject::UpdateBounds() {}

void TSVGObject::Clear()
{
    FreeChildren();
    FVisible = 1;
    FDisplay = 1;
    if (!FID.empty()) TreeChanged();
    FID.clear();
    FClasses.clear();
    FStyle->Clear();
    FObjectName.clear();
}

void TSVGObject::ReadIn(const TXmlNode& Node)
{
    LoadString(Node, "id", FID);
    TreeChanged();
    for (const TXmlAttribute& Attribute : Node.Attributes()) FStyle->AddStyle(Attribute.Name, Attribute.Value);
    if (auto Inline = Node.FindAttribute("style")) FStyle->SetValues(StripCSSComments(*Inline));
    if (const TSVG* Root = GetRoot()) CascadeElement(Root->GetStyles(), Node, *FStyle);
    // Display and visibility as the cascade left them, whichever source gave them.
    LoadDisplay(*FStyle, FDisplay);
    // Visibility inherits: without a value an element shows as its parent does.
    FVisible = -1;
    LoadVisible(*FStyle, FVisible);
    FClasses.clear();
    if (auto Classes = Node.FindAttribute("class"))
        for (std::string& Name : SplitValues(*Classes, ' ')) {
            std::string Trimmed = Trim(Name);
            if (!Trimmed.empty()) FClasses.push_back(std::move(Trimmed));
        }
    // Elements of other namespaces are never created; a node read here without one keeps its written name.
    FObjectName = SVGElementName(Node);
    if (FObjectName.empty()) FObjectName = Node.NodeName();
}

int TSVGObject::Add(std::unique_ptr<TSVGObject> Item)
{
    if (!Item) return -1;
    // Leaving the former list first keeps every object owned exactly once.
    if (Item->FParent) Item->FParent->Remove(Item.get());
    Item->FParent = this;
    FItems.push_back(std::move(Item));
    TreeChanged();
    return GetCount() - 1;
}

std::unique_ptr<TSVGObject> TSVGObject::Delete(int Index)
{
    if (Index < 0 || Index >= GetCount()) return nullptr;
    std::unique_ptr<TSVGObject> Item = std::move(FItems[static_cast<size_t>(Index)]);
    FItems.erase(FItems.begin() + Index);
    if (Item->FParent == this) Item->FParent = nullptr;
    TreeChanged();
    return Item;
}

int TSVGObject::Remove(TSVGObject* Item)
{
    int Index = IndexOf(Item);
    if (Index < 0) return -1;
    (void)FItems[static_cast<size_t>(Index)].release();  // the caller owns it from now on
    FItems.erase(FItems.begin() + Index);
    if (Item->FParent == this) Item->FParent = nullptr;
    TreeChanged();
    return Index;
}

int TSVGObject::IndexOf(const TSVGObject* Item) const
{
    for (size_t I = 0; I < FItems.size(); ++I)
        if (FItems[I].get() == Item) return static_cast<int>(I);
    return -1;
}

TSVGObject* TSVGObject::GetItem(int Index) const
{
    return Index >= 0 && Index < GetCount() ? FItems[static_cast<size_t>(Index)].get() : nullptr;
}

std::unique_ptr<TSVGObject> TSVGObject::SetItem(int Index, std::unique_ptr<TSVGObject> Item)
{
    if (Index < 0 || Index >= GetCount() || !Item) return Item;
    if (Item->FParent) Item->FParent->Remove(Item.get());
    Item->FParent = this;
    std::unique_ptr<TSVGObject> Old = std::exchange(FItems[static_cast<size_t>(Index)], std::move(Item));
    if (Old->FParent == this) Old->FParent = nullptr;
    TreeChanged();
    return Old;
}

namespace {

// Pre-order walk from Start without recursion; Visit returns true to stop.
template <class TVisit>
TSVGObject* WalkPreOrder(TSVGObject* Start, TVisit&& Visit)
{
    std::vector<TSVGObject*> Stack{Start};
    while (!Stack.empty()) {
        TSVGObject* Node = Stack.back();
        Stack.pop_back();
        if (Visit(*Node)) return Node;
        for (int I = Node->GetCount() - 1; I >= 0; --I) Stack.push_back(Node->GetItem(I));
    }
    return nullptr;
}

}  // namespace

TSVGObject* TSVGObject::FindByID(std::string_view Name)
{
    if (const TSVG* Doc = AsDocument()) return const_cast<TSVG*>(Doc)->FindIndexedID(Name);
    return WalkPreOrder(this, [Name](const TSVGObject& Node) {
        const std::string& ID = Node.GetID();
        return Name == ID || (Name.size() == ID.size() + 1 && Name.front() == '#' && Name.substr(1) == ID);
    });
}

TSVGObject* TSVGObject::FindByType(const std::type_info& Typ, const TSVGObject* Previous)
{
    bool Passed = Previous == nullptr;
    return WalkPreOrder(this, [&](const TSVGObject& Node) {
        if (!Passed) {
            Passed = &Node == Previous;
            return false;
        }
        return typeid(Node) == Typ;
    });
}

TSVGObject* TSVGObject::Clone(TSVGObject* Parent) const
{
    TSVGObject* Result = NewLike(Parent);
    if (!Result) return nullptr;
    Result->Assign(*this);
    // Children of one parent are pushed in reverse, so each copy list keeps document order.
    std::vector<std::pair<const TSVGObject*, TSVGObject*>> Stack;
    auto PushChildren = [&Stack](const TSVGObject& Source, TSVGObject* Copy) {
        for (int I = Source.GetCount() - 1; I >= 0; --I) Stack.emplace_back(Source.GetItem(I), Copy);
    };
    PushChildren(*this, Result);
    while (!Stack.empty()) {
        auto [Source, CopyParent] = Stack.back();
        Stack.pop_back();
        TSVGObject* Copy = Source->NewLike(CopyParent);
        if (!Copy) continue;
        Copy->Assign(*Source);
        PushChildren(*Source, Copy);
    }
    return Result;
}

TSVG* TSVGObject::GetRoot() const
{
    for (const TSVGObject* Node = this; Node; Node = Node->FParent)
        if (const TSVG* Doc = Node->AsDocument()) return const_cast<TSVG*>(Doc);
    return nullptr;
}

void TSVGObject::CalculateMatrices()
{
    // The matrix products are carried down the walk instead of being rebuilt from the ancestors of
    // every node.
    struct TEntry {
        TSVGObject* Node;
        TMatrixChain ParentChain;
    };
    std::vector<TEntry> Stack;
    Stack.push_back({this, TMatrixChain::Of(FParent)});
    while (!Stack.empty()) {
        const TEntry Entry = Stack.back();
        Stack.pop_back();
        TSVGObject* Node = Entry.Node;
        if (auto* Doc = dynamic_cast<TSVG*>(Node)) Doc->CalculateRootMatrix();
        TMatrixChain Chain = Entry.ParentChain.Extend(*Node);
        if (auto* M = dynamic_cast<TSVGMatrix*>(Node)) {
            M->FCompleteCalculatedMatrix = Chain.All;
            M->FCalculatedMatrix = Chain.NoRoot;
        }
        Node->UpdateBounds();
        for (int I = Node->GetCount() - 1; I >= 0; --I) Stack.push_back({Node->GetItem(I), Chain});
    }
}

int TSVGObject::GetDisplay() const
{
    for (const TSVGObject* Node = this; Node; Node = Node->FParent)
        if (Node->FDisplay != -1) return Node->FDisplay;
    return 1;
}

int TSVGObject::GetVisible() const
{
    for (const TSVGObject* Node = this; Node; Node = Node->FParent)
        if (Node->FVisible != -1) return Node->FVisible;
    return 1;
}

// --- TSVGMatrix

void TSVGMatrix::AssignTo(TSVGObject& Dest) const
{
    TSVGObject::AssignTo(Dest);
    if (auto* M = dynamic_cast<TSVGMatrix*>(&Dest)) M->FPureMatrix = FPureMatrix;
}

void TSVGMatrix::Clear()
{
    TSVGObject::Clear();
    FPureMatrix = TMatrix{};
}

void TSVGMatrix::ReadIn(const TXmlNode& Node)
{
    TSVGObject::ReadIn(Node);
    LoadTransform(Node, "transform", FPureMatrix);
    // A transform the style sheet or the style attribute gives is CSS, with units on its lengths and angles.
    const std::string Declared = FStyle->GetValues("transform");
    const std::optional<std::string> Attribute = Node.FindAttribute("transform");
    if (!Declared.empty() && (!Attribute || TStyle::Dequote(*Attribute) != Declared))
        FPureMatrix = ParseTransform(CSSTransformToSVG(Declared));
    const std::string Origin = FStyle->GetValues("transform-origin");
    const TSVG* Root = GetRoot();
    if (!Origin.empty() && FPureMatrix.IsTransform() && Root) {
        // Percentages and keywords are of the viewport, the reference box of SVG elements.
        const TRectF& Box = Root->GetViewBox();
        if (const std::optional<TPointF> O = ParseTransformOrigin(Origin, Box.Right - Box.Left, Box.Bottom - Box.Top))
            FPureMatrix = CreateTranslation(-O->X, -O->Y) * FPureMatrix * CreateTranslation(O->X, O->Y);
    }
}

std::unique_ptr<TGPBrush> TSVGMatrix::GetBrush(std::uint8_t, TSVGBasic*)
{
    return nullptr;
}

void TSVGMatrix::SetPureMatrix(const TMatrix& Value)
{
    FPureMatrix = Value;
    ComputeNodeMatrices();
}

void TSVGMatrix::ComputeNodeMatrices()
{
    TMatrixChain Chain = TMatrixChain::Of(this);
    FCompleteCalculatedMatrix = Chain.All;
    FCalculatedMatrix = Chain.NoRoot;
}

void TSVGMatrix::PlaceSubtree(const TMatrix& Complete)
{
    struct TEntry {
        TSVGObject* Node;
        TMatrix Matrix;  // of the nearest placed element above
    };
    FCompleteCalculatedMatrix = Complete;
    FCalculatedMatrix = Complete;
    std::vector<TEntry> Stack;
    for (int I = GetCount() - 1; I >= 0; --I) Stack.push_back({GetItem(I), Complete});
    while (!Stack.empty()) {
        TEntry Entry = Stack.back();
        Stack.pop_back();
        TMatrix Own = Entry.Matrix;
        if (auto* M = dynamic_cast<TSVGMatrix*>(Entry.Node)) {
            if (M->FPureMatrix.IsTransform()) Own = M->FPureMatrix * Entry.Matrix;
            M->FCompleteCalculatedMatrix = Own;
            M->FCalculatedMatrix = Own;
        }
        for (int I = Entry.Node->GetCount() - 1; I >= 0; --I) Stack.push_back({Entry.Node->GetItem(I), Own});
    }
}

TPointF TSVGMatrix::TransformPoint(const TPointF& P) const
{
    return FCalculatedMatrix.IsTransform() ? plumwick::TransformPoint(P, FCalculatedMatrix) : P;
}

}  // namespace plumwick
