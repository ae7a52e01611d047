#include "svg/SVGStructure.h"

#include <string>
#include <string_view>
#include <vector>

#include "gdip/GDIPOBJ2.h"
#include "platform/GdiPlus.h"
#include "svg/SVGCommon.h"
#include "svg/SVGDocument.h"
#include "svg/SVGError.h"

namespace plumwick {

namespace {

// Objects in Node's subtree, Node included, counted no further than Limit + 1.
long CountObjects(const TSVGObject& Node, long Limit)
{
    long Count = 0;
    std::vector<const TSVGObject*> Stack{&Node};
    while (!Stack.empty() && Count <= Limit) {
        const TSVGObject* N = Stack.back();
        Stack.pop_back();
        ++Count;
        for (int I = 0; I < N->GetCount(); ++I)
            Stack.push_back(N->GetItem(I));
    }
    return Count;
}

// The own transforms from Node up to, but not including, Top (Node's applied first); all zero
// when none of them is a transform.
TMatrix TransformBelow(const TSVGObject& Node, const TSVGObject& Top)
{
    TMatrix Result = EmptyMatrix();
    for (const TSVGObject* N = &Node; N && N != &Top; N = N->GetParent()) {
        auto* M = dynamic_cast<const TSVGMatrix*>(N);
        if (!M || !M->GetPureMatrix().IsTransform())
            continue;
        Result = Result.IsTransform() ? Result * M->GetPureMatrix() : M->GetPureMatrix();
    }
    return Result;
}

std::string_view HrefOf(const TXmlNode& Node, std::string& Storage)
{
    // The plain SVG 2 "href" stands in when "xlink:href" is absent.
    if (!Node.HasAttribute("xlink:href"))
        LoadString(Node, "href", Storage);
    LoadString(Node, "xlink:href", Storage);
    return Storage;
}

}  // namespace

// --- g, switch, defs

TSVGObject* TSVGContainer::NewLike(TSVGObject* Parent) const
{
    return CreateIn<TSVGContainer>(Parent);
}

void TSVGContainer::ReadIn(const TXmlNode& Node)
{
    TSVGBasic::ReadIn(Node);
    LoadChildNodes(Node);
}

TSVGObject* TSVGSwitch::NewLike(TSVGObject* Parent) const
{
    return CreateIn<TSVGSwitch>(Parent);
}

void TSVGSwitch::ReadIn(const TXmlNode& Node)
{
    TSVGBasic::ReadIn(Node);
    LoadChildNodes(Node);
}

TSVGObject* TSVGDefs::NewLike(TSVGObject* Parent) const
{
    return CreateIn<TSVGDefs>(Parent);
}

void TSVGDefs::ReadIn(const TXmlNode& Node)
{
    TSVGBasic::ReadIn(Node);
    FDisplay = 0;
    LoadChildNodes(Node);
}

// --- use

void TSVGUse::AssignTo(TSVGObject& Dest) const
{
    TSVGBasic::AssignTo(Dest);
    if (auto* D = dynamic_cast<TSVGUse*>(&Dest))
        D->FReference = FReference;
}

TSVGObject* TSVGUse::NewLike(TSVGObject* Parent) const
{
    return CreateIn<TSVGUse>(Parent);
}

void TSVGUse::Clear()
{
    TSVGBasic::Clear();
    FReference.clear();
}

void TSVGUse::ReadIn(const TXmlNode& Node)
{
    TSVGBasic::ReadIn(Node);
    HrefOf(Node, FReference);
}

TSVGObject* TSVGUse::FindReferenced() const
{
    // "#" alone would name the first element without an id, normally the document itself.
    if (FReference.size() < 2 || FReference.front() != '#')
        return nullptr;
    TSVG* Root = GetRoot();
    return Root ? Root->FindByID(std::string_view(FReference).substr(1)) : nullptr;
}

void TSVGUse::PaintToPath(TGPGraphicsPath& Path)
{
    TSVGBasic::PaintToPath(Path);
    // A use naming a use hands on its reference; a chain longer than the document has use
    // elements is a cycle.
    TSVGObject* Target = FindReferenced();
    for (int Hops = 0; auto* Next = dynamic_cast<TSVGUse*>(Target); ++Hops) {
        if (Next == this || Hops > 64)
            return;
        Target = Next->FindReferenced();
    }
    if (Target)
        Target->PaintToPath(Path);
}

TSVGObject* TSVGUse::CopyReferenced(long& Budget)
{
    FreeChildren();
    TSVGObject* Target = FindReferenced();
    if (!Target)
        return nullptr;
    // Copying the element itself or an ancestor would copy this use again, without end. Copies
    // keep the ids of what they copy, so an ancestor carrying the target's id is a copy made
    // further up the same chain of references.
    for (const TSVGObject* A = this; A; A = A->GetParent())
        if (A == Target || (!Target->GetID().empty() && A->GetID() == Target->GetID()))
            return nullptr;
    const long Objects = CountObjects(*Target, Budget) + 1;  // and the group holding the copy
    if (Objects > Budget)
        throw ESVGError("The use of \"" + FReference + "\" copies more than " +
                        std::to_string(SVGMaxObjects) + " objects");
    Budget -= Objects;
    auto* Group = CreateIn<TSVGContainer>(this);
    Group->FObjectName = std::string(1, 'g');
    Group->SetPureMatrix(CreateTranslation(FX, FY));
    Target->Clone(Group);
    return Group;
}

void TSVGUse::ResolveReference()
{
    long Budget = SVGMaxObjects;
    TSVGObject* Copy = CopyReferenced(Budget);
    if (!Copy)
        return;
    // Pre-order through the copy; a use is resolved before its own new children are visited, so
    // nested references resolve without recursion.
    std::vector<TSVGObject*> Stack{Copy};
    while (!Stack.empty()) {
        TSVGObject* N = Stack.back();
        Stack.pop_back();
        if (typeid(*N) == typeid(TSVGUse))
            static_cast<TSVGUse*>(N)->CopyReferenced(Budget);
        for (int I = N->GetCount() - 1; I >= 0; --I)
            Stack.push_back(N->GetItem(I));
    }
}

// --- clipPath

TSVGClipPath::~TSVGClipPath() = default;

TSVGObject* TSVGClipPath::NewLike(TSVGObject* Parent) const
{
    return CreateIn<TSVGClipPath>(Parent);
}

void TSVGClipPath::Clear()
{
    TSVGBasic::Clear();
    FClipPath.reset();
}

void TSVGClipPath::ReadIn(const TXmlNode& Node)
{
    TSVGBasic::ReadIn(Node);
    LoadChildNodes(Node);
    FDisplay = 0;
}

TGPGraphicsPath* TSVGClipPath::GetClipPath()
{
    if (!FClipPath)
        BuildClipPath();
    return FClipPath.get();
}

void TSVGClipPath::BuildClipPath()
{
    FClipPath = std::make_unique<TGPGraphicsPath>(FillModeAlternate);
    // Outlines enter in this element's user space: each mapped by the transforms between it and
    // this element (whenever the clip is built), since referencing elements place the whole clip
    // with this element's matrix. A use contributes through its copy, once.
    std::vector<TSVGObject*> Stack{this};
    while (!Stack.empty()) {
        TSVGObject* N = Stack.back();
        Stack.pop_back();
        if (auto* B = dynamic_cast<TSVGBasic*>(N); B && B != this && B->GetPath()) {
            std::unique_ptr<TGPGraphicsPath2> Outline = B->GetPath()->Clone();
            if (const TMatrix M = TransformBelow(*B, *this); M.IsTransform())
                Outline->Transform(ToGPMatrix(M).get());
            FClipPath->AddPath(*Outline, false);
        }
        for (int I = N->GetCount() - 1; I >= 0; --I)
            Stack.push_back(N->GetItem(I));
    }
}

}  // namespace plumwick
