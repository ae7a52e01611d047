// libFuzzer target: any bytes as SVG text, loaded and, when that succeeds, painted at 24 x 24 through
// RenderToBitmap, the function the exporters use.
#include "platform/GdiPlusGraphics.h"
#include "platform/GdiPlusImage.h"
#include "platform/GuiSession.h"
#include "platform/Xml.h"
#include "svg/base/SVGError.h"
#include "svg/compositing/SVGRender.h"
#include "svg/core/SVGDocument.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string_view>

using namespace plumwick;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Held for the whole run, as a program's main holds it; libFuzzer ends the process from within.
    static const TGuiSession session;
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
    try {
        RenderToBitmap(document, 24, 24);
    } catch (const ESVGError&) {
        // Content found broken while painting (a bad reference, say) is a clean refusal too.
    }
    return 0;
}
