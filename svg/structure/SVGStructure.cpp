#include "svg/structure/SVGStructure.h"

#include <string>
#include <string_view>
#include <vector>

#include "gdip/GDIPOBJ2.h"
#include "platform/GdiPlus.h"
#include "svg/base/SVGCommon.h"
#include "svg/base/SVGConditions.h"
#include "svg/base/SVGError.h"
#include "svg/base/SVGParse.h"
#include "svg/core/SVGDocument.h"
#include "svg/core/SVGFactory.h"
#include "svg/structure/SVGViewport.h"

namespace plumwick {

namespace {

// Exactly a use element (not a class derived from it). The name test first spares the type
// comparison, which compares type names, on the many nodes that are something else.
bool IsUse(const TSVGObject& Node)
{
    const std::string& Name = Node.GetObjectName();
    return (Name.empty() || Name == "use") && typeid(Node) == typeid(TSVGUse);
}

// The element with the id, first in document order among the elements read from the document:
// what use elements hold are copies and are not looked into, as in browsers, where they live
// in a shadow tree. nullptr when there is none.
TSVGObject* FindOriginal(TSVGObject& Root, std::string_view ID)
{
    std::vector<TSVGObject*> Stack{&Root};
    while (!Stack.empty()) {
        TSVGObject* N = Stack.back();
        Stack.pop_back();
        if (N->GetID() == ID) return N;
        if (IsUse(*N)) continue;
        for (int I = N->GetCount() - 1; I >= 0; --I) Stack.push_back(N->GetItem(I));
    }
    return nullptr;
}

// Copies Source's subtree under Parent (at nesting level ParentDepth), without what use elements
// inside hold: those are copied afresh when the use is resolved. Raises when more than Budget
// objects would be made, or when the copies would nest deeper than a document may be read.
void CopyTree(const TSVGObject& Source, TSVGObject& Parent, int ParentDepth, long& Budget, const std::string& Reference)
{
    struct TItem {
        const TSVGObject* From;
        TSVGObject* Under;
        int Depth;  // of the copy to make
    };
    // Children are pushed in reverse, so each copied list keeps document order.
    std::vector<TItem> Stack{{&Source, &Parent, ParentDepth + 1}};
    while (!Stack.empty()) {
        const TItem Item = Stack.back();
        Stack.pop_back();
        if (--Budget < 0)
            throw ESVGError("The use of \"" + Reference + "\" copies more than " + std::to_string(SVGMaxObjects) +
                            " objects");
        if (Item.Depth > SVGMaxDepth)
            throw ESVGError("The use of \"" + Reference + "\" nests elements deeper than " +
                            std::to_string(SVGMaxDepth) + " levels");
        TSVGObject* Copy = Item.From->NewLike(Item.Under);
        if (!Copy) continue;
        Copy->Assign(*Item.From);
        if (IsUse(*Item.From)) continue;
        for (int I = Item.From->GetCount() - 1; I >= 0; --I)
            Stack.push_back({Item.From->GetItem(I), Copy, Item.Depth + 1});
    }
}

std::string_view HrefOf(const TXmlNode& Node, std::string& Storage)
{
    // The plain SVG 2 "href" wins over "xlink:href".
    if (Node.HasAttribute("href"))
        LoadString(Node, "href", Storage);
    else
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
    // Only the first child whose conditions hold is drawn. The objects are matched to the element
    // nodes they were read from; nodes the factory skipped made no object and are not candidates.
    int Index = 0;
    bool Chosen = false;
    const TSVG* Root = GetRoot();
    for (const TXmlNode& Child : Node.ChildNodes()) {
        if (Child.NodeType() != TXmlNodeType::ntElement) continue;
        if (Index >= GetCount()) break;
        TSVGObject* Item = GetItem(Index);
        if (Item->GetObjectName() != SVGElementName(Child)) continue;
        ++Index;
        // An element of no known kind draws nothing, so it is never the one chosen.
        const std::string& Name = Item->GetObjectName();
        const bool Known = FindElementCreator(Name) || (Root && Root->FindRegisteredElement(Name));
        if (!Chosen && Known && ConditionsPass(Child))
            Chosen = true;
        else
            Item->SetDisplay(0);
    }
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
    if (auto* D = dynamic_cast<TSVGUse*>(&Dest)) D->FReference = FReference;
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
    if (FReference.size() < 2 || FReference.front() != '#') return nullptr;
    TSVG* Root = GetRoot();
    return Root ? FindOriginal(*Root, std::string_view(FReference).substr(1)) : nullptr;
}

std::string_view TSVGUse::CopiedID() const
{
    if (FReference.size() < 2 || FReference.front() != '#') return {};
    return std::string_view(FReference).substr(1);
}

void TSVGUse::PaintToPath(TGPGraphicsPath& Path)
{
    TSVGBasic::PaintToPath(Path);
    // A use naming a use hands on its reference; a chain longer than the document has use
    // elements is a cycle.
    TSVGObject* Target = FindReferenced();
    for (int Hops = 0; auto* Next = dynamic_cast<TSVGUse*>(Target); ++Hops) {
        if (Next == this || Hops > 64) return;
        Target = Next->FindReferenced();
    }
    if (Target) Target->PaintToPath(Path);
}

TSVGObject* TSVGUse::CopyReferenced(long& Budget)
{
    FreeChildren();
    TSVGObject* Target = FindReferenced();
    if (!Target) return nullptr;
    int Depth = 0;
    bool Cycle = false;
    for (TSVGObject* A = this; A; A = A->GetParent()) {
        ++Depth;
        // Copying the element itself or an ancestor would copy this use again, without end.
        // Copies keep the ids of what they copy, so an ancestor carrying the target's id is a
        // copy made further up the same chain of references.
        if (A == Target || (!Target->GetID().empty() && A->GetID() == Target->GetID())) Cycle = true;
        // A clip outline collected before this copy changed (elements read after the clip
        // element ask for it while the document is still being read) would miss or keep the
        // wrong copy.
        if (A->GetObjectName() == "clipPath")
            if (auto* Clip = dynamic_cast<TSVGClipPath*>(A)) Clip->DropClipPath();
    }
    if (Cycle) return nullptr;
    if (--Budget < 0)
        throw ESVGError("The use of \"" + FReference + "\" copies more than " + std::to_string(SVGMaxObjects) +
                        " objects");
    auto* Group = CreateIn<TSVGContainer>(this);
    Group->FObjectName = std::string(1, 'g');  // (a literal here trips a false GCC 12 -Wrestrict warning)
    Group->SetPureMatrix(CreateTranslation(FX, FY));
    CopyTree(*Target, *Group, Depth + 1, Budget, FReference);
    // A symbol or svg gets its viewport from the use's width and height when it gives them; a symbol
    // is drawn only here.
    if (auto* Viewport = dynamic_cast<TSVGViewportElement*>(Group->GetItem(0))) {
        auto Size = [this](std::string_view Name, float Value) -> std::optional<float> {
            const std::string Text = Trim(GetStyle().GetValues(Name));
            if (Text.empty() || Text == "auto") return std::nullopt;
            return Value;
        };
        if (dynamic_cast<TSVGSymbol*>(Viewport)) Viewport->SetDisplay(1);
        Viewport->Place(Size("width", FWidth), Size("height", FHeight));
    }
    return Group;
}

void TSVGUse::ResolveReference()
{
    // Each level of nested copies would otherwise be rebuilt once more per enclosing level.
    if (FResolvedWithCopy) {
        FResolvedWithCopy = false;
        return;
    }
    long Budget = SVGMaxObjects;
    TSVGObject* Copy = CopyReferenced(Budget);
    if (!Copy) return;
    // Pre-order through the copy; a use is resolved before its own new children are visited, so
    // nested references resolve without recursion.
    std::vector<TSVGObject*> Stack{Copy};
    while (!Stack.empty()) {
        TSVGObject* N = Stack.back();
        Stack.pop_back();
        if (IsUse(*N)) {
            auto* Use = static_cast<TSVGUse*>(N);
            Use->CopyReferenced(Budget);
            Use->FResolvedWithCopy = true;
        }
        for (int I = N->GetCount() - 1; I >= 0; --I) Stack.push_back(N->GetItem(I));
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
    std::string Units;
    LoadString(Node, "clipPathUnits", Units);
    FUnits = TrimView(Units) == "objectBoundingBox" ? guObjectBoundingBox : guUserSpaceOnUse;
    LoadChildNodes(Node);
    FDisplay = 0;
}

}  // namespace plumwick
