#include "svg/core/SVGRegion.h"

#include "svg/base/SVGParse.h"
#include "svg/core/SVGDocument.h"

namespace plumwick {

void TUnitRegion::Read(const TXmlNode& Node, std::string_view UnitsName, std::string_view ContentUnitsName)
{
    X = Node.FindAttribute("x");
    Y = Node.FindAttribute("y");
    Width = Node.FindAttribute("width");
    Height = Node.FindAttribute("height");
    if (auto Units = Node.FindAttribute(UnitsName)) UserSpaceUnits = TrimView(*Units) == "userSpaceOnUse";
    if (auto Units = Node.FindAttribute(ContentUnitsName)) BoundingBoxContent = TrimView(*Units) == "objectBoundingBox";
}

void TUnitRegion::TakeMissing(const TUnitRegion& From)
{
    auto Take = [](auto& Into, const auto& Source) {
        if (!Into && Source) Into = Source;
    };
    Take(X, From.X);
    Take(Y, From.Y);
    Take(Width, From.Width);
    Take(Height, From.Height);
    Take(UserSpaceUnits, From.UserSpaceUnits);
    Take(BoundingBoxContent, From.BoundingBoxContent);
}

float TUnitRegion::Resolve(std::string_view Text, bool BoundingBox, float Origin, float Size)
{
    const std::string_view T = TrimView(Text);
    const bool Percent = GetLengthUnit(T) == luPercent;
    const float Value = Percent ? ParseLength(T) / 100 : ParseLength(T);
    if (BoundingBox) return Origin + Value * Size;
    return Percent ? Value * Size : Value;
}

void TUnitRegion::ViewportOf(const TSVGObject& Element, float& Width, float& Height)
{
    Width = Height = 0;
    for (const TSVGObject* N = &Element; N; N = N->GetParent()) {
        if (const TSVG* Root = N->AsDocument()) {
            const TRectF& V = Root->GetViewBox();
            const bool Usable = V.Right - V.Left > 0 && V.Bottom - V.Top > 0;
            Width = Usable ? V.Right - V.Left : Root->GetWidth();
            Height = Usable ? V.Bottom - V.Top : Root->GetHeight();
            return;
        }
        // An element's own viewport is not the one its own lengths are of. A viewport not sized yet
        // (a symbol before a use places it) leaves the search going.
        float W = 0, H = 0;
        const TSVGBasic* B = N->AsBasic();
        if (N != &Element && B && B->GetContentViewport(W, H) && W > 0 && H > 0) {
            Width = W;
            Height = H;
            return;
        }
    }
}

}  // namespace plumwick
