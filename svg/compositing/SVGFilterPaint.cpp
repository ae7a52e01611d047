#include "svg/compositing/SVGFilterPaint.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

#include "gdip/GDIPOBJ2.h"
#include "platform/GdiPlus.h"
#include "svg/base/SVGCommon.h"
#include "svg/base/SVGParse.h"
#include "svg/compositing/SVGFilter.h"
#include "svg/compositing/SVGFilterBuild.h"
#include "svg/compositing/SVGFilterFunctions.h"
#include "svg/compositing/SVGFilterImage.h"
#include "svg/compositing/filters/FilterRun.h"
#include "svg/core/SVGBasic.h"
#include "svg/core/SVGBounds.h"
#include "svg/core/SVGDocument.h"

namespace plumwick {

using namespace filters;

namespace {

// Filtered elements inside filtered elements each hold a canvas; deeper nesting paints unfiltered.
constexpr int MaxFilterNesting = 8;
// The canvas reaches at most this fraction of the surface's size beyond each of its edges, so
// content shifted in from just outside still shows while a huge region costs nothing extra.
constexpr float CanvasMargin = 0.5f;
// Most pixels of one filter canvas (each working image takes 16 bytes per pixel).
constexpr long long MaxCanvasPixels = 8ll * 1024 * 1024;

thread_local std::vector<const TSVGObject*> Filtering;

struct TFilteringGuard {
    explicit TFilteringGuard(const TSVGObject* Node) { Filtering.push_back(Node); }
    ~TFilteringGuard() { Filtering.pop_back(); }
};

TMatrix Inverse(const TMatrix& M)
{
    const float Det = M.m11 * M.m22 - M.m12 * M.m21;
    if (Det == 0 || !std::isfinite(Det)) return TMatrix{};
    TMatrix R = IdentityMatrix();
    R.m11 = M.m22 / Det;
    R.m12 = -M.m12 / Det;
    R.m21 = -M.m21 / Det;
    R.m22 = M.m11 / Det;
    R.m31 = -(M.m31 * R.m11 + M.m32 * R.m21);
    R.m32 = -(M.m31 * R.m12 + M.m32 * R.m22);
    return R;
}

// One filter of the list, ready to run.
struct TStage {
    TUserRect Region;  // user space
    TResolvedFilter Filter;
    const TFilterItem* Item = nullptr;
};

// Filter functions have no region of their own: the box grows by what the function can spread.
std::optional<TUserRect> FunctionRegion(const TFilterItem& Item, const TFilterTarget& Target)
{
    if (!Target.BBox) return std::nullopt;
    TUserRect R = *Target.BBox;
    float Spread = 0.5f * std::max(R.Width, R.Height);  // room for strokes and markers
    if (Item.Function == "blur" && !Item.Numbers.empty()) Spread += 3 * Item.Numbers[0];
    if (Item.Function == "drop-shadow" && Item.Numbers.size() == 3)
        Spread += 3 * Item.Numbers[2] + std::max(std::abs(Item.Numbers[0]), std::abs(Item.Numbers[1]));
    R.X -= Spread;
    R.Y -= Spread;
    R.Width += 2 * Spread;
    R.Height += 2 * Spread;
    return R;
}

}  // namespace

bool IsFilterSource(const TSVGObject& Node)
{
    return std::find(Filtering.begin(), Filtering.end(), &Node) != Filtering.end();
}

bool NeedsFilter(const TSVGObject& Node)
{
    if (std::find(Filtering.begin(), Filtering.end(), &Node) != Filtering.end()) return false;
    const std::string Text = Node.GetStyle().GetValues("filter");
    return !Text.empty() && TrimView(Text) != "none";
}

void PaintFiltered(TSVGObject& Node, TGPGraphics& Graphics)
{
    TFilteringGuard Guard(&Node);
    auto* Element = dynamic_cast<TSVGBasic*>(&Node);
    TSVG* Root = Node.GetRoot();
    auto* Document = const_cast<TSVG*>(Node.AsDocument());
    const std::string Current = Element ? Element->GetStyle().GetValues("color") : std::string();
    const auto Items = ParseFilterList(Node.GetStyle().GetValues("filter"), Current.empty() ? "black" : Current);
    if (!Items || Items->empty() || !Element || Filtering.size() > MaxFilterNesting) {
        PaintTree(Node, Graphics);
        return;
    }

    // Filters work in the element's user space scaled to device pixels. Under a rotation or skew
    // that space is not the device's: the canvas then lies in it, and the result is drawn turned.
    TMatrix M = Element->GetMatrix().IsTransform() ? Element->GetMatrix() : IdentityMatrix();
    if (Document) M = Document->GetMatrix().IsTransform() ? Document->GetMatrix() : IdentityMatrix();
    const bool AxisAligned = M.m12 == 0 && M.m21 == 0 && M.m11 > 0 && M.m22 > 0;
    const TMatrix FilterSpace = AxisAligned ? M : CreateScaling(std::hypot(M.m11, M.m12), std::hypot(M.m21, M.m22));
    const TMatrix DeviceToFilter = Inverse(M) * FilterSpace;
    if (!DeviceToFilter.IsTransform()) return;

    TFilterTarget Target;
    Target.UserToDevice = FilterSpace;
    if (const auto Box = SubtreeBoundingBox(Node)) Target.BBox = TUserRect{Box->X, Box->Y, Box->Width, Box->Height};
    Target.Element = Element;
    if (Root) {
        const TRectF& View = Root->GetViewBox();
        Target.ViewportWidth = View.Width() > 0 ? View.Width() : Root->GetWidth();
        Target.ViewportHeight = View.Height() > 0 ? View.Height() : Root->GetHeight();
    }

    std::vector<TStage> Stages;
    for (const TFilterItem& Item : *Items) {
        TStage Stage;
        Stage.Item = &Item;
        if (Item.Function.empty()) {
            auto* Filter = Root && !Item.Id.empty() ? dynamic_cast<TSVGFilter*>(Root->FindByID(Item.Id)) : nullptr;
            if (!Filter) return;  // a reference to nothing: the element is not drawn
            Stage.Filter = ResolveFilter(*Filter, Root);
        }
        const auto Region = Item.Function.empty() ? FilterRegion(Stage.Filter, Target) : FunctionRegion(Item, Target);
        if (!Region) return;
        Stage.Region = *Region;
        Stages.push_back(std::move(Stage));
    }

    // The canvas: every region's box, within the surface and its margin.
    int SurfaceWidth = 0, SurfaceHeight = 0;
    if (!Graphics.GetSurfaceSize(SurfaceWidth, SurfaceHeight)) return;  // no pixels to filter into
    const std::array<float, 6> D = Graphics.GetDeviceTransform().GetElements();
    const TMatrix PixelsToDevice = Inverse(TMatrix{D[0], D[1], 0, D[2], D[3], 0, D[4], D[5], 1});
    const TUserRect Surface = DeviceBox({-SurfaceWidth * CanvasMargin, -SurfaceHeight * CanvasMargin,
                                         SurfaceWidth * (1 + 2 * CanvasMargin), SurfaceHeight * (1 + 2 * CanvasMargin)},
                                        PixelsToDevice * DeviceToFilter);
    float L = 1e30f, T = 1e30f, R = -1e30f, B = -1e30f;
    for (const TStage& S : Stages) {
        const TUserRect Box = DeviceBox(S.Region, FilterSpace);
        L = std::min(L, Box.X), T = std::min(T, Box.Y);
        R = std::max(R, Box.X + Box.Width), B = std::max(B, Box.Y + Box.Height);
    }
    L = std::max(L, Surface.X);
    T = std::max(T, Surface.Y);
    R = std::min(R, Surface.X + Surface.Width);
    B = std::min(B, Surface.Y + Surface.Height);
    if (!(R > L) || !(B > T)) return;
    TFilterCanvas Canvas;
    Canvas.OriginX = static_cast<int>(std::floor(L));
    Canvas.OriginY = static_cast<int>(std::floor(T));
    Canvas.Width = static_cast<int>(std::ceil(R)) - Canvas.OriginX;
    Canvas.Height = static_cast<int>(std::ceil(B)) - Canvas.OriginY;
    if (Canvas.Width <= 0 || Canvas.Height <= 0 || (long long)Canvas.Width * Canvas.Height > MaxCanvasPixels) {
        PaintTree(Node, Graphics);
        return;
    }
    Canvas.DeviceToCanvas = DeviceToFilter * CreateTranslation(-float(Canvas.OriginX), -float(Canvas.OriginY));

    // The element as it would be drawn, on the canvas.
    TGPBitmap Layer(Canvas.Width, Canvas.Height);
    if (Layer.GetLastStatus() != Ok) return;
    {
        TGPGraphics Offscreen(&Layer);
        Offscreen.SetSmoothingMode(Graphics.GetSmoothingMode());
        Offscreen.SetDeviceTransform(*ToGPMatrix(Canvas.DeviceToCanvas));
        PaintTree(Node, Offscreen);
    }
    Target.ImageSource = [&](const TFilterNode& ImageNode, const TUserRect& Subregion) {
        return FeImagePicture(ImageNode, Subregion, Target, Canvas, Graphics);
    };
    std::vector<std::uint32_t> Pixels;
    if (!Layer.GetPixels(Pixels)) return;
    TFilterImage Image = TFilterImage::FromStraightArgb(Pixels, Canvas.Width, Canvas.Height);

    const float SX = std::hypot(FilterSpace.m11, FilterSpace.m12);
    const float SY = std::hypot(FilterSpace.m21, FilterSpace.m22);
    for (const TStage& S : Stages) {
        const TUserRect Box = DeviceBox(S.Region, FilterSpace);
        const int RL = static_cast<int>(std::lround(Box.X)) - Canvas.OriginX;
        const int RT = static_cast<int>(std::lround(Box.Y)) - Canvas.OriginY;
        const int RR = static_cast<int>(std::lround(Box.X + Box.Width)) - Canvas.OriginX;
        const int RB = static_cast<int>(std::lround(Box.Y + Box.Height)) - Canvas.OriginY;
        const TIntRect Region{RL, RT, RR - RL, RB - RT};
        std::vector<TFilterPrimitive> Primitives = S.Item->Function.empty()
                                                       ? BuildPrimitives(S.Filter, Target, S.Region, Canvas)
                                                       : FunctionPrimitives(*S.Item, SX, SY);
        Image = RunFilter(Primitives, Image, Region);
    }

    if (Layer.SetPixels(Image.ToStraightArgb()) != Ok) return;
    const TMatrix CanvasToDevice = Inverse(Canvas.DeviceToCanvas);
    Graphics.SetTransform(ToGPMatrix(CanvasToDevice).get());
    Graphics.DrawImage(&Layer, 0, 0);
    Graphics.ResetTransform();
}

}  // namespace plumwick
