// Inputs found to take far more time or memory than their size warrants, or to crash: each now loads and
// paints, or is refused with a load error, quickly and within bounded memory.
#include "platform/GdiPlusGraphics.h"
#include "platform/GdiPlusImage.h"
#include "svg/base/SVGError.h"
#include "svg/compositing/SVGRender.h"
#include "svg/core/SVGDocument.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Repeat(const std::string& piece, int times)
{
    std::string text;
    text.reserve(piece.size() * times);
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

// Count use elements, each naming the one before it; the first names a small rectangle.
std::string UseChain(int count)
{
    std::string text =
        R"(<svg xmlns:xlink="http://www.w3.org/1999/xlink" width="20" height="20"><rect id="u0" width="4" height="4"/>)";
    for (int i = 1; i <= count; ++i)
        text += "<use id=\"u" + std::to_string(i) + "\" xlink:href=\"#u" + std::to_string(i - 1) + "\" x=\"0.01\"/>";
    return text + "</svg>";
}

struct Case {
    const char* label;
    std::string svg;
    bool refused;  // LoadFromText raises ESVGError
};

TEST(HostileInput, LoadsAndPaintsOrIsRefused)
{
    const Case cases[] = {
        // Every character kept its own outline: 300 000 of them took 9 s and 780 MB before anything was drawn.
        {"one text of 300000 characters",
         R"(<svg viewBox="0 0 10 10"><text x="0" y="5" font-size="2">)" + Repeat("AV", 150000) + "</text></svg>", true},
        {"the same in three-byte characters",
         R"(<svg viewBox="0 0 10 10"><text font-size="2">)" + Repeat("\xE5\x9B\xBE", 260000) + "</text></svg>", true},
        {"a text of 2000 characters",
         R"(<svg viewBox="0 0 10 10"><text font-size="2">)" + Repeat("Ab", 1000) + "</text></svg>", false},
        // Each use copies all before it: the copies grow with the square of the chain. 20 000 took 25 s to refuse.
        {"a chain of 20000 use elements", UseChain(20000), true},
        {"a chain of 3000 use elements", UseChain(3000), true},
        {"a chain of 200 use elements", UseChain(200), false},
        {"use elements naming each other",
         R"(<svg xmlns:xlink="http://www.w3.org/1999/xlink"><use id="a" xlink:href="#b"/><use id="b" xlink:href="#a"/></svg>)",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        plumwick::TSVG document;
        if (c.refused) {
            EXPECT_THROW(document.LoadFromText(c.svg), plumwick::ESVGError);
            continue;
        }
        ASSERT_NO_THROW(document.LoadFromText(c.svg));
        EXPECT_NE(plumwick::RenderToBitmap(document, 24, 24), nullptr);
    }
}

}  // namespace
