// libFuzzer target: any bytes as SVG text, loaded and, when that succeeds, painted at 24 x 24 through the
// same natural-size-then-resample path the exporters use, but with the natural bitmap kept small so one
// input stays fast.
#include "platform/GdiPlusFont.h"
#include "platform/GdiPlusGraphics.h"
#include "platform/GdiPlusImage.h"
#include "platform/Xml.h"
#include "svg/SVGDocument.h"
#include "svg/SVGError.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string_view>

using namespace plumwick;

namespace {

// Larger view boxes are painted scaled down to this, so a declared size of 10^6 costs nothing.
constexpr float kMaxNaturalSide = 256;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    EnsureGuiApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TSVG document;
    try {
        document.LoadFromText(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const ESVGError&) {
        return 0;
    } catch (const EXmlError&) {
        return 0;
    }
    const TRectF& box = document.GetViewBox();
    float width = std::isfinite(box.Right) && box.Right > 0 ? box.Right : 24;
    float height = std::isfinite(box.Bottom) && box.Bottom > 0 ? box.Bottom : 24;
    const float shrink = std::min(1.0f, kMaxNaturalSide / std::max(width, height));
    width = std::max(1.0f, width * shrink);
    height = std::max(1.0f, height * shrink);

    TGPBitmap natural(static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height)),
                      PixelFormat32bppARGB);
    {
        TGPGraphics graphics(&natural);
        try {
            document.PaintTo(graphics, TGPRectF{0, 0, width, height});
        } catch (const ESVGError&) {
            // Content found broken while painting (a bad reference, say) is a clean refusal too.
        }
    }
    TGPBitmap target(24, 24, PixelFormat32bppARGB);
    TGPGraphics graphics(&target);
    graphics.SetInterpolationMode(InterpolationModeHighQuality);
    graphics.DrawImage(&natural, TGPRectF{0, 0, 24, 24});
    return 0;
}
