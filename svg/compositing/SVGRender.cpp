#include "svg/compositing/SVGRender.h"

#include <cmath>
#include <stdexcept>

#include "platform/GdiPlus.h"
#include "platform/GuiSession.h"
#include "svg/base/SVGColor.h"
#include "svg/core/SVGDocument.h"

namespace plumwick {

namespace {

bool Usable(float Value)
{
    return std::isfinite(Value) && Value > 0;
}

}  // namespace

std::unique_ptr<TGPBitmap> RenderToBitmap(TSVG& Document, int Width, int Height, const TRenderOptions& Options)
{
    // Without the application object text would vanish silently; a program that forgot it is told at once.
    if (!HasGuiApplication()) throw std::logic_error(kNoGuiApplication);
    if (Width < 1 || Height < 1 || Width > MaxRenderSide || Height > MaxRenderSide) return nullptr;
    auto Target = std::make_unique<TGPBitmap>(Width, Height, PixelFormat32bppARGB);
    if (Target->GetLastStatus() != Ok) return nullptr;
    TGPGraphics Graphics(Target.get());
    Graphics.SetSmoothingMode(Options.AntiAlias ? SmoothingModeAntiAlias : SmoothingModeNone);
    // A document on its own is its canvas: browsers paint the root's CSS background colour under it.
    const TColor Background = ParseColor(Document.GetStyle().GetValues("background-color"));
    if (IsColorValue(Background) && Graphics.Clear(ColorToARGB(Background, ColorAlpha(Background))) != Ok)
        return nullptr;
    const float W = static_cast<float>(Width), H = static_cast<float>(Height);
    if (!Options.Stretch) {
        Document.PaintTo(Graphics, FitCentred(TGPRectF{0, 0, W, H}, Document.GetWidth(), Document.GetHeight()));
        return Target;
    }
    // The document keeps its own size as its output rectangle, and the surface's transform (which the
    // document composes last) stretches that onto the target: every outline is still drawn at the target's
    // resolution.
    const TRectF& ViewBox = Document.GetViewBox();
    float NaturalWidth = Document.GetWidth(), NaturalHeight = Document.GetHeight();
    if (!Usable(NaturalWidth) || !Usable(NaturalHeight)) {
        NaturalWidth = ViewBox.Right - ViewBox.Left;
        NaturalHeight = ViewBox.Bottom - ViewBox.Top;
    }
    if (!Usable(NaturalWidth) || !Usable(NaturalHeight))
        return Target;  // nothing to map onto the target: it stays transparent
    Graphics.ScaleTransform(W / NaturalWidth, H / NaturalHeight);
    Document.PaintTo(Graphics, TGPRectF{0, 0, NaturalWidth, NaturalHeight});
    return Target;
}

}  // namespace plumwick
