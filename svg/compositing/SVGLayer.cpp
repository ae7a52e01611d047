#include "svg/compositing/SVGLayer.h"

#include <algorithm>

#include "platform/GdiPlus.h"
#include "svg/base/SVGCommon.h"
#include "svg/base/SVGParse.h"
#include "svg/compositing/SVGMask.h"
#include "svg/core/SVGBasic.h"
#include "svg/structure/SVGStructure.h"

namespace plumwick {

namespace {

// Live layers may take this many times the target's pixels, and never more than this many pixels in all.
constexpr std::int64_t LayersPerTarget = 16;
constexpr std::int64_t MaxLayerPixels = 64ll * 1024 * 1024;

std::int64_t SurfacePixels(const TGPGraphics& Graphics)
{
    int W = 0, H = 0;
    return Graphics.GetSurfaceSize(W, H) ? std::int64_t(W) * H : 0;
}

bool HasBasicChild(const TSVGObject& Node)
{
    for (int I = 0; I < Node.GetCount(); ++I)
        if (Node.GetItem(I)->AsBasic()) return true;
    return false;
}

// --- Hook points of the layer stage. Each works on the layer's premultiplied pixels in place.

// Filter step: nothing yet.
void RunFilterStep(TLayer&) {}

// Mask step: the layer's pixels times the mask's coverage.
void RunMaskStep(TLayer& Layer)
{
    if (TSVGMask* Mask = Layer.Needs().Mask) {
        const SmoothingMode Mode = Layer.Below().GetSmoothingMode();
        ApplyMask(*Mask, Layer.Owner(), Layer.Bitmap(),
                  Mode == SmoothingModeAntiAlias || Mode == SmoothingModeHighQuality);
    }
}

}  // namespace

TLayerBudget::TLayerBudget(const TGPGraphics& Target)
    : FLeft(std::min(MaxLayerPixels, SurfacePixels(Target) * LayersPerTarget))
{
}

bool TLayerBudget::Take(std::int64_t Pixels)
{
    if (Pixels <= 0 || Pixels > FLeft) return false;
    FLeft -= Pixels;
    return true;
}

TLayer::TLayer(TSVGBasic& Owner, TLayerNeeds Needs, TGPGraphics& Below, TLayerBudget& Budget, std::int64_t Pixels)
    : FOwner(Owner), FNeeds(std::move(Needs)), FBelow(Below), FBudget(Budget), FPixels(Pixels)
{
}

TLayer::~TLayer()
{
    FGraphics.reset();
    FBitmap.reset();
    FBudget.Give(FPixels);
}

std::unique_ptr<TLayer> TLayer::Open(TSVGBasic& Owner, TLayerNeeds Needs, TGPGraphics& Below, TLayerBudget& Budget)
{
    int W = 0, H = 0;
    if (!Below.GetSurfaceSize(W, H) || !Budget.Take(std::int64_t(W) * H)) return nullptr;
    std::unique_ptr<TLayer> Layer(new TLayer(Owner, std::move(Needs), Below, Budget, std::int64_t(W) * H));
    Layer->FBitmap = std::make_unique<TGPBitmap>(W, H, PixelFormat32bppARGB);
    if (Layer->FBitmap->GetLastStatus() != Ok) return nullptr;
    Layer->FGraphics = std::make_unique<TGPGraphics>(Layer->FBitmap.get());
    Layer->FGraphics->SetSmoothingMode(Below.GetSmoothingMode());
    Layer->FGraphics->SetDeviceTransform(Below.GetDeviceTransform());
    return Layer;
}

void TLayer::Compose()
{
    RunFilterStep(*this);
    // The clip and the opacity are applied as the layer is blended: both only scale each pixel.
    FBelow.ResetTransform();
    if (FNeeds.Clip) FBelow.SetClip(&*FNeeds.Clip, CombineModeReplace);
    RunMaskStep(*this);
    FBelow.DrawLayer(FBitmap.get(), FNeeds.Opacity, FNeeds.Blend);
    FBelow.ResetClip();
}

bool PaintsFillAndStroke(const TSVGBasic& Element)
{
    const bool Fill = !Element.GetFillURI().empty() || Element.GetFillColor() >= 0;
    const bool Stroke =
        (!Element.GetStrokeURI().empty() || Element.GetStrokeColor() >= 0) && Element.GetStrokeWidth() > 0;
    return Fill && Stroke;
}

std::optional<TGPGraphicsPath> DeviceClipArea(TSVGBasic& Element)
{
    TSVGClipPath* Clip = ReferencedClip(Element);
    if (!Clip) return std::nullopt;
    std::vector<const TSVGClipPath*> Visiting;
    std::optional<TGPGraphicsPath> Area = Clip->AreaFor(Element, Visiting);
    if (Area && Element.GetMatrix().IsTransform()) Area->Transform(ToGPMatrix(Element.GetMatrix()).get());
    return Area;
}

TLayerNeeds LayerNeedsOf(TSVGBasic& Element, std::optional<TGPGraphicsPath> Clip)
{
    TLayerNeeds Needs;
    const bool Group = HasBasicChild(Element);
    Needs.Mask = ReferencedMask(Element);
    Needs.Blend = BlendModeOf(Element);
    // Markers belong to the element's picture: its opacity applies to them and its fill and stroke as one.
    // A layer opened for a mask or a blend takes the opacity too, as the brush then paints at full strength.
    if (Element.GetOpacity() < 1 &&
        (Group || PaintsFillAndStroke(Element) || Element.HasMarkers() || Needs.Mask || Needs.Blend != BlendModeNormal))
        Needs.Opacity = Element.GetOpacity();
    Needs.Isolate = Group && TrimView(Element.GetStyle().GetValues("isolation")) == "isolate";
    if (Clip && (Group || Needs.Opacity < 1 || Needs.Mask || Needs.Blend != BlendModeNormal))
        Needs.Clip = std::move(Clip);
    // A layer opened for another reason carries the opacity too: its content then paints at full strength.
    if (Needs.Any()) Needs.Opacity = Element.GetOpacity();
    return Needs;
}

BlendMode BlendModeOf(const TSVGBasic& Element)
{
    struct TRow {
        std::string_view Keyword;
        BlendMode Mode;
    };
    static constexpr TRow Rows[] = {
        {"multiply", BlendModeMultiply},     {"screen", BlendModeScreen},        {"overlay", BlendModeOverlay},
        {"darken", BlendModeDarken},         {"lighten", BlendModeLighten},      {"color-dodge", BlendModeColorDodge},
        {"color-burn", BlendModeColorBurn},  {"hard-light", BlendModeHardLight}, {"soft-light", BlendModeSoftLight},
        {"difference", BlendModeDifference}, {"exclusion", BlendModeExclusion},  {"hue", BlendModeHue},
        {"saturation", BlendModeSaturation}, {"color", BlendModeColor},          {"luminosity", BlendModeLuminosity},
    };
    const std::string Value = Element.GetStyle().GetValues("mix-blend-mode");
    const std::string_view Keyword = TrimView(Value);
    for (const TRow& Row : Rows)
        if (Row.Keyword == Keyword) return Row.Mode;
    return BlendModeNormal;
}

std::unique_ptr<TGPBitmap> PaintChildrenToLayer(TSVGObject& Container, const TGPGraphics& Like)
{
    int W = 0, H = 0;
    if (!Like.GetSurfaceSize(W, H)) return nullptr;
    auto Bitmap = std::make_unique<TGPBitmap>(W, H, PixelFormat32bppARGB);
    if (Bitmap->GetLastStatus() != Ok) return nullptr;
    TGPGraphics Graphics(Bitmap.get());
    Graphics.SetSmoothingMode(Like.GetSmoothingMode());
    Graphics.SetDeviceTransform(Like.GetDeviceTransform());
    for (int I = 0; I < Container.GetCount(); ++I) PaintTree(*Container.GetItem(I), Graphics);
    return Bitmap;
}

}  // namespace plumwick
