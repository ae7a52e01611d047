#include "svg/base/CssColor.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "svg/base/SVGColor.h"
#include "svg/base/SVGParse.h"

namespace plumwick {

namespace {

char Lower(char C)
{
    return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C;
}

std::string Lowered(std::string_view Text)
{
    std::string Out(Text);
    std::transform(Out.begin(), Out.end(), Out.begin(), Lower);
    return Out;
}

// A CSS number (sign, decimals, exponent) followed by an optional unit; nothing for other text.
struct TDimension {
    double Value = 0;
    std::string Unit;  // lower case; "%" for a percentage
};

std::optional<TDimension> ParseDimension(std::string_view Text)
{
    Text = TrimView(Text);
    if (!Text.empty() && Text.front() == '+') Text.remove_prefix(1);
    TDimension D;
    const char* End = Text.data() + Text.size();
    auto [Ptr, Error] = std::from_chars(Text.data(), End, D.Value);
    if (Error != std::errc() || !std::isfinite(D.Value)) return std::nullopt;
    D.Unit = Lowered(std::string_view(Ptr, static_cast<size_t>(End - Ptr)));
    return D;
}

// The arguments of a function: comma-separated, or space-separated with an optional "/ alpha".
std::optional<std::vector<std::string>> SplitArguments(std::string_view Inner)
{
    std::vector<std::string> Items;
    if (Inner.find(',') != std::string_view::npos) {
        size_t Start = 0;
        while (true) {
            const size_t Comma = Inner.find(',', Start);
            Items.emplace_back(TrimView(Inner.substr(Start, Comma == std::string_view::npos ? Comma : Comma - Start)));
            if (Comma == std::string_view::npos) break;
            Start = Comma + 1;
        }
        return Items;
    }
    std::string_view Alpha;
    if (const size_t Slash = Inner.find('/'); Slash != std::string_view::npos) {
        Alpha = TrimView(Inner.substr(Slash + 1));
        Inner = Inner.substr(0, Slash);
        if (Alpha.empty()) return std::nullopt;
    }
    for (const std::string& Item : SplitValues(Inner, ' ')) Items.push_back(Item);
    if (!Alpha.empty()) {
        if (Items.size() != 3) return std::nullopt;
        Items.emplace_back(Alpha);
    }
    return Items;
}

std::uint8_t ToByte(double Value)
{
    return static_cast<std::uint8_t>(std::nearbyint(std::clamp(Value, 0.0, 255.0)));
}

// An alpha of 0..1 or a percentage; "none" counts as 0.
std::optional<std::uint8_t> ParseAlpha(std::string_view Text)
{
    if (Lowered(TrimView(Text)) == "none") return 0;
    const std::optional<TDimension> D = ParseDimension(Text);
    if (!D || (!D->Unit.empty() && D->Unit != "%")) return std::nullopt;
    const double A = D->Unit == "%" ? D->Value / 100 : D->Value;
    return ToByte(std::clamp(A, 0.0, 1.0) * 255);
}

// An rgb() channel: 0..255 or a percentage. The hexadecimal components older documents use
// ("rgb(ff,0,0)") are still read as such.
std::optional<std::uint8_t> ParseChannel(std::string_view Text)
{
    if (Lowered(TrimView(Text)) == "none") return 0;
    if (const std::optional<TDimension> D = ParseDimension(Text)) {
        if (D->Unit.empty()) return ToByte(D->Value);
        if (D->Unit == "%") return ToByte(std::clamp(D->Value, 0.0, 100.0) * 255 / 100);
    }
    const int Legacy = ParseColorComponent(TrimView(Text));
    if (Legacy < 0) return std::nullopt;
    return static_cast<std::uint8_t>(Legacy);
}

// A hue in degrees: a number, or an angle in deg, grad, rad or turn.
std::optional<double> ParseHue(std::string_view Text)
{
    if (Lowered(TrimView(Text)) == "none") return 0.0;
    const std::optional<TDimension> D = ParseDimension(Text);
    if (!D) return std::nullopt;
    if (D->Unit.empty() || D->Unit == "deg") return D->Value;
    if (D->Unit == "grad") return D->Value * 0.9;
    if (D->Unit == "rad") return D->Value * 180 / 3.14159265358979323846;
    if (D->Unit == "turn") return D->Value * 360;
    return std::nullopt;
}

// Saturation or lightness as 0..1, from a percentage (or a bare number of percent).
std::optional<double> ParseFraction(std::string_view Text)
{
    if (Lowered(TrimView(Text)) == "none") return 0.0;
    const std::optional<TDimension> D = ParseDimension(Text);
    if (!D || (!D->Unit.empty() && D->Unit != "%")) return std::nullopt;
    return std::clamp(D->Value / 100, 0.0, 1.0);
}

TColor Rgb(std::uint8_t R, std::uint8_t G, std::uint8_t B, std::uint8_t A)
{
    return ColorWithAlpha(R | (G << 8) | (B << 16), A);
}

TColor Hsl(double H, double S, double L, std::uint8_t A)
{
    H = std::fmod(H, 360.0);
    if (H < 0) H += 360;
    auto Channel = [&](double N) {
        const double K = std::fmod(N + H / 30, 12.0);
        const double Amount = S * std::min(L, 1 - L);
        return ToByte((L - Amount * std::max(-1.0, std::min({K - 3, 9 - K, 1.0}))) * 255);
    };
    return Rgb(Channel(0), Channel(8), Channel(4), A);
}

}  // namespace

TColor ParseColorFunction(std::string_view Text)
{
    Text = TrimView(Text);
    const size_t Open = Text.find('(');
    if (Open == std::string_view::npos || Text.back() != ')') return SVG_INHERIT_COLOR;
    const std::string Name = Lowered(Text.substr(0, Open));
    const bool IsRgb = Name == "rgb" || Name == "rgba";
    const bool IsHsl = Name == "hsl" || Name == "hsla";
    if (!IsRgb && !IsHsl) return SVG_INHERIT_COLOR;
    const std::optional<std::vector<std::string>> Args = SplitArguments(Text.substr(Open + 1, Text.size() - Open - 2));
    if (!Args || Args->size() < 3 || Args->size() > 4) return SVG_INHERIT_COLOR;
    const std::vector<std::string>& A = *Args;
    std::optional<std::uint8_t> Alpha = std::uint8_t(255);
    if (A.size() == 4) Alpha = ParseAlpha(A[3]);
    if (!Alpha) return SVG_INHERIT_COLOR;
    if (IsRgb) {
        // The comma form takes numbers or percentages, not a mixture of them.
        const bool Commas = TrimView(Text).find(',') != std::string_view::npos;
        auto IsPercent = [](const std::string& Item) { return !Item.empty() && Item.back() == '%'; };
        if (Commas && !(IsPercent(A[0]) == IsPercent(A[1]) && IsPercent(A[1]) == IsPercent(A[2])))
            return SVG_INHERIT_COLOR;
        const auto R = ParseChannel(A[0]), G = ParseChannel(A[1]), B = ParseChannel(A[2]);
        if (!R || !G || !B) return SVG_INHERIT_COLOR;
        return Rgb(*R, *G, *B, *Alpha);
    }
    const auto H = ParseHue(A[0]);
    const auto S = ParseFraction(A[1]), L = ParseFraction(A[2]);
    if (!H || !S || !L) return SVG_INHERIT_COLOR;
    return Hsl(*H, *S, *L, *Alpha);
}

}  // namespace plumwick
