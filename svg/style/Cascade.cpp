#include "svg/style/Cascade.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "svg/base/SVGElementName.h"
#include "svg/style/CSSParser.h"
#include "svg/style/SVGStyle.h"
#include "svg/style/SelectorIndex.h"

namespace plumwick {

namespace {

bool IsBlank(char C)
{
    return C == ' ' || C == '\t' || C == '\n' || C == '\r' || C == '\f';
}

std::string_view LocalName(std::string_view Name)
{
    const size_t Colon = Name.find(':');
    return Colon == std::string_view::npos ? Name : Name.substr(Colon + 1);
}

// The words of a class attribute.
std::vector<std::string_view> Words(std::string_view Text)
{
    std::vector<std::string_view> Out;
    size_t Pos = 0;
    while (Pos < Text.size()) {
        while (Pos < Text.size() && IsBlank(Text[Pos])) ++Pos;
        size_t End = Pos;
        while (End < Text.size() && !IsBlank(Text[End])) ++End;
        if (End > Pos) Out.push_back(Text.substr(Pos, End - Pos));
        Pos = End;
    }
    return Out;
}

// The document's element tree as selectors see it: elements only, text and comments skipped.
struct TXmlSelectorTree {
    using TNode = TXmlNode;

    TNode Parent(const TNode& N) const
    {
        TXmlNode P = N.ParentNode();
        return P.IsElement() ? P : TXmlNode();
    }
    TNode Previous(const TNode& N) const
    {
        for (TXmlNode S = N.PreviousSibling(); S; S = S.PreviousSibling())
            if (S.IsElement()) return S;
        return {};
    }
    TNode Next(const TNode& N) const
    {
        for (TXmlNode S = N.NextSibling(); S; S = S.NextSibling())
            if (S.IsElement()) return S;
        return {};
    }
    bool HasName(const TNode& N, std::string_view Name) const { return LocalName(N.NodeName()) == Name; }
    bool SameName(const TNode& A, const TNode& B) const { return LocalName(A.NodeName()) == LocalName(B.NodeName()); }
    bool HasID(const TNode& N, std::string_view ID) const
    {
        const std::optional<std::string> Own = N.FindAttribute("id");
        return Own && *Own == ID;
    }
    bool HasClass(const TNode& N, std::string_view Class) const
    {
        const std::optional<std::string> Classes = N.FindAttribute("class");
        if (!Classes) return false;
        const std::vector<std::string_view> List = Words(*Classes);
        return std::find(List.begin(), List.end(), Class) != List.end();
    }
    std::optional<std::string> Attribute(const TNode& N, std::string_view Name) const { return N.FindAttribute(Name); }
    bool HasChildren(const TNode& N) const { return !N.FirstChild().IsEmpty(); }
};

// Attributes that elements read for themselves (geometry, links, text-path settings): a style rule naming one
// declares no property and must not reach the element's reading of it.
bool IsAttributeOnly(std::string_view Name)
{
    static constexpr std::string_view Names[] = {"id",
                                                 "class",
                                                 "style",
                                                 "href",
                                                 "xlink:href",
                                                 "x",
                                                 "y",
                                                 "width",
                                                 "height",
                                                 "rx",
                                                 "ry",
                                                 "cx",
                                                 "cy",
                                                 "r",
                                                 "x1",
                                                 "y1",
                                                 "x2",
                                                 "y2",
                                                 "d",
                                                 "points",
                                                 "offset",
                                                 "startOffset",
                                                 "method",
                                                 "spacing",
                                                 "viewBox",
                                                 "preserveAspectRatio",
                                                 "gradientUnits",
                                                 "gradientTransform",
                                                 "patternUnits",
                                                 "patternContentUnits",
                                                 "patternTransform",
                                                 "clipPathUnits",
                                                 "maskUnits",
                                                 "maskContentUnits",
                                                 "markerUnits",
                                                 "refX",
                                                 "refY",
                                                 "markerWidth",
                                                 "markerHeight",
                                                 "orient",
                                                 "fx",
                                                 "fy",
                                                 "fr",
                                                 "spreadMethod"};
    return std::find(std::begin(Names), std::end(Names), Name) != std::end(Names);
}

}  // namespace

namespace {

// CSS-only properties: as attributes they mean nothing. The "marker" shorthand is one of them, its longhands are not.
constexpr std::string_view StyleOnly[] = {"mix-blend-mode", "isolation", "marker"};

}  // namespace

bool IsPresentationAttribute(std::string_view Name)
{
    return std::find(std::begin(StyleOnly), std::end(StyleOnly), Name) == std::end(StyleOnly);
}

void CascadeElement(const TStyleList& Sheet, const TXmlNode& Element, TStyle& Style)
{
    std::vector<TCSSDeclaration> Inline;
    if (const std::optional<std::string> Text = Element.FindAttribute("style")) Inline = ParseCSSDeclarations(*Text);

    // Attributes that are no presentation attribute go, unless the inline style gives them (it is applied
    // again below, ranked with the sheet).
    for (const std::string_view Name : StyleOnly)
        if (Style.IndexOf(Name) >= 0 && Element.HasAttribute(Name)) Style.Remove(Name);

    std::vector<TRankedDeclaration> Ranked;
    const TSelectorIndex& Index = Sheet.Selectors();
    if (!Index.Empty()) {
        const std::string Name = SVGElementName(Element);
        const std::string ID = Element.GetAttribute("id");
        const std::string ClassText = Element.GetAttribute("class");
        Index.Collect(TXmlSelectorTree{}, Element, LocalName(Name), ID, Words(ClassText), Ranked);
    }
    const bool InlineImportant =
        std::any_of(Inline.begin(), Inline.end(), [](const TCSSDeclaration& D) { return D.Important; });
    if (Ranked.empty() && !InlineImportant) {
        for (const TCSSDeclaration& D : Inline)
            if (!IsPresentationAttribute(D.Name)) Style.PutValues(D.Name, D.Value);
        return;
    }
    // The style attribute outranks every selector.
    constexpr std::uint32_t InlineSpecificity = std::numeric_limits<std::uint32_t>::max();
    for (size_t I = 0; I < Inline.size(); ++I)
        Ranked.push_back(
            {Inline[I].Name, Inline[I].Value, Inline[I].Important, InlineSpecificity, static_cast<std::uint32_t>(I)});
    std::stable_sort(Ranked.begin(), Ranked.end(), [](const TRankedDeclaration& A, const TRankedDeclaration& B) {
        if (A.Important != B.Important) return B.Important;
        if (A.Specificity != B.Specificity) return A.Specificity < B.Specificity;
        return A.Order < B.Order;
    });
    for (const TRankedDeclaration& D : Ranked)
        if (!D.Value.empty() && !IsAttributeOnly(D.Name)) Style.PutValues(D.Name, D.Value);
}

}  // namespace plumwick
