#include "svg/paint/SVGPattern.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "gdip/GDIPOBJ2.h"
#include "platform/GdiPlus.h"
#include "svg/base/CSSTransform.h"
#include "svg/base/SVGCommon.h"
#include "svg/base/SVGParse.h"
#include "svg/core/SVGDocument.h"
#include "svg/paint/SVGPaint.h"
#include "svg/structure/SVGNesting.h"

namespace plumwick {

namespace {

// Largest side of a tile bitmap, in pixels.
constexpr double MaxTilePixels = 4096;

std::optional<std::string> Attribute(const TXmlNode& Node, std::string_view Name)
{
    return Node.FindAttribute(Name);
}

}  // namespace

void TSVGPattern::AssignTo(TSVGObject& Dest) const
{
    TSVGBasic::AssignTo(Dest);
    if (auto* D = dynamic_cast<TSVGPattern*>(&Dest)) {
        D->FHref = FHref;
        D->FRegion = FRegion;
        D->FPatternTransform = FPatternTransform;
        D->FViewBox = FViewBox;
        D->FAspect = FAspect;
    }
}

TSVGObject* TSVGPattern::NewLike(TSVGObject* Parent) const
{
    return CreateIn<TSVGPattern>(Parent);
}

void TSVGPattern::ReadIn(const TXmlNode& Node)
{
    TSVGBasic::ReadIn(Node);
    FPureMatrix = TMatrix{};  // placed by what it paints
    LoadString(Node, Node.HasAttribute("href") ? "href" : "xlink:href", FHref);
    FRegion.Read(Node, "patternUnits", "patternContentUnits");
    // A transform that cannot be inverted is ignored, as browsers do.
    if (auto Transform = Attribute(Node, "patternTransform"))
        if (const TMatrix M = ParseTransform(*Transform); M.m11 * M.m22 - M.m12 * M.m21 != 0) FPatternTransform = M;
    if (auto Box = Attribute(Node, "viewBox")) FViewBox = ParseViewBox(*Box);
    if (auto Aspect = Attribute(Node, "preserveAspectRatio")) FAspect = ParseAspectRatio(*Aspect);
    FDisplay = 0;
    LoadChildNodes(Node);
}

const TSVGPattern* TSVGPattern::Referenced() const
{
    if (FHref.size() < 2 || FHref.front() != '#') return nullptr;
    TSVG* Root = GetRoot();
    return Root ? dynamic_cast<const TSVGPattern*>(Root->FindByID(FHref)) : nullptr;
}

TSVGPattern::TTile TSVGPattern::ResolveTile() const
{
    TTile Tile;
    TUnitRegion Region;
    std::optional<TMatrix> Transform;
    std::optional<TRectF> ViewBox;
    std::optional<TAspectRatio> Aspect;
    std::vector<const TSVGPattern*> Seen;
    // The chain ends at a pattern seen before, so a reference loop is followed once round.
    for (const TSVGPattern* P = this; P && std::find(Seen.begin(), Seen.end(), P) == Seen.end(); P = P->Referenced()) {
        Seen.push_back(P);
        auto Take = [](auto& Into, const auto& From) {
            if (!Into && From) Into = From;
        };
        Region.TakeMissing(P->FRegion);
        if (!Transform && P->FPatternTransform) Tile.TransformOrigin = P->GetStyle().GetValues("transform-origin");
        Take(Transform, P->FPatternTransform);
        Take(ViewBox, P->FViewBox);
        Take(Aspect, P->FAspect);
        if (!Tile.Content && P->GetCount() > 0) Tile.Content = P;
    }
    Tile.X = Region.X.value_or("0");
    Tile.Y = Region.Y.value_or("0");
    Tile.Width = Region.Width.value_or("0");
    Tile.Height = Region.Height.value_or("0");
    Tile.UserSpaceUnits = Region.UserSpaceUnits.value_or(false);
    Tile.BoundingBoxContent = Region.BoundingBoxContent.value_or(false);
    Tile.Transform = Transform.value_or(TMatrix{});
    if (ViewBox && IsUsableBox(*ViewBox)) Tile.ViewBox = ViewBox;
    Tile.Aspect = Aspect.value_or(TAspectRatio{});
    return Tile;
}

std::unique_ptr<TGPBrush> TSVGPattern::GetBrush(std::uint8_t Alpha, TSVGBasic* DestObject)
{
    if (!DestObject) return nullptr;
    TReferenceGuard Guard(FPainting);
    if (!Guard.Entered()) return nullptr;
    TTile Tile = ResolveTile();
    const TGPRectF Box = ObjectBox(*DestObject);
    const bool BoxUnits = !Tile.UserSpaceUnits;
    if (BoxUnits && (!(Box.Width > 0) || !(Box.Height > 0))) return nullptr;
    float ViewportWidth = 0, ViewportHeight = 0;
    TUnitRegion::ViewportOf(*this, ViewportWidth, ViewportHeight);
    const float SizeX = BoxUnits ? Box.Width : ViewportWidth, SizeY = BoxUnits ? Box.Height : ViewportHeight;
    const float X = TUnitRegion::Resolve(Tile.X, BoxUnits, Box.X, SizeX);
    const float Y = TUnitRegion::Resolve(Tile.Y, BoxUnits, Box.Y, SizeY);
    const float W = TUnitRegion::Resolve(Tile.Width, BoxUnits, 0, SizeX);
    const float H = TUnitRegion::Resolve(Tile.Height, BoxUnits, 0, SizeY);
    if (!(W > 0) || !(H > 0) || !std::isfinite(W) || !std::isfinite(H) || !Tile.Content) return nullptr;

    if (Tile.Transform.IsTransform() && !Tile.TransformOrigin.empty()) {
        // Of the viewport in user units, of the element's box in bounding-box units.
        const TGPRectF Ref = BoxUnits ? Box : TGPRectF{0, 0, ViewportWidth, ViewportHeight};
        if (const std::optional<TPointF> O = ParseTransformOrigin(Tile.TransformOrigin, Ref.Width, Ref.Height))
            Tile.Transform = CreateTranslation(-(Ref.X + O->X), -(Ref.Y + O->Y)) * Tile.Transform *
                             CreateTranslation(Ref.X + O->X, Ref.Y + O->Y);
    }

    // Content → tile (origin at the tile's corner).
    TMatrix Content = IdentityMatrix();
    if (Tile.ViewBox)
        Content = ViewBoxMatrix(*Tile.ViewBox, Tile.Aspect, 0, 0, W, H);
    else if (Tile.BoundingBoxContent)
        Content = CreateScaling(Box.Width, Box.Height);

    // The tile's pixels follow the device scale of pattern space, so it is drawn once at full detail.
    TMatrix Device = DestObject->GetMatrix().IsTransform() ? DestObject->GetMatrix() : IdentityMatrix();
    if (Tile.Transform.IsTransform()) Device = Tile.Transform * Device;
    const double ScaleX = std::hypot(Device.m11, Device.m12), ScaleY = std::hypot(Device.m21, Device.m22);
    if (!(ScaleX > 0) || !(ScaleY > 0) || !std::isfinite(ScaleX) || !std::isfinite(ScaleY)) return nullptr;
    const int PixelsX = static_cast<int>(std::clamp(std::ceil(W * ScaleX - 1e-3), 1.0, MaxTilePixels));
    const int PixelsY = static_cast<int>(std::clamp(std::ceil(H * ScaleY - 1e-3), 1.0, MaxTilePixels));
    const float KX = PixelsX / W, KY = PixelsY / H;

    TGPBitmap Bitmap(PixelsX, PixelsY);
    if (Bitmap.GetLastStatus() != Ok) return nullptr;
    {
        TGPGraphics Layer(&Bitmap);
        Layer.SetSmoothingMode(SmoothingModeAntiAlias);
        auto* Source = const_cast<TSVGPattern*>(Tile.Content);
        Source->PlaceSubtree(Content * CreateScaling(KX, KY));
        PaintChildren(*Source, Layer);
        Layer.Flush();
    }
    if (Alpha < 255) {
        std::vector<std::uint32_t> Pixels;
        if (Bitmap.GetPixels(Pixels)) {
            for (std::uint32_t& P : Pixels) {
                const std::uint32_t A = (P >> 24) * Alpha / 255;
                P = (P & 0x00FFFFFFu) | (A << 24);
            }
            Bitmap.SetPixels(Pixels);
        }
    }
    auto Brush = std::make_unique<TGPTextureBrush>(&Bitmap);
    TMatrix ToUser = CreateScaling(1 / KX, 1 / KY) * CreateTranslation(X, Y);
    if (Tile.Transform.IsTransform()) ToUser = ToUser * Tile.Transform;
    Brush->SetTransform(ToGPMatrix(ToUser).get());
    return Brush;
}

}  // namespace plumwick
