#include "svg/SVGFactory.h"

#include <algorithm>

// Element classes made by the factory: one include and one table row per element.
#include "svg/SVGImage.h"
#include "svg/SVGPath.h"
#include "svg/SVGText.h"

namespace plumwick {

namespace {

// Sorted by name (byte order); "style" is no element here, the reader hands it to the sheet.
constexpr TSVGElementEntry Elements[] = {
    {"image", &CreateElement<TSVGImage>},
    {"path", &CreateElement<TSVGPath>},
    {"text", &CreateElement<TSVGText>},
    {"textPath", &CreateElement<TSVGTextPath>},
    {"tspan", &CreateElement<TSVGTSpan>},
};

constexpr bool IsSorted()
{
    for (size_t I = 1; I < std::size(Elements); ++I)
        if (!(Elements[I - 1].Name < Elements[I].Name))
            return false;
    return true;
}
static_assert(IsSorted(), "the element table must stay sorted by name, without duplicates");

}  // namespace

TSVGElementCreator FindElementCreator(std::string_view Name)
{
    auto It = std::lower_bound(std::begin(Elements), std::end(Elements), Name,
                               [](const TSVGElementEntry& E, std::string_view N) { return E.Name < N; });
    return It != std::end(Elements) && It->Name == Name ? It->Create : nullptr;
}

std::span<const TSVGElementEntry> ElementTable()
{
    return Elements;
}

}  // namespace plumwick
