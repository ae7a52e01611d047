// The paint walk: document order, parents before children, with a layer opened where an element needs one
// and composed once its subtree is painted.

#include <memory>
#include <optional>
#include <vector>

#include "platform/GdiPlus.h"
#include "svg/SVGBasic.h"
#include "svg/compositing/SVGLayer.h"

namespace plumwick {

namespace {

bool OwnStyleHidesIt(const TSVGObject& Node)
{
    return Node.GetStyle().GetValues("display") == "none";
}

// Below a paintable node the resolved codes are the node's own, or 1 where it inherits, so the walk needs
// no look up the tree per node.
bool ChildPaintable(const TSVGObject& Child)
{
    auto Shown = [](int Code) { return Code == -1 || Code == 1; };
    return Shown(Child.GetDisplayCode()) && Shown(Child.GetVisibleCode()) && !OwnStyleHidesIt(Child);
}

bool IsEmptyArea(const TGPGraphicsPath& Area)
{
    return Area.GetPointCount() == 0;
}

}  // namespace

void PaintTree(TSVGObject& Node, TGPGraphics& Graphics, std::span<const TRect> Rects)
{
    if (!IsPaintable(Node))
        return;
    struct TEntry {
        TSVGObject* Node;
        bool Close;  // compose the innermost layer: its owner's subtree is painted
    };
    TLayerBudget Budget(Graphics);
    std::vector<std::unique_ptr<TLayer>> Layers;
    std::vector<TEntry> Stack{{&Node, false}};
    while (!Stack.empty()) {
        const TEntry Entry = Stack.back();
        Stack.pop_back();
        if (Entry.Close) {
            Layers.back()->Compose();
            Layers.pop_back();
            continue;
        }
        TSVGObject* Current = Entry.Node;
        TGPGraphics& Surface = Layers.empty() ? Graphics : Layers.back()->Graphics();
        std::optional<TGPGraphicsPath> DirectClip;
        if (auto* Element = dynamic_cast<TSVGBasic*>(Current)) {
            std::optional<TGPGraphicsPath> Clip = DeviceClipArea(*Element);
            if (Element->GetOpacity() <= 0 || (Clip && IsEmptyArea(*Clip)))
                continue;  // nothing of it shows
            TLayerNeeds Needs = LayerNeedsOf(*Element, Clip);
            std::unique_ptr<TLayer> Layer;
            if (Needs.Any())
                Layer = TLayer::Open(*Element, std::move(Needs), Surface, Budget);
            if (Layer) {
                Element->SetPaintOpacity(1);
                Stack.push_back({Current, true});
                Layers.push_back(std::move(Layer));
            } else {
                // Painted directly: the opacity goes into its brush, the clip onto the surface. (Past the
                // layer budget a group's opacity and clip are lost rather than the memory.)
                Element->SetPaintOpacity(Element->GetOpacity());
                DirectClip = std::move(Clip);
            }
        }
        TGPGraphics& Target = Layers.empty() ? Graphics : Layers.back()->Graphics();
        if (InRects(*Current, Rects)) {
            if (DirectClip) {
                Target.ResetTransform();
                Target.SetClip(&*DirectClip, CombineModeReplace);
            }
            Current->PaintToGraphics(Target);
            Target.ResetClip();
        }
        for (int I = Current->GetCount() - 1; I >= 0; --I) {
            TSVGObject* Child = Current->GetItem(I);
            if (ChildPaintable(*Child))
                Stack.push_back({Child, false});
        }
    }
}

}  // namespace plumwick
