#include "svg/base/CSSTransform.h"

#include <cmath>
#include <numbers>
#include <sstream>
#include <vector>

#include "svg/base/SVGParse.h"

namespace plumwick {

namespace {

struct TArgument {
    double Number = 0;
    std::string Unit;
};

// "12.5deg" as a number and a unit; nothing when it does not start with a number.
std::optional<TArgument> ReadArgument(std::string_view Text)
{
    size_t End = 0;
    while (End < Text.size() && (std::isdigit(static_cast<unsigned char>(Text[End])) || Text[End] == '.' ||
                                 Text[End] == '-' || Text[End] == '+' || Text[End] == 'e' || Text[End] == 'E')) {
        // An "e" belongs to the number only when an exponent follows, not the "em" of a unit.
        if ((Text[End] == 'e' || Text[End] == 'E') &&
            !(End + 1 < Text.size() && (std::isdigit(static_cast<unsigned char>(Text[End + 1])) ||
                                        Text[End + 1] == '-' || Text[End + 1] == '+')))
            break;
        ++End;
    }
    float Number = 0;
    if (End == 0 || !TryParseNumber(Text.substr(0, End), Number)) return std::nullopt;
    return TArgument{Number, std::string(Text.substr(End))};
}

std::optional<double> Angle(const TArgument& A)
{
    if (A.Unit == "deg" || (A.Unit.empty() && A.Number == 0)) return A.Number;
    if (A.Unit == "rad") return A.Number * 180 / std::numbers::pi;
    if (A.Unit == "grad") return A.Number * 0.9;
    if (A.Unit == "turn") return A.Number * 360;
    return std::nullopt;
}

std::optional<double> Number(const TArgument& A)
{
    return A.Unit.empty() ? std::optional<double>(A.Number) : std::nullopt;
}

std::optional<double> Length(const TArgument& A)
{
    if (A.Unit.empty() || A.Unit == "px") return A.Number;
    // Other absolute units through the attribute reader's unit factors.
    std::ostringstream Text;
    Text << A.Number << A.Unit;
    const float Value = ParseLength(Text.str());
    return GetLengthUnit(Text.str()) == luPercent ? std::nullopt : std::optional<double>(Value);
}

std::vector<std::string_view> SplitArguments(std::string_view Args)
{
    std::vector<std::string_view> Out;
    size_t Pos = 0;
    while (Pos < Args.size()) {
        while (Pos < Args.size() && (Args[Pos] == ',' || std::isspace(static_cast<unsigned char>(Args[Pos])))) ++Pos;
        size_t End = Pos;
        while (End < Args.size() && Args[End] != ',' && !std::isspace(static_cast<unsigned char>(Args[End]))) ++End;
        if (End > Pos) Out.push_back(Args.substr(Pos, End - Pos));
        Pos = End;
    }
    return Out;
}

// One function of the list in attribute syntax; nothing when it is not understood.
std::optional<std::string> Convert(std::string_view Name, const std::vector<std::string_view>& Raw)
{
    std::vector<TArgument> Args;
    for (std::string_view R : Raw) {
        std::optional<TArgument> A = ReadArgument(R);
        if (!A) return std::nullopt;
        Args.push_back(*A);
    }
    std::ostringstream Out;
    Out.precision(9);
    // Between Min and Max arguments, each read by Read; nothing when one is out of place.
    auto Values = [&](size_t Min, size_t Max,
                      std::optional<double> (*Read)(const TArgument&)) -> std::optional<std::vector<double>> {
        if (Args.size() < Min || Args.size() > Max) return std::nullopt;
        std::vector<double> V;
        for (const TArgument& A : Args) {
            std::optional<double> D = Read(A);
            if (!D) return std::nullopt;
            V.push_back(*D);
        }
        return V;
    };
    auto Tan = [](double Degrees) { return std::tan(Degrees * std::numbers::pi / 180); };
    if (Name == "matrix") {
        const auto V = Values(6, 6, Number);
        if (!V) return std::nullopt;
        Out << "matrix(" << (*V)[0] << ' ' << (*V)[1] << ' ' << (*V)[2] << ' ' << (*V)[3] << ' ' << (*V)[4] << ' '
            << (*V)[5] << ')';
    } else if (Name == "translate" || Name == "translateX" || Name == "translateY") {
        const auto V = Values(1, Name == "translate" ? 2 : 1, Length);
        if (!V) return std::nullopt;
        const double X = Name == "translateY" ? 0 : (*V)[0];
        const double Y = Name == "translateY" ? (*V)[0] : V->size() > 1 ? (*V)[1] : 0;
        Out << "translate(" << X << ' ' << Y << ')';
    } else if (Name == "scale" || Name == "scaleX" || Name == "scaleY") {
        const auto V = Values(1, Name == "scale" ? 2 : 1, Number);
        if (!V) return std::nullopt;
        const double X = Name == "scaleY" ? 1 : (*V)[0];
        const double Y = Name == "scaleX" ? 1 : Name == "scaleY" ? (*V)[0] : V->size() > 1 ? (*V)[1] : (*V)[0];
        Out << "scale(" << X << ' ' << Y << ')';
    } else if (Name == "rotate") {
        const auto V = Values(1, 1, Angle);
        if (!V) return std::nullopt;
        Out << "rotate(" << (*V)[0] << ')';
    } else if (Name == "skew" || Name == "skewX" || Name == "skewY") {
        const auto V = Values(1, Name == "skew" ? 2 : 1, Angle);
        if (!V) return std::nullopt;
        const double AX = Name == "skewY" ? 0 : (*V)[0];
        const double AY = Name == "skewY" ? (*V)[0] : V->size() > 1 ? (*V)[1] : 0;
        Out << "matrix(1 " << Tan(AY) << ' ' << Tan(AX) << " 1 0 0)";
    } else {
        return std::nullopt;
    }
    return Out.str();
}

}  // namespace

std::string CSSTransformToSVG(std::string_view Value)
{
    std::string_view Rest = TrimView(Value);
    if (Rest == "none") return {};
    std::string Result;
    while (!Rest.empty()) {
        const size_t Open = Rest.find('(');
        const size_t Close = Rest.find(')');
        if (Open == std::string_view::npos || Close == std::string_view::npos || Close < Open) return {};
        const std::string_view Name = TrimView(Rest.substr(0, Open));
        const std::optional<std::string> Item = Convert(Name, SplitArguments(Rest.substr(Open + 1, Close - Open - 1)));
        if (!Item) return {};
        if (!Result.empty()) Result += ' ';
        Result += *Item;
        Rest = TrimView(Rest.substr(Close + 1));
    }
    return Result;
}

std::optional<TPointF> ParseTransformOrigin(std::string_view Value, float Width, float Height)
{
    std::vector<std::string_view> Words = SplitArguments(Value);
    if (Words.empty() || Words.size() > 3) return std::nullopt;
    // A vertical keyword first ("top left") swaps the pair into the horizontal-first order.
    auto IsVertical = [](std::string_view W) { return W == "top" || W == "bottom"; };
    auto IsHorizontal = [](std::string_view W) { return W == "left" || W == "right"; };
    if (Words.size() >= 2 && (IsVertical(Words[0]) || IsHorizontal(Words[1]))) std::swap(Words[0], Words[1]);
    auto Resolve = [](std::string_view W, float Size, bool Horizontal) -> std::optional<float> {
        if (W == "center") return Size / 2;
        if (W == (Horizontal ? "left" : "top")) return 0.0f;
        if (W == (Horizontal ? "right" : "bottom")) return Size;
        std::optional<TArgument> A = ReadArgument(W);
        if (!A) return std::nullopt;
        if (A->Unit == "%") return static_cast<float>(A->Number * Size / 100);
        std::optional<double> L = Length(*A);
        return L ? std::optional<float>(static_cast<float>(*L)) : std::nullopt;
    };
    // One value: the other axis is centred; a lone vertical keyword names the y.
    if (Words.size() == 1) {
        if (IsVertical(Words[0])) {
            const auto Y = Resolve(Words[0], Height, false);
            return Y ? std::optional<TPointF>(TPointF{Width / 2, *Y}) : std::nullopt;
        }
        const auto X = Resolve(Words[0], Width, true);
        return X ? std::optional<TPointF>(TPointF{*X, Height / 2}) : std::nullopt;
    }
    const auto X = Resolve(Words[0], Width, true);
    const auto Y = Resolve(Words[1], Height, false);
    if (!X || !Y) return std::nullopt;
    return TPointF{*X, *Y};
}

}  // namespace plumwick
