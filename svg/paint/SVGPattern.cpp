#include "svg/paint/SVGPattern.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "gdip/GDIPOBJ2.h"
#include "platform/GdiPlus.h"
#include "svg/core/SVGCommon.h"
#include "svg/core/SVGDocument.h"
#include "svg/core/SVGParse.h"
#include "svg/structure/SVGNesting.h"
#include "svg/style/CSSTransform.h"

namespace plumwick {

namespace {

// Largest side of a tile bitmap, in pixels.
constexpr double MaxTilePixels = 4096;

std::optional<std::string> Attribute(const TXmlNode& Node, std::string_view Name)
{
    return Node.FindAttribute(Name);
}

// A length of the tile: a fraction (or percentage) of Size in bounding-box units, else user units
// (a percentage of the viewport's Viewport).
float TileLength(const std::string& Text, bool BoundingBox, float Origin, float Size, float Viewport)
{
    const std::string_view T = TrimView(Text);
    const bool Percent = GetLengthUnit(T) == luPercent;
    if (!BoundingBox)
        return Percent ? ParseLength(T) / 100 * Viewport : ParseLength(T);
    const float Fraction = Percent ? ParseLength(T) / 100 : ParseLength(T);
    return Origin + Fraction * Size;
}

TGPRectF OutlineBox(const TSVGBasic& Element)
{
    TGPRectF Box{};
    if (const TGPGraphicsPath2* Path = Element.GetPath())
        if (Path->GetBounds(Box) != Ok || !std::isfinite(Box.Width) || !std::isfinite(Box.Height))
            Box = TGPRectF{};
    return Box;
}

}  // namespace

void TSVGPattern::AssignTo(TSVGObject& Dest) const
{
    TSVGBasic::AssignTo(Dest);
    if (auto* D = dynamic_cast<TSVGPattern*>(&Dest)) {
        D->FHref = FHref;
        D->FXText = FXText;
        D->FYText = FYText;
        D->FWidthText = FWidthText;
        D->FHeightText = FHeightText;
        D->FUserSpaceUnits = FUserSpaceUnits;
        D->FBoundingBoxContent = FBoundingBoxContent;
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
    FXText = Attribute(Node, "x");
    FYText = Attribute(Node, "y");
    FWidthText = Attribute(Node, "width");
    FHeightText = Attribute(Node, "height");
    if (auto Units = Attribute(Node, "patternUnits"))
        FUserSpaceUnits = Trim(*Units) == "userSpaceOnUse";
    if (auto Units = Attribute(Node, "patternContentUnits"))
        FBoundingBoxContent = Trim(*Units) == "objectBoundingBox";
    // A transform that cannot be inverted is ignored, as browsers do.
    if (auto Transform = Attribute(Node, "patternTransform"))
        if (const TMatrix M = ParseTransform(*Transform); M.m11 * M.m22 - M.m12 * M.m21 != 0)
            FPatternTransform = M;
    if (auto Box = Attribute(Node, "viewBox"))
        FViewBox = ParseViewBox(*Box);
    if (auto Aspect = Attribute(Node, "preserveAspectRatio"))
        FAspect = ParseAspectRatio(*Aspect);
    FDisplay = 0;
    LoadChildNodes(Node);
}

const TSVGPattern* TSVGPattern::Referenced() const
{
    if (FHref.size() < 2 || FHref.front() != '#')
        return nullptr;
    TSVG* Root = GetRoot();
    return Root ? dynamic_cast<const TSVGPattern*>(Root->FindByID(FHref)) : nullptr;
}

TSVGPattern::TTile TSVGPattern::ResolveTile() const
{
    TTile Tile;
    std::optional<std::string> X, Y, W, H;
    std::optional<bool> UserSpace, BoxContent;
    std::optional<TMatrix> Transform;
    std::optional<TRectF> ViewBox;
    std::optional<TAspectRatio> Aspect;
    std::vector<const TSVGPattern*> Seen;
    // The chain ends at a pattern seen before, so a reference loop is followed once round.
    for (const TSVGPattern* P = this; P && std::find(Seen.begin(), Seen.end(), P) == Seen.end(); P = P->Referenced()) {
        Seen.push_back(P);
        auto Take = [](auto& Into, const auto& From) {
            if (!Into && From)
                Into = From;
        };
        Take(X, P->FXText);
        Take(Y, P->FYText);
        Take(W, P->FWidthText);
        Take(H, P->FHeightText);
        Take(UserSpace, P->FUserSpaceUnits);
        Take(BoxContent, P->FBoundingBoxContent);
        if (!Transform && P->FPatternTransform)
            Tile.TransformOrigin = P->GetStyle().GetValues("transform-origin");
        Take(Transform, P->FPatternTransform);
        Take(ViewBox, P->FViewBox);
        Take(Aspect, P->FAspect);
        if (!Tile.Content && P->GetCount() > 0)
            Tile.Content = P;
    }
    Tile.X = X.value_or("0");
    Tile.Y = Y.value_or("0");
    Tile.Width = W.value_or("0");
    Tile.Height = H.value_or("0");
    Tile.UserSpaceUnits = UserSpace.value_or(false);
    Tile.BoundingBoxContent = BoxContent.value_or(false);
    Tile.Transform = Transform.value_or(TMatrix{});
    if (ViewBox && IsUsableBox(*ViewBox))
        Tile.ViewBox = ViewBox;
    Tile.Aspect = Aspect.value_or(TAspectRatio{});
    return Tile;
}

std::unique_ptr<TGPBrush> TSVGPattern::GetBrush(std::uint8_t Alpha, TSVGBasic* DestObject)
{
    if (!DestObject)
        return nullptr;
    TReferenceGuard Guard(FPainting);
    if (!Guard.Entered())
        return nullptr;
    TTile Tile = ResolveTile();
    const TGPRectF Box = OutlineBox(*DestObject);
    const bool BoxUnits = !Tile.UserSpaceUnits;
    if (BoxUnits && (!(Box.Width > 0) || !(Box.Height > 0)))
        return nullptr;
    float ViewportWidth = 0, ViewportHeight = 0;
    if (const TSVG* Root = GetRoot()) {
        const TRectF& V = Root->GetViewBox();
        ViewportWidth = IsUsableBox(V) ? V.Right - V.Left : Root->GetWidth();
        ViewportHeight = IsUsableBox(V) ? V.Bottom - V.Top : Root->GetHeight();
    }
    const float X = TileLength(Tile.X, BoxUnits, Box.X, Box.Width, ViewportWidth);
    const float Y = TileLength(Tile.Y, BoxUnits, Box.Y, Box.Height, ViewportHeight);
    const float W = TileLength(Tile.Width, BoxUnits, 0, Box.Width, ViewportWidth);
    const float H = TileLength(Tile.Height, BoxUnits, 0, Box.Height, ViewportHeight);
    if (!(W > 0) || !(H > 0) || !std::isfinite(W) || !std::isfinite(H) || !Tile.Content)
        return nullptr;

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
    if (Tile.Transform.IsTransform())
        Device = Tile.Transform * Device;
    const double ScaleX = std::hypot(Device.m11, Device.m12), ScaleY = std::hypot(Device.m21, Device.m22);
    if (!(ScaleX > 0) || !(ScaleY > 0) || !std::isfinite(ScaleX) || !std::isfinite(ScaleY))
        return nullptr;
    const int PixelsX = static_cast<int>(std::clamp(std::ceil(W * ScaleX - 1e-3), 1.0, MaxTilePixels));
    const int PixelsY = static_cast<int>(std::clamp(std::ceil(H * ScaleY - 1e-3), 1.0, MaxTilePixels));
    const float KX = PixelsX / W, KY = PixelsY / H;

    TGPBitmap Bitmap(PixelsX, PixelsY);
    if (Bitmap.GetLastStatus() != Ok)
        return nullptr;
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
    if (Tile.Transform.IsTransform())
        ToUser = ToUser * Tile.Transform;
    Brush->SetTransform(ToGPMatrix(ToUser).get());
    return Brush;
}

}  // namespace plumwick
