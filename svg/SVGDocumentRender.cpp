// The document's own drawing calls go through the renderer, which sits above every element room.

#include "svg/core/SVGDocument.h"

#include "platform/GdiPlus.h"
#include "svg/compositing/SVGRender.h"

namespace plumwick {

std::unique_ptr<TGPBitmap> TSVG::RenderToBitmap(int Width, int Height)
{
    TRenderOptions Options;
    Options.Stretch = false;
    return plumwick::RenderToBitmap(*this, Width, Height, Options);
}

std::unique_ptr<TGPBitmap> TSVG::RenderToIcon(int Size)
{
    return RenderToBitmap(Size, Size);
}

}  // namespace plumwick
