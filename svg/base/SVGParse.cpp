#include "svg/base/SVGParse.h"

#include <charconv>
#include <cmath>
#include <optional>

#include "svg/base/SVGCommon.h"

namespace plumwick {

namespace {

constexpr double kDegToRad = 0.017453292519943295769;
constexpr double kGradToRad = 0.015707963267948966192;
constexpr double kMaxSingle = 3.4028234663852886e38;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}
bool IsControlOrBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

// Decimal magnitude of a digit string "int.frac" times 10^exp: the power of ten of its first
// significant digit, or nothing when all digits are zero.
std::optional<long long> DecimalMagnitude(std::string_view intPart, std::string_view fracPart, long long exp)
{
    for (size_t i = 0; i < intPart.size(); ++i)
        if (intPart[i] != '0') return exp + static_cast<long long>(intPart.size() - i) - 1;
    for (size_t i = 0; i < fracPart.size(); ++i)
        if (fracPart[i] != '0') return exp - static_cast<long long>(i) - 1;
    return std::nullopt;
}

}  // namespace

std::string_view TrimView(std::string_view text)
{
    size_t b = 0, e = text.size();
    while (b < e && IsControlOrBlank(text[b])) ++b;
    while (e > b && IsControlOrBlank(text[e - 1])) --e;
    return text.substr(b, e - b);
}

std::string Trim(std::string_view text)
{
    return std::string(TrimView(text));
}

bool TryParseNumber(std::string_view text, float& value)
{
    value = 0;
    size_t i = 0, n = text.size();
    auto isPoint = [&](size_t k) { return k < n && (text[k] == '.' || text[k] == ','); };
    while (i < n && text[i] == ' ') ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    size_t intStart = i;
    while (i < n && IsDigit(text[i])) ++i;
    std::string_view intPart = text.substr(intStart, i - intStart);
    std::string_view fracPart;
    bool point = false;
    if (isPoint(i)) {
        point = true;
        size_t fracStart = ++i;
        while (i < n && IsDigit(text[i])) ++i;
        fracPart = text.substr(fracStart, i - fracStart);
    }
    if (intPart.empty() && !point) return false;
    std::string_view expDigits;
    bool expNegative = false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) expNegative = text[i++] == '-';
        size_t expStart = i;
        while (i < n && IsDigit(text[i])) ++i;
        expDigits = text.substr(expStart, i - expStart);
    }
    while (i < n && text[i] == ' ') ++i;
    if (i != n) return false;

    // The exponent is clamped: beyond this range every mantissa over- or underflows anyway.
    long long exp = 0;
    for (char c : expDigits) {
        exp = exp * 10 + (c - '0');
        if (exp > 100000) break;
    }
    if (expNegative) exp = -exp;

    std::string normal;
    normal.reserve(intPart.size() + fracPart.size() + 16);
    normal.append(intPart.empty() ? std::string_view("0") : intPart);
    normal += '.';
    normal.append(fracPart.empty() ? std::string_view("0") : fracPart);
    normal += 'e';
    normal += std::to_string(exp);
    double d = 0;
    auto [end, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), d);
    if (ec == std::errc::result_out_of_range) {
        auto mag = DecimalMagnitude(intPart, fracPart, exp);
        if (mag && *mag >= 0) return false;  // overflow
        d = 0;                               // underflow reads as zero
    } else if (ec != std::errc() || end != normal.data() + normal.size()) {
        return false;
    }
    if (std::fabs(d) > kMaxSingle) return false;
    value = static_cast<float>(negative ? -d : d);
    return true;
}

float ParseNumber(std::string_view text)
{
    float v;
    TryParseNumber(text, v);
    return v;
}

float ParseAngle(std::string_view text)
{
    if (text.empty()) return 0;
    struct TUnit {
        std::string_view Name;
        double Factor;
    };
    static constexpr TUnit units[] = {
        {"deg", kDegToRad}, {"grad", kGradToRad}, {"rad", 1.0}, {"turn", 2 * 3.14159265358979323846}};
    for (const TUnit& u : units) {
        size_t p = text.find(u.Name);
        if (p != std::string_view::npos) return static_cast<float>(ParseNumber(text.substr(0, p)) * u.Factor);
    }
    return static_cast<float>(ParseNumber(text) * kDegToRad);
}

float ParsePercent(std::string_view text)
{
    if (text.empty()) return -1;
    if (text.back() == '%') return static_cast<float>(ParseNumber(text.substr(0, text.size() - 1)) / 100.0);
    return ParseNumber(text);
}

TLengthUnit GetLengthUnit(std::string_view text)
{
    static constexpr std::string_view suffixes[] = {"px", "pt", "pc", "mm", "cm", "in", "em", "ex"};
    if (text.size() >= 2) {
        std::string_view last = text.substr(text.size() - 2);
        for (int k = 0; k < 8; ++k)
            if (last == suffixes[k]) return static_cast<TLengthUnit>(luPx + k);
    }
    if (!text.empty() && text.back() == '%') return luPercent;
    return luNone;
}

float LengthUnitFactor(TLengthUnit unit)
{
    switch (unit) {
        // Absolute units at CSS's 96 pixels to the inch.
        case luPt:
            return 96.0f / 72.0f;
        case luPc:
            return 16.0f;
        case luMm:
            return 96.0f / 25.4f;
        case luCm:
            return 96.0f / 2.54f;
        case luIn:
            return 96.0f;
        default:
            return 1.0f;
    }
}

float ParseLength(std::string_view text)
{
    TLengthUnit u = GetLengthUnit(text);
    switch (u) {
        case luNone:
            return ParseNumber(text);
        case luPercent:
            return ParseNumber(text.substr(0, text.size() - 1));
        default:
            // em and ex have no font size to relate to here; they are read with their factor 1 (callers that
            // know the element resolve them, see LoadViewportLength).
            return static_cast<float>(static_cast<double>(ParseNumber(text.substr(0, text.size() - 2))) *
                                      LengthUnitFactor(u));
    }
}

std::vector<std::string> SplitValues(std::string_view text, char delimiter)
{
    // A NUL character ends the text, as it ends the scan of the items.
    if (size_t nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
    std::vector<std::string> items;
    size_t i = 0, n = text.size();
    auto skipBlanks = [&] {
        while (i < n && IsControlOrBlank(text[i])) ++i;
    };
    skipBlanks();
    while (i < n) {
        std::string item;
        if (text[i] == '"') {
            // Quoted item: "" stands for one quote; an unterminated quote runs to the end.
            ++i;
            while (i < n) {
                if (text[i] == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        item += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text[i++];
            }
        } else {
            size_t start = i;
            while (i < n && !IsControlOrBlank(text[i]) && text[i] != delimiter) ++i;
            item.assign(text.substr(start, i - start));
        }
        if (!item.empty()) items.push_back(std::move(item));
        skipBlanks();
        if (i < n && text[i] == delimiter) {
            ++i;
            skipBlanks();
        }
    }
    return items;
}

TRectF ParseViewBox(std::string_view text)
{
    std::vector<std::string> items = SplitValues(TrimView(text), ' ');
    if (items.size() != 4) return {};
    TRectF r;
    r.Left = ParseLength(items[0]);
    r.Top = ParseLength(items[1]);
    r.Right = static_cast<float>(static_cast<double>(r.Left) + ParseLength(items[2]));
    r.Bottom = static_cast<float>(static_cast<double>(r.Top) + ParseLength(items[3]));
    return r;
}

std::string ParseURI(std::string_view text)
{
    std::string_view s = TrimView(text);
    if (s.size() >= 6 && s.substr(0, 5) == "url(#" && s.back() == ')') return std::string(s.substr(5, s.size() - 6));
    return {};
}

// ---------------------------------------------------------------- transform lists

namespace {

std::vector<float> ReadNumbers(const std::vector<std::string>& args)
{
    std::vector<float> v;
    v.reserve(args.size());
    for (const std::string& a : args) v.push_back(ParseNumber(a));
    return v;
}

// Arguments split at blanks and commas, and where a number ends without one: a sign that does not follow
// an exponent mark ("10-5" is 10 and -5) or a second decimal point ("0.5.5" is 0.5 and .5).
std::vector<std::string> SplitArguments(std::string_view args)
{
    std::vector<std::string> out;
    for (const std::string& item : SplitValues(args, ',')) {
        std::size_t start = 0;
        bool point = false;
        for (std::size_t i = 0; i < item.size(); ++i) {
            const char c = item[i];
            const bool sign = (c == '+' || c == '-') && i > start && item[i - 1] != 'e' && item[i - 1] != 'E';
            if (sign || (c == '.' && point)) {
                out.push_back(item.substr(start, i - start));
                start = i;
                point = false;
            }
            if (c == '.') point = true;
        }
        out.push_back(item.substr(start));
    }
    return out;
}

std::vector<float> Arguments(std::string_view args)
{
    return ReadNumbers(SplitArguments(args));
}

TMatrix Skew(std::string_view args, bool alongX)
{
    std::vector<float> v = Arguments(args);
    if (v.size() != 1) return EmptyMatrix();
    TMatrix m = IdentityMatrix();
    (alongX ? m.m21 : m.m12) = static_cast<float>(std::tan(v[0] * kDegToRad));
    return m;
}

}  // namespace

TMatrix ParseMatrixTransform(std::string_view args)
{
    std::vector<float> v = Arguments(args);
    TMatrix m = IdentityMatrix();
    if (v.size() == 6) {
        m.m11 = v[0];
        m.m12 = v[1];
        m.m21 = v[2];
        m.m22 = v[3];
        m.m31 = v[4];
        m.m32 = v[5];
    }
    return m;
}

TMatrix ParseTranslate(std::string_view args)
{
    std::vector<float> v = Arguments(args);
    if (v.size() == 1) return CreateTranslation(v[0], 0);
    if (v.size() == 2) return CreateTranslation(v[0], v[1]);
    return EmptyMatrix();
}

TMatrix ParseScale(std::string_view args)
{
    std::vector<float> v = Arguments(args);
    if (v.size() == 1) return CreateScaling(v[0], v[0]);
    if (v.size() == 2) return CreateScaling(v[0], v[1]);
    return EmptyMatrix();
}

TMatrix ParseRotate(std::string_view args)
{
    std::vector<std::string> items = SplitArguments(args);
    if (items.empty()) return EmptyMatrix();
    float angle = ParseAngle(items[0]);
    float cx = 0, cy = 0;
    if (items.size() == 3) {
        cx = ParseNumber(items[1]);
        cy = ParseNumber(items[2]);
    }
    return CreateTranslation(-cx, -cy) * CreateRotation(angle) * CreateTranslation(cx, cy);
}

TMatrix ParseSkewX(std::string_view args)
{
    return Skew(args, true);
}

TMatrix ParseSkewY(std::string_view args)
{
    return Skew(args, false);
}

TMatrix ParseTransform(std::string_view text)
{
    using TItemParser = TMatrix (*)(std::string_view);
    struct TItem {
        std::string_view Keyword;
        TItemParser Parse;
    };
    static constexpr TItem items[] = {
        {"matrix", ParseMatrixTransform}, {"translate", ParseTranslate}, {"scale", ParseScale},
        {"rotate", ParseRotate},          {"skewX", ParseSkewX},         {"skewY", ParseSkewY}};
    TMatrix result = EmptyMatrix();
    std::string_view rest = TrimView(text);
    while (!rest.empty()) {
        size_t open = rest.find('('), close = rest.find(')');
        if (open == std::string_view::npos || close == std::string_view::npos) break;
        // White space may stand between the name and its parenthesis, a comma between items.
        std::string_view keyword = TrimView(rest.substr(0, open));
        while (!keyword.empty() && keyword.front() == ',') keyword = TrimView(keyword.substr(1));
        std::string args = close > open ? Trim(rest.substr(open + 1, close - open - 1)) : std::string();
        for (char& c : args)
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r') c = ',';
        for (const TItem& item : items) {
            if (item.Keyword != keyword) continue;
            TMatrix m = item.Parse(args);
            if (m.m33 == 1.0f) result = result.m33 == 0.0f ? m : m * result;
            break;
        }
        rest = TrimView(rest.substr(close + 1));
    }
    return result;
}

}  // namespace plumwick
