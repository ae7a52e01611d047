#include "svg/base/PaintOrder.h"

#include <algorithm>

namespace plumwick {

std::optional<TPaintOrder> ParsePaintOrder(std::string_view Value)
{
    TPaintOrder Order{};
    size_t Count = 0;
    size_t Pos = 0;
    auto Blank = [](char C) { return C == ' ' || C == '\t' || C == '\n' || C == '\r' || C == '\f'; };
    while (Pos < Value.size()) {
        while (Pos < Value.size() && Blank(Value[Pos])) ++Pos;
        size_t End = Pos;
        while (End < Value.size() && !Blank(Value[End])) ++End;
        if (End == Pos) break;
        const std::string_view Word = Value.substr(Pos, End - Pos);
        Pos = End;
        if (Word == "normal" && Count == 0) {
            // "normal" stands alone.
            while (Pos < Value.size() && Blank(Value[Pos])) ++Pos;
            return Pos == Value.size() ? std::optional<TPaintOrder>(NormalPaintOrder) : std::nullopt;
        }
        TPaintLayer Layer;
        if (Word == "fill")
            Layer = TPaintLayer::Fill;
        else if (Word == "stroke")
            Layer = TPaintLayer::Stroke;
        else if (Word == "markers")
            Layer = TPaintLayer::Markers;
        else
            return std::nullopt;
        if (std::find(Order.begin(), Order.begin() + static_cast<long>(Count), Layer) !=
            Order.begin() + static_cast<long>(Count))
            return std::nullopt;
        Order[Count++] = Layer;
    }
    if (Count == 0) return std::nullopt;
    for (const TPaintLayer Layer : NormalPaintOrder)
        if (std::find(Order.begin(), Order.begin() + static_cast<long>(Count), Layer) ==
            Order.begin() + static_cast<long>(Count))
            Order[Count++] = Layer;
    return Order;
}

}  // namespace plumwick
