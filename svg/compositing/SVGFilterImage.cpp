#include "svg/compositing/SVGFilterImage.h"

#include <algorithm>
#include <vector>

#include "platform/GdiPlus.h"
#include "svg/base/SVGAspectRatio.h"
#include "svg/base/SVGCommon.h"
#include "svg/base/SVGParse.h"
#include "svg/core/SVGDocument.h"
#include "svg/images/SVGImage.h"

namespace plumwick {

using namespace filters;

namespace {

std::unique_ptr<TGPGraphics> CanvasGraphics(TGPBitmap& Bitmap, const TFilterCanvas& Canvas, const TGPGraphics& Like)
{
    auto G = std::make_unique<TGPGraphics>(&Bitmap);
    G->SetSmoothingMode(Like.GetSmoothingMode());
    G->SetInterpolationMode(InterpolationModeHighQuality);
    G->SetDeviceTransform(*ToGPMatrix(Canvas.DeviceToCanvas));
    return G;
}

// Paints Element and what lies below it, skipping what is hidden; the element's place in the tree
// (inside defs, say) does not hide it.
void PaintElement(TSVGObject& Element, TGPGraphics& Graphics)
{
    std::vector<TSVGObject*> Stack{&Element};
    while (!Stack.empty()) {
        TSVGObject* Current = Stack.back();
        Stack.pop_back();
        if (Current->GetDisplayCode() == 0 || Current->GetVisibleCode() == 0 ||
            Current->GetStyle().GetValues("display") == "none")
            continue;
        Current->PaintToGraphics(Graphics);
        for (int I = Current->GetCount() - 1; I >= 0; --I) Stack.push_back(Current->GetItem(I));
    }
}

}  // namespace

TFilterImage FeImagePicture(const TFilterNode& Node, const TUserRect& Subregion, const TFilterTarget& Target,
                            const TFilterCanvas& Canvas, const TGPGraphics& Like)
{
    TFilterImage Empty(Canvas.Width, Canvas.Height);
    std::string Ref = Node.Has("xlink:href") ? Node.Get("xlink:href") : Node.Get("href");
    if (Ref.empty() || !Target.Element) return Empty;
    TGPBitmap Bitmap(Canvas.Width, Canvas.Height);
    if (Bitmap.GetLastStatus() != Ok) return Empty;
    TSVG* Root = Target.Element->GetRoot();
    if (Ref[0] == '#') {
        TSVGObject* Element = Root ? Root->FindByID(Ref.substr(1)) : nullptr;
        // An element that holds the filtered one would draw itself without end.
        for (const TSVGObject* P = Target.Element; Element && P; P = P->GetParent())
            if (P == Element) Element = nullptr;
        if (!Element) return Empty;
        // The element is placed as a use at the subregion's corner would place it.
        auto G = CanvasGraphics(Bitmap, Canvas, Like);
        const TMatrix& F = Target.UserToDevice;
        G->SetDeviceTransform(
            *ToGPMatrix(Canvas.DeviceToCanvas * CreateTranslation(F.m11 * Subregion.X + F.m21 * Subregion.Y,
                                                                  F.m12 * Subregion.X + F.m22 * Subregion.Y)));
        PaintElement(*Element, *G);
    } else {
        std::string Text = Ref;
        std::optional<std::vector<std::uint8_t>> Bytes;
        if (TSVGImage::ParseDataURI(Text)) {
            Bytes = DecodeBase64(Text);
        } else if (Text.find("://") == std::string::npos) {
            std::string Path = Text;
            const std::string& Doc = Root ? Root->GetFileName() : std::string();
            const std::size_t Slash = Doc.find_last_of('/');
            if (!Path.empty() && Path[0] != '/' && Slash != std::string::npos) Path = Doc.substr(0, Slash + 1) + Path;
            Bytes = ReadRegularFile(Path, SVGMaxImageFileSize);
        }
        if (!Bytes) return Empty;
        TGPImage Picture{std::span<const std::uint8_t>(*Bytes)};
        const float W = float(Picture.GetWidth()), H = float(Picture.GetHeight());
        if (!(W > 0) || !(H > 0) || !(Subregion.Width > 0) || !(Subregion.Height > 0)) return Empty;
        const TGPRectF Dest = PlaceInBox(W, H, TGPRectF{Subregion.X, Subregion.Y, Subregion.Width, Subregion.Height},
                                         ParseAspectRatio(Node.Get("preserveAspectRatio")));
        auto G = CanvasGraphics(Bitmap, Canvas, Like);
        G->SetDeviceTransform(TGPMatrix());
        G->SetTransform(
            ToGPMatrix(Target.UserToDevice * CreateTranslation(-float(Canvas.OriginX), -float(Canvas.OriginY))).get());
        G->SetClip(TGPRectF{Subregion.X, Subregion.Y, Subregion.Width, Subregion.Height});
        G->DrawImage(&Picture, Dest);
    }
    std::vector<std::uint32_t> Pixels;
    if (!Bitmap.GetPixels(Pixels)) return Empty;
    return TFilterImage::FromStraightArgb(Pixels, Canvas.Width, Canvas.Height);
}

}  // namespace plumwick
