#pragma once

// Offscreen layers. An element whose opacity, clip (and, to come, mask or filter) cannot be applied
// while its outlines are drawn paints itself and its subtree into a layer of the target's pixel size,
// in the target's device space; the layer stage then runs once, in one place, and blends the result
// onto the surface below:
//
//     paint subtree -> filter -> clip -> mask -> opacity -> blend
//
// Everything else (a plain shape, a shape whose opacity can go into its one brush, a shape with a
// clip) draws straight onto the surface below, so plain icons never allocate a layer.
//
// Adding a step (see TLayer::Compose):
//  - Filter: give TLayerNeeds a filter reference, set it in LayerNeedsOf for elements with a filter,
//    and rewrite the layer's pixels in RunFilterStep. Bitmap().LockPremultiplied() gives them as a
//    span of premultiplied ARGB (0xAARRGGBB) with width, height and stride; a filter that needs more
//    room paints into a bitmap of its own and copies back. It runs before the clip, as SVG says.
//  - Mask: likewise a mask reference, set in LayerNeedsOf, and RunMaskStep: paint the mask's content
//    with PaintChildrenToLayer(mask element, Below()), turn each pixel into its coverage (luminance
//    times alpha, or alpha) and multiply the layer's pixels by it.
// Both steps see Owner() for the element's user space (Owner().GetMatrix() maps it to device pixels)
// and its bounding box (UserSpaceBounds).

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/GdiPlusPath.h"
#include "platform/GdiPlusTypes.h"

namespace plumwick {

class TGPBitmap;
class TGPGraphics;
class TSVGBasic;
class TSVGObject;

// Why an element paints into a layer; nothing set: it paints directly.
class TSVGMask;

struct TLayerNeeds {
    float Opacity = 1;                    // below 1: the layer is blended at this opacity
    std::optional<TGPGraphicsPath> Clip;  // device-space area the layer is cut to
    TSVGMask* Mask = nullptr;             // the mask the layer is multiplied by
    BlendMode Blend = BlendModeNormal;    // "mix-blend-mode": how the layer mixes with what lies below
    bool Isolate = false;                 // "isolation: isolate": the content blends only within the layer
    bool Any() const { return Opacity < 1 || Clip.has_value() || Mask || Blend != BlendModeNormal || Isolate; }
    // Whether the element can only be drawn right in a layer: painted without one, its clip would miss its
    // children, and its mask and blend would be lost.
    bool LayerOnly() const { return Clip.has_value() || Mask || Blend != BlendModeNormal; }
};

// Limits the pixels that live layers may take at once, so that no document can make the painter allocate
// much more than its target. Beyond it, an element whose opacity is all it needs a layer for paints
// without one (its opacity goes into its brushes); one that needs a clip, mask or blend is not drawn.
class TLayerBudget {
public:
    explicit TLayerBudget(const TGPGraphics& Target);
    // Takes the pixels when they are left; false (nothing taken) otherwise.
    [[nodiscard]] bool Take(std::int64_t Pixels);
    void Give(std::int64_t Pixels) { FLeft += Pixels; }

private:
    std::int64_t FLeft = 0;
};

class TLayer {
public:
    // A transparent layer the size of Below's pixels, or nullptr when Below has none or the budget is spent.
    static std::unique_ptr<TLayer> Open(TSVGBasic& Owner, TLayerNeeds Needs, TGPGraphics& Below, TLayerBudget& Budget);
    ~TLayer();
    TLayer(const TLayer&) = delete;
    TLayer& operator=(const TLayer&) = delete;

    // Where the owner and its subtree paint.
    TGPGraphics& Graphics() { return *FGraphics; }
    TGPBitmap& Bitmap() { return *FBitmap; }
    TGPGraphics& Below() { return FBelow; }
    TSVGBasic& Owner() { return FOwner; }
    const TLayerNeeds& Needs() const { return FNeeds; }
    // Runs the layer stage and blends the layer onto Below; the layer is spent afterwards.
    void Compose();

private:
    TLayer(TSVGBasic& Owner, TLayerNeeds Needs, TGPGraphics& Below, TLayerBudget& Budget, std::int64_t Pixels);

    TSVGBasic& FOwner;
    TLayerNeeds FNeeds;
    TGPGraphics& FBelow;
    TLayerBudget& FBudget;
    std::int64_t FPixels;
    std::unique_ptr<TGPBitmap> FBitmap;
    std::unique_ptr<TGPGraphics> FGraphics;
};

// What makes Element paint into a layer, with its clip area in device space. Clipped: the area its own
// clip-path leaves (std::nullopt when it has none); an empty area means nothing of it shows.
TLayerNeeds LayerNeedsOf(TSVGBasic& Element, std::optional<TGPGraphicsPath> Clip);
// The device-space area Element's own clip-path leaves visible; nullopt when it is not clipped.
std::optional<TGPGraphicsPath> DeviceClipArea(TSVGBasic& Element);
// The element's own "mix-blend-mode" (the property is not inherited); normal for unknown keywords.
BlendMode BlendModeOf(const TSVGBasic& Element);
// Whether the element paints both a fill and a stroke (its opacity then cannot go into one brush).
bool PaintsFillAndStroke(const TSVGBasic& Element);

// The children of Container (each with its subtree, skipping undisplayed ones) painted into a fresh
// transparent layer of Like's pixel size and smoothing, in the same device space; nullptr when Like has no
// pixels. For masks and patterns, whose content is not part of the painted tree.
std::unique_ptr<TGPBitmap> PaintChildrenToLayer(TSVGObject& Container, const TGPGraphics& Like);

}  // namespace plumwick
