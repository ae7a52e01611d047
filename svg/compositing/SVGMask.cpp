#include "svg/compositing/SVGMask.h"

#include <algorithm>
#include <cmath>

#include "gdip/GDIPOBJ2.h"
#include "platform/GdiPlus.h"
#include "svg/base/SVGCommon.h"
#include "svg/base/SVGParse.h"
#include "svg/core/SVGBounds.h"
#include "svg/core/SVGDocument.h"
#include "svg/structure/SVGNesting.h"

namespace plumwick {

namespace {

float MaskLength(const std::optional<std::string>& Text, float Default, bool BoundingBox, float Origin, float Size)
{
    // The defaults are percentages: of the box, or of the viewport in user space.
    if (!Text) return BoundingBox ? Origin + Default * Size : Default * Size;
    return TUnitRegion::Resolve(*Text, BoundingBox, Origin, Size);
}

TMatrix CompleteOf(const TSVGBasic& Node)
{
    return Node.GetMatrix().IsTransform() ? Node.GetMatrix() : IdentityMatrix();
}

}  // namespace

void TSVGMask::AssignTo(TSVGObject& Dest) const
{
    TSVGBasic::AssignTo(Dest);
    if (auto* D = dynamic_cast<TSVGMask*>(&Dest)) {
        D->FRegion = FRegion;
        D->FAlpha = FAlpha;
    }
}

TSVGObject* TSVGMask::NewLike(TSVGObject* Parent) const
{
    return CreateIn<TSVGMask>(Parent);
}

void TSVGMask::ReadIn(const TXmlNode& Node)
{
    TSVGBasic::ReadIn(Node);
    FPureMatrix = TMatrix{};  // placed by the element it masks
    FRegion.Read(Node, "maskUnits", "maskContentUnits");
    FAlpha = Trim(GetStyle().GetValues("mask-type")) == "alpha";
    FDisplay = 0;
    LoadChildNodes(Node);
}

std::optional<std::vector<float>> TSVGMask::Coverage(const TSVGBasic& Target, int Width, int Height, bool AntiAlias)
{
    TReferenceGuard Guard(FPainting);
    if (!Guard.Entered()) return std::nullopt;
    const std::size_t Count = static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height);
    std::vector<float> Result(Count, 0.0f);
    const TGPRectF Box = SubtreeBoundingBox(Target).value_or(TGPRectF{});
    const bool BoxUnits = !FRegion.UserSpaceUnits.value_or(false);
    if (BoxUnits && (!(Box.Width > 0) || !(Box.Height > 0)))
        return Result;  // nothing to size the mask by: nothing shows
    float ViewportWidth = 0, ViewportHeight = 0;
    TUnitRegion::ViewportOf(*this, ViewportWidth, ViewportHeight);
    const float X = MaskLength(FRegion.X, -0.1f, BoxUnits, Box.X, BoxUnits ? Box.Width : ViewportWidth);
    const float Y = MaskLength(FRegion.Y, -0.1f, BoxUnits, Box.Y, BoxUnits ? Box.Height : ViewportHeight);
    const float W = MaskLength(FRegion.Width, 1.2f, BoxUnits, 0, BoxUnits ? Box.Width : ViewportWidth);
    const float H = MaskLength(FRegion.Height, 1.2f, BoxUnits, 0, BoxUnits ? Box.Height : ViewportHeight);
    if (!(W > 0) || !(H > 0)) return Result;
    const TMatrix Device = CompleteOf(Target);
    TGPBitmap Layer(Width, Height);
    TGPBitmap Region(Width, Height);
    if (Layer.GetLastStatus() != Ok || Region.GetLastStatus() != Ok) return Result;
    {
        TGPGraphics G(&Layer);
        if (AntiAlias) G.SetSmoothingMode(SmoothingModeAntiAlias);
        const TMatrix Content = FRegion.BoundingBoxContent.value_or(false)
                                    ? CreateScaling(Box.Width, Box.Height) * CreateTranslation(Box.X, Box.Y)
                                    : IdentityMatrix();
        PlaceSubtree(Content * Device);
        PaintChildren(*this, G);
        G.Flush();
        TGPGraphics R(&Region);
        if (AntiAlias) R.SetSmoothingMode(SmoothingModeAntiAlias);
        R.SetTransform(ToGPMatrix(Device).get());
        TGPSolidBrush Opaque(0xFF000000);
        R.FillRectangle(&Opaque, TGPRectF{X, Y, W, H});
        R.Flush();
    }
    std::vector<std::uint32_t> Pixels, Inside;
    if (!Layer.GetPixels(Pixels) || !Region.GetPixels(Inside)) return Result;
    for (std::size_t I = 0; I < Count; ++I) {
        const std::uint32_t P = Pixels[I];
        const float A = (P >> 24) / 255.0f;
        float Value = A;
        if (!FAlpha) {
            const float Red = ((P >> 16) & 0xFF) / 255.0f, Green = ((P >> 8) & 0xFF) / 255.0f,
                        Blue = (P & 0xFF) / 255.0f;
            Value = (0.2125f * Red + 0.7154f * Green + 0.0721f * Blue) * A;
        }
        Result[I] = Value * (Inside[I] >> 24) / 255.0f;
    }
    // A mask on the mask narrows it further, sized by the same element.
    const std::string Own = ParseURI(GetStyle().GetValues("mask"));
    if (!Own.empty())
        if (const TSVG* Root = GetRoot())
            if (auto* Outer = dynamic_cast<TSVGMask*>(const_cast<TSVG*>(Root)->FindByID(Own))) {
                // One that leads back to a mask being drawn is dropped, as browsers do.
                if (const std::optional<std::vector<float>> More = Outer->Coverage(Target, Width, Height, AntiAlias))
                    for (std::size_t I = 0; I < Count; ++I) Result[I] *= (*More)[I];
            }
    return Result;
}

TSVGMask* ReferencedMask(const TSVGBasic& Element)
{
    const std::string URI = ParseURI(Element.GetStyle().GetValues("mask"));
    if (URI.empty()) return nullptr;
    TSVG* Root = Element.GetRoot();
    return Root ? dynamic_cast<TSVGMask*>(Root->FindByID(URI)) : nullptr;
}

void ApplyMask(TSVGMask& Mask, const TSVGBasic& Owner, TGPBitmap& Layer, bool AntiAlias)
{
    const int Width = static_cast<int>(Layer.GetWidth()), Height = static_cast<int>(Layer.GetHeight());
    if (Width <= 0 || Height <= 0) return;
    // A mask reached again while it is drawn (its content masked by itself) is dropped: the element
    // draws unmasked.
    const std::optional<std::vector<float>> Cover = Mask.Coverage(Owner, Width, Height, AntiAlias);
    if (!Cover) return;
    const TGPBitmap::TPremultipliedPixels Pixels = Layer.LockPremultiplied();
    if (Pixels.Width != Width || Pixels.Height != Height) return;
    for (int Y = 0; Y < Pixels.Height; ++Y)
        for (int X = 0; X < Pixels.Width; ++X) {
            std::uint32_t& P = Pixels.Data[static_cast<std::size_t>(Y) * Pixels.Stride + X];
            const float C = (*Cover)[static_cast<std::size_t>(Y) * Pixels.Width + X];
            if (C >= 1) continue;
            std::uint32_t Out = 0;
            for (int Shift : {0, 8, 16, 24}) {
                const auto Channel = static_cast<std::uint32_t>(std::lround(((P >> Shift) & 0xFF) * C));
                Out |= std::min<std::uint32_t>(Channel, 255) << Shift;
            }
            P = Out;
        }
}

}  // namespace plumwick
