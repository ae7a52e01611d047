// The paint walk: document order, parents before children, with a layer opened where an element needs one
// and composed once its subtree is painted.

#include <memory>
#include <optional>
#include <vector>

#include "platform/GdiPlus.h"
#include "svg/compositing/SVGFilterPaint.h"
#include "svg/compositing/SVGLayer.h"
#include "svg/core/SVGBasic.h"

namespace plumwick {

namespace {

// Visibility inherits but does not prune: a hidden group's child that says "visible" shows.
bool VisibleBelow(const TSVGObject& Child, bool ParentVisible)
{
    const int Code = Child.GetVisibleCode();
    return Code == -1 ? ParentVisible : Code == 1;
}

bool IsEmptyArea(const TGPGraphicsPath& Area)
{
    return Area.GetPointCount() == 0;
}

}  // namespace

void PaintTree(TSVGObject& Node, TGPGraphics& Graphics, std::span<const TRect> Rects)
{
    if (Node.GetDisplay() != 1 || !OwnDisplayShows(Node)) return;
    struct TEntry {
        TSVGObject* Node;
        bool Close;    // compose the innermost layer: its owner's subtree is painted
        bool Visible;  // resolved visibility
    };
    TLayerBudget Budget(Graphics);
    std::vector<std::unique_ptr<TLayer>> Layers;
    std::vector<TEntry> Stack{{&Node, false, Node.GetVisible() == 1}};
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
            // While its filter paints it, an element's clip and opacity wait for the filtered picture.
            const bool FilterSource = IsFilterSource(*Current);
            std::optional<TGPGraphicsPath> Clip = FilterSource ? std::nullopt : DeviceClipArea(*Element);
            if ((!FilterSource && Element->GetOpacity() <= 0) || (Clip && IsEmptyArea(*Clip)))
                continue;  // nothing of it shows
            if (NeedsFilter(*Current)) {
                // Filter -> clip -> opacity: the filtered subtree is one picture, composed as a group's layer.
                TLayerNeeds Needs;
                Needs.Opacity = Element->GetOpacity();
                Needs.Clip = std::move(Clip);
                const bool LayerOnly = Needs.LayerOnly();
                std::unique_ptr<TLayer> Layer =
                    Needs.Any() ? TLayer::Open(*Element, std::move(Needs), Surface, Budget) : nullptr;
                if (!Layer && LayerOnly) continue;  // past the layer budget: not drawn rather than unclipped
                PaintFiltered(*Current, Layer ? Layer->Graphics() : Surface);
                if (Layer) Layer->Compose();
                continue;
            }
            TLayerNeeds Needs = FilterSource ? TLayerNeeds{} : LayerNeedsOf(*Element, Clip);
            const bool LayerOnly = Needs.LayerOnly();
            std::unique_ptr<TLayer> Layer;
            if (Needs.Any()) Layer = TLayer::Open(*Element, std::move(Needs), Surface, Budget);
            if (!Layer && LayerOnly) continue;  // past the layer budget: not drawn rather than drawn wrong
            if (Layer) {
                Element->SetPaintOpacity(1);
                Stack.push_back({Current, true, false});
                Layers.push_back(std::move(Layer));
            } else {
                // Painted directly: the opacity goes into its brush, the clip onto the surface. (Past the
                // layer budget a group's opacity is lost rather than the memory.)
                Element->SetPaintOpacity(FilterSource ? 1 : Element->GetOpacity());
                DirectClip = std::move(Clip);
            }
        }
        TGPGraphics& Target = Layers.empty() ? Graphics : Layers.back()->Graphics();
        if (Entry.Visible && InRects(*Current, Rects)) {
            if (DirectClip) {
                IgnoreStatus(Target.ResetTransform());
                IgnoreStatus(Target.SetClip(&*DirectClip, CombineModeReplace));
            }
            Current->PaintToGraphics(Target);
            IgnoreStatus(Target.ResetClip());
        }
        // Below a displayed node a child's own display decides (inherit means displayed): no look up the
        // tree per node, and undisplayed subtrees are left out whole.
        for (int I = Current->GetCount() - 1; I >= 0; --I) {
            TSVGObject* Child = Current->GetItem(I);
            if (OwnDisplayShows(*Child)) Stack.push_back({Child, false, VisibleBelow(*Child, Entry.Visible)});
        }
    }
}

}  // namespace plumwick
