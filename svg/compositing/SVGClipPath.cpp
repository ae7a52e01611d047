// Clip areas: what a clipPath element leaves visible of the element it clips.

#include <algorithm>
#include <optional>
#include <vector>

#include "gdip/GDIPOBJ2.h"
#include "platform/GdiPlus.h"
#include "svg/base/SVGCommon.h"
#include "svg/core/SVGBounds.h"
#include "svg/core/SVGDocument.h"
#include "svg/structure/SVGStructure.h"
#include "svg/text/SVGText.h"

namespace plumwick {

namespace {

// The own transforms from Node up to, but not including, Top (Node's applied first); all zero when none of
// them is a transform.
TMatrix TransformBelow(const TSVGObject& Node, const TSVGObject& Top)
{
    TMatrix Result = EmptyMatrix();
    for (const TSVGObject* N = &Node; N && N != &Top; N = N->GetParent()) {
        auto* M = dynamic_cast<const TSVGMatrix*>(N);
        if (!M || !M->GetPureMatrix().IsTransform()) continue;
        Result = Result.IsTransform() ? Result * M->GetPureMatrix() : M->GetPureMatrix();
    }
    return Result;
}

void Map(TGPGraphicsPath& Path, const TMatrix& M)
{
    if (M.IsTransform()) IgnoreStatus(Path.Transform(ToGPMatrix(M).get()));
}

bool HasBasicChild(const TSVGObject& Node)
{
    for (int I = 0; I < Node.GetCount(); ++I)
        if (Node.GetItem(I)->AsBasic()) return true;
    return false;
}

bool Shown(const TSVGObject& Node)
{
    return OwnDisplayShows(Node) && Node.GetVisible() == 1;
}

// The outlines a clipPath child contributes, in the child's own user space (before its transform): a shape's
// outline, a text's glyphs, or what a use names when that is a shape or a text. Groups, images and
// anything else add nothing.
bool ChildOutline(const TSVGBasic& Child, TGPGraphicsPath& Out)
{
    const TSVGObject* Source = &Child;
    if (dynamic_cast<const TSVGUse*>(&Child)) {
        const TSVGObject* Group = Child.GetItem(0);
        Source = Group ? Group->GetItem(0) : nullptr;
        if (!Source || !Shown(*Source)) return false;
    }
    const auto* Shape = Source->AsBasic();
    if (!Shape || (!Shape->GetPath() && !HasBasicChild(*Shape))) return false;
    // A shape with outline and no element children, or a text and its spans.
    if (HasBasicChild(*Shape) && !dynamic_cast<const TSVGCustomText*>(Shape)) return false;
    bool Any = false;
    std::vector<const TSVGObject*> Stack{Shape};
    while (!Stack.empty()) {
        const TSVGObject* N = Stack.back();
        Stack.pop_back();
        const TSVGBasic* B = N->AsBasic();
        if (!B || !Shown(*N)) continue;
        if (B->GetPath()) {
            std::unique_ptr<TGPGraphicsPath2> Outline = B->GetPath()->Clone();
            Map(*Outline, TransformBelow(*B, Child));
            IgnoreStatus(
                Outline->SetFillMode(B->GetClipRule() == FillRuleEvenOdd ? FillModeAlternate : FillModeWinding));
            if (!Any)
                Out = *Outline;
            else
                IgnoreStatus(Out.Unite(*Outline));
            Any = true;
        }
        for (int I = N->GetCount() - 1; I >= 0; --I) Stack.push_back(N->GetItem(I));
    }
    return Any;
}

}  // namespace

TSVGClipPath* ReferencedClip(const TSVGBasic& Element)
{
    const std::string& URI = Element.GetOwnClipURI();
    if (URI.empty()) return nullptr;
    TSVG* Root = Element.GetRoot();
    return Root ? dynamic_cast<TSVGClipPath*>(Root->FindByID(URI)) : nullptr;
}

TGPGraphicsPath* TSVGClipPath::GetClipPath()
{
    if (!FClipPath) {
        std::vector<const TSVGClipPath*> Visiting;
        FClipPath = BuildArea(Visiting);
    }
    return FClipPath.get();
}

std::unique_ptr<TGPGraphicsPath> TSVGClipPath::BuildArea(std::vector<const TSVGClipPath*>& Visiting)
{
    // Each child adds its outline with its own clip-rule, cut by its own clip-path (in its user space),
    // then mapped by its transform; overlaps of children add up instead of cancelling.
    auto Result = std::make_unique<TGPGraphicsPath>(FillModeWinding);
    Visiting.push_back(this);
    bool Any = false;
    for (int I = 0; I < GetCount(); ++I) {
        auto* Child = dynamic_cast<TSVGBasic*>(GetItem(I));
        if (!Child || !Shown(*Child)) continue;
        TGPGraphicsPath Outline;
        if (!ChildOutline(*Child, Outline)) continue;
        if (TSVGClipPath* Clip = ReferencedClip(*Child))
            if (std::optional<TGPGraphicsPath> Area = Clip->AreaFor(*Child, Visiting))
                IgnoreStatus(Outline.Intersect(*Area));
        Map(Outline, Child->GetPureMatrix());
        if (!Any)
            *Result = Outline;
        else
            IgnoreStatus(Result->Unite(Outline));
        Any = true;
    }
    Visiting.pop_back();
    return Result;
}

std::optional<TGPGraphicsPath> TSVGClipPath::AreaFor(const TSVGBasic& Target,
                                                     std::vector<const TSVGClipPath*>& Visiting)
{
    for (const TSVGClipPath* V : Visiting)
        if (V == this) return std::nullopt;
    // Built inside another clip's computation, the outline leaves that clip's links out and is not kept.
    TGPGraphicsPath Area(Visiting.empty() || FClipPath ? *GetClipPath() : *BuildArea(Visiting));
    if (FUnits == guObjectBoundingBox) {
        const std::optional<TGPRectF> Box = SubtreeBoundingBox(Target);
        if (!Box || !(Box->Width > 0) || !(Box->Height > 0))
            return TGPGraphicsPath();  // no box to measure in: nothing shows
        Map(Area, TMatrix{Box->Width, 0, 0, 0, Box->Height, 0, Box->X, Box->Y, 1});
    }
    Map(Area, FPureMatrix);
    if (TSVGClipPath* Clip = ReferencedClip(*this)) {
        Visiting.push_back(this);
        std::optional<TGPGraphicsPath> Outer = Clip->AreaFor(Target, Visiting);
        Visiting.pop_back();
        if (Outer) IgnoreStatus(Area.Intersect(*Outer));
    }
    return Area;
}

}  // namespace plumwick
