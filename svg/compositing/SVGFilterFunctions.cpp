#include "svg/compositing/SVGFilterFunctions.h"

#include <cctype>
#include <cmath>

#include "svg/base/SVGColor.h"
#include "svg/base/SVGParse.h"
#include "svg/compositing/SVGFilterBuild.h"
#include "svg/compositing/filters/FilterOps.h"

namespace plumwick {

using namespace filters;

namespace {

// The functions that are one colour matrix of one value: an angle (0 when left out) or a
// non-negative amount (1 when left out).
struct TMatrixFunction {
    std::string_view Name;
    TColorMatrixParams (*Matrix)(float);
    bool Angle = false;
};

constexpr TMatrixFunction MatrixFunctions[] = {
    {"grayscale", GrayscaleMatrix},        {"sepia", SepiaMatrix},       {"saturate", SaturateMatrix},
    {"hue-rotate", HueRotateMatrix, true}, {"invert", InvertMatrix},     {"opacity", OpacityMatrix},
    {"brightness", BrightnessMatrix},      {"contrast", ContrastMatrix},
};

const TMatrixFunction* FindMatrixFunction(std::string_view Name)
{
    for (const TMatrixFunction& F : MatrixFunctions)
        if (F.Name == Name) return &F;
    return nullptr;
}

// Splits "a(b c) d(e)" into the top-level tokens (functions keep their parentheses).
std::optional<std::vector<std::string>> Tokens(std::string_view Text)
{
    std::vector<std::string> Out;
    std::string Current;
    int Depth = 0;
    for (char C : Text) {
        if (C == '(') ++Depth;
        if (C == ')' && --Depth < 0) return std::nullopt;
        if (Depth == 0 && std::isspace(static_cast<unsigned char>(C))) {
            if (!Current.empty()) Out.push_back(std::move(Current));
            Current.clear();
            continue;
        }
        Current += C;
        if (Depth == 0 && C == ')') {
            Out.push_back(std::move(Current));
            Current.clear();
        }
    }
    if (Depth != 0) return std::nullopt;
    if (!Current.empty()) Out.push_back(std::move(Current));
    return Out;
}

// A CSS length: px, mm, in..., "em" as 16 px; no percentages.
std::optional<float> CssLength(std::string_view T)
{
    T = TrimView(T);
    if (T.empty() || T.back() == '%') return std::nullopt;
    static const std::pair<std::string_view, float> Units[] = {
        {"px", 1}, {"mm", 96 / 25.4f}, {"cm", 96 / 2.54f}, {"in", 96}, {"pt", 96 / 72.0f}, {"pc", 16}, {"em", 16}};
    float Factor = 1;
    for (const auto& [Unit, F] : Units)
        if (T.size() > Unit.size() && T.ends_with(Unit)) {
            T.remove_suffix(Unit.size());
            Factor = F;
            break;
        }
    float V = 0;
    if (!TryParseNumber(T, V)) return std::nullopt;
    return V * Factor;
}

// An amount: a number or a percentage.
std::optional<float> Amount(std::string_view T)
{
    T = TrimView(T);
    float V = 0;
    if (!T.empty() && T.back() == '%') {
        if (!TryParseNumber(T.substr(0, T.size() - 1), V)) return std::nullopt;
        return V / 100;
    }
    if (!TryParseNumber(T, V)) return std::nullopt;
    return V;
}

std::optional<float> Degrees(std::string_view T)
{
    T = TrimView(T);
    static const std::pair<std::string_view, float> Units[] = {
        {"deg", 1}, {"grad", 0.9f}, {"rad", 180 / 3.14159265358979f}, {"turn", 360}};
    float Factor = 1;
    bool HasUnit = false;
    for (const auto& [Unit, F] : Units)
        if (T.size() > Unit.size() && T.ends_with(Unit)) {
            T.remove_suffix(Unit.size());
            Factor = F;
            HasUnit = true;
            break;
        }
    float V = 0;
    if (!TryParseNumber(T, V) || (!HasUnit && V != 0)) return std::nullopt;
    return V * Factor;
}

std::optional<TFilterColor> CssColor(std::string_view T, std::string_view CurrentColor)
{
    T = TrimView(T);
    if (T == "currentColor") T = CurrentColor;
    return ParseCssColor(T);
}

std::optional<TFilterItem> Function(const std::string& Name, std::string_view Args, std::string_view CurrentColor)
{
    TFilterItem Item;
    Item.Function = Name;
    // Arguments split at blanks, and at commas outside rgb(...).
    std::vector<std::string> A;
    {
        std::string Cur;
        int Depth = 0;
        for (char C : Args) {
            if (C == '(') ++Depth;
            if (C == ')') --Depth;
            if (Depth == 0 && (std::isspace(static_cast<unsigned char>(C)) || C == ',')) {
                if (!Cur.empty()) A.push_back(std::move(Cur));
                Cur.clear();
                continue;
            }
            Cur += C;
        }
        if (!Cur.empty()) A.push_back(std::move(Cur));
    }
    if (Name == "blur") {
        if (A.size() > 1) return std::nullopt;
        const auto V = A.empty() ? std::optional<float>(0) : CssLength(A[0]);
        if (!V || *V < 0) return std::nullopt;
        Item.Numbers = {*V};
        return Item;
    }
    if (Name == "drop-shadow") {
        std::vector<float> L;
        std::optional<TFilterColor> Color;
        // The colour goes before or after the lengths, never between them.
        bool ColorAfterLengths = false;
        for (const std::string& Arg : A) {
            if (auto V = CssLength(Arg)) {
                if (ColorAfterLengths) return std::nullopt;
                L.push_back(*V);
            } else if (auto C = CssColor(Arg, CurrentColor); C && !Color) {
                Color = C;
                ColorAfterLengths = !L.empty();
            } else {
                return std::nullopt;
            }
        }
        if (L.size() == 1 || L.size() > 3 || (L.size() == 3 && L[2] < 0)) return std::nullopt;
        L.resize(3, 0);
        Item.Numbers = L;
        if (Color)
            Item.Color = *Color;
        else if (auto C = CssColor(CurrentColor, "black"))
            Item.Color = *C;
        return Item;
    }
    if (const TMatrixFunction* F = FindMatrixFunction(Name)) {
        if (A.size() > 1) return std::nullopt;
        const auto V = F->Angle ? (A.empty() ? std::optional<float>(0) : Degrees(A[0]))
                                : (A.empty() ? std::optional<float>(1) : Amount(A[0]));
        if (!V || (!F->Angle && *V < 0)) return std::nullopt;
        Item.Numbers = {*V};
        return Item;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::vector<TFilterItem>> ParseFilterList(std::string_view Text, std::string_view CurrentColor)
{
    std::vector<TFilterItem> Items;
    const std::string_view T = TrimView(Text);
    if (T.empty() || T == "none") return Items;
    const auto List = Tokens(T);
    if (!List) return std::nullopt;
    for (const std::string& Token : *List) {
        const std::size_t Open = Token.find('(');
        if (Open == std::string::npos || Token.back() != ')') return std::nullopt;
        const std::string Name = Token.substr(0, Open);
        const std::string_view Args = std::string_view(Token).substr(Open + 1, Token.size() - Open - 2);
        if (Name == "url") {
            std::string Ref = Trim(Args);
            if (Ref.size() >= 2 && (Ref.front() == '"' || Ref.front() == '\'') && Ref.back() == Ref.front())
                Ref = Ref.substr(1, Ref.size() - 2);
            const std::size_t Hash = Ref.find('#');
            TFilterItem Item;
            Item.Id = Hash == std::string::npos ? std::string() : Ref.substr(Hash + 1);
            Items.push_back(std::move(Item));
            continue;
        }
        auto Item = Function(Name, Args, CurrentColor);
        if (!Item) return std::nullopt;
        Items.push_back(std::move(*Item));
    }
    return Items;
}

std::vector<TFilterPrimitive> FunctionPrimitives(const TFilterItem& Item, float ScaleX, float ScaleY)
{
    TFilterPrimitive P;
    P.Linear = false;  // CSS filter functions work on sRGB values
    const std::string& F = Item.Function;
    const float V = Item.Numbers.empty() ? 0 : Item.Numbers[0];
    if (F == "blur") {
        P.Params = TBlurParams{V * ScaleX, V * ScaleY};
    } else if (F == "drop-shadow") {
        TDropShadowParams S;
        S.DX = Item.Numbers[0] * ScaleX;
        S.DY = Item.Numbers[1] * ScaleY;
        S.SX = Item.Numbers[2] * ScaleX;
        S.SY = Item.Numbers[2] * ScaleY;
        S.Color = Item.Color;
        P.Params = S;
    } else if (const TMatrixFunction* M = FindMatrixFunction(F)) {
        P.Params = M->Matrix(V);
    } else {
        return {};
    }
    return {P};
}

}  // namespace plumwick
