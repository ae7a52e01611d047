#include "svg/base/SVGColor.h"

#include <array>
#include <cstdint>

#include "svg/base/CssColor.h"
#include "svg/base/SVGParse.h"

namespace plumwick {

namespace {

// "none" first, then the SVG colour keywords, searched in this order; values are $00BBGGRR.
// The table is constant data: nothing to build at start-up and nothing to lock when read.
constexpr TNamedColor kNamedColors[] = {
    {"none", SVG_NONE_COLOR},
    {"aliceblue", 0xFFF8F0},
    {"antiquewhite", 0xD7EBFA},
    {"aqua", 0xFFFF00},
    {"aquamarine", 0xD4FF7F},
    {"azure", 0xFFFFF0},
    {"beige", 0xDCF5F5},
    {"bisque", 0xC4E4FF},
    {"black", 0x000000},
    {"blanchedalmond", 0xCDEBFF},
    {"blue", 0xFF0000},
    {"blueviolet", 0xE22B8A},
    {"brown", 0x2A2AA5},
    {"burlywood", 0x87B8DE},
    {"cadetblue", 0xA09E5F},
    {"chartreuse", 0x00FF7F},
    {"chocolate", 0x1E69D2},
    {"coral", 0x507FFF},
    {"cornflowerblue", 0xED9564},
    {"cornsilk", 0xDCF8FF},
    {"crimson", 0x3C14DC},
    {"cyan", 0xFFFF00},
    {"darkblue", 0x8B0000},
    {"darkcyan", 0x8B8B00},
    {"darkgoldenrod", 0x0B86B8},
    {"darkgray", 0xA9A9A9},
    {"darkgreen", 0x006400},
    {"darkgrey", 0xA9A9A9},
    {"darkkhaki", 0x6BB7BD},
    {"darkmagenta", 0x8B008B},
    {"darkolivegreen", 0x2F6B55},
    {"darkorange", 0x008CFF},
    {"darkorchid", 0xCC3299},
    {"darkred", 0x00008B},
    {"darksalmon", 0x7A96E9},
    {"darkseagreen", 0x8FBC8F},
    {"darkslateblue", 0x8B3D48},
    {"darkslategray", 0x4F4F2F},
    {"darkslategrey", 0x4F4F2F},
    {"darkturquoise", 0xD1CE00},
    {"darkviolet", 0xD30094},
    {"deeppink", 0x9314FF},
    {"deepskyblue", 0xFFBF00},
    {"dimgray", 0x696969},
    {"dimgrey", 0x696969},
    {"dodgerblue", 0xFF901E},
    {"firebrick", 0x2222B2},
    {"floralwhite", 0xF0FAFF},
    {"forestgreen", 0x228B22},
    {"fuchsia", 0xFF00FF},
    {"gainsboro", 0xDCDCDC},
    {"ghostwhite", 0xFFF8F8},
    {"gold", 0x00D7FF},
    {"goldenrod", 0x20A5DA},
    {"gray", 0x808080},
    {"grey", 0x808080},
    {"green", 0x008000},
    {"greenyellow", 0x2FFFAD},
    {"honeydew", 0xF0FFF0},
    {"hotpink", 0xB469FF},
    {"indianred", 0x5C5CCD},
    {"indigo", 0x82004B},
    {"ivory", 0xF0FFFF},
    {"khaki", 0x8CE6F0},
    {"lavender", 0xFAE6E6},
    {"lavenderblush", 0xF5F0FF},
    {"lawngreen", 0x00FC7C},
    {"lemonchiffon", 0xCDFAFF},
    {"lightblue", 0xE6D8AD},
    {"lightcoral", 0x8080F0},
    {"lightcyan", 0xFFFFE0},
    {"lightgoldenrodyellow", 0xD2FAFA},
    {"lightgray", 0xD3D3D3},
    {"lightgreen", 0x90EE90},
    {"lightgrey", 0xD3D3D3},
    {"lightpink", 0xC1B6FF},
    {"lightsalmon", 0x7AA0FF},
    {"lightseagreen", 0xAAB220},
    {"lightskyblue", 0xFACE87},
    {"lightslategray", 0x998877},
    {"lightslategrey", 0x998877},
    {"lightsteelblue", 0xDEC4B0},
    {"lightyellow", 0xE0FFFF},
    {"lime", 0x00FF00},
    {"limegreen", 0x32CD32},
    {"linen", 0xE6F0FA},
    {"magenta", 0xFF00FF},
    {"maroon", 0x000080},
    {"mediumaquamarine", 0xAACD66},
    {"mediumblue", 0xCD0000},
    {"mediumorchid", 0xD355BA},
    {"mediumpurple", 0xDB7093},
    {"mediumseagreen", 0x71B33C},
    {"mediumslateblue", 0xEE687B},
    {"mediumspringgreen", 0x9AFA00},
    {"mediumturquoise", 0xCCD148},
    {"mediumvioletred", 0x8515C7},
    {"midnightblue", 0x701919},
    {"mintcream", 0xFAFFF5},
    {"mistyrose", 0xE1E4FF},
    {"moccasin", 0xB5E4FF},
    {"navajowhite", 0xADDEFF},
    {"navy", 0x800000},
    {"oldlace", 0xE6F5FD},
    {"olive", 0x008080},
    {"olivedrab", 0x238E6B},
    {"orange", 0x00A5FF},
    {"orangered", 0x0045FF},
    {"orchid", 0xD670DA},
    {"palegoldenrod", 0xAAE8EE},
    {"palegreen", 0x98FB98},
    {"paleturquoise", 0xEEEEAF},
    {"palevioletred", 0x9370DB},
    {"papayawhip", 0xD5EFFF},
    {"peachpuff", 0xB9DAFF},
    {"peru", 0x3F85CD},
    {"pink", 0xCBC0FF},
    {"plum", 0xDDA0DD},
    {"powderblue", 0xE6E0B0},
    {"purple", 0x800080},
    {"red", 0x0000FF},
    {"rosybrown", 0x8F8FBC},
    {"royalblue", 0xE16941},
    {"saddlebrown", 0x13458B},
    {"salmon", 0x7280FA},
    {"sandybrown", 0x60A4F4},
    {"seagreen", 0x578B2E},
    {"seashell", 0xEEF5FF},
    {"sienna", 0x2D52A0},
    {"silver", 0xC0C0C0},
    {"skyblue", 0xEBCE87},
    {"slateblue", 0xCD5A6A},
    {"slategray", 0x908070},
    {"slategrey", 0x908070},
    {"snow", 0xFAFAFF},
    {"springgreen", 0x7FFF00},
    {"steelblue", 0xB48246},
    {"tan", 0x8CB4D2},
    {"teal", 0x808000},
    {"thistle", 0xD8BFD8},
    {"tomato", 0x4763FF},
    {"turquoise", 0xD0E040},
    {"violet", 0xEE82EE},
    {"wheat", 0xB3DEF5},
    {"white", 0xFFFFFF},
    {"whitesmoke", 0xF5F5F5},
    {"yellow", 0x00FFFF},
    {"yellowgreen", 0x32CD9A},
};

constexpr int kNamedColorCount = static_cast<int>(std::size(kNamedColors));

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
bool IsDecDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string_view WithoutHash(std::string_view text)
{
    return !text.empty() && text[0] == '#' ? text.substr(1) : text;
}

// Integer text: leading blanks, optional sign, then decimal digits that fit 32 bits or a hexadecimal
// number ("$", "x", "X", "0x", "0X") of at most eight significant digits, nothing after.
bool TryParseIntegerText(std::string_view s, std::int32_t& value)
{
    size_t i = 0, n = s.size();
    while (i < n && s[i] == ' ') ++i;
    bool negative = false;
    if (i < n && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    bool hex = false;
    if (i < n && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == n) return false;
    if (hex) {
        std::uint32_t v = 0;
        int significant = 0;
        for (; i < n; ++i) {
            if (!IsHexDigit(s[i])) return false;
            if (significant > 0 || s[i] != '0') ++significant;
            if (significant > 8) return false;
            v = v * 16 + static_cast<std::uint32_t>(HexDigitValue(s[i]));
        }
        // From $80000000 up the bits read as a negative number.
        std::int32_t signedValue = static_cast<std::int32_t>(v);
        value = negative ? static_cast<std::int32_t>(0u - v) : signedValue;
        return true;
    }
    std::int64_t v = 0;
    for (; i < n; ++i) {
        if (!IsDecDigit(s[i])) return false;
        v = v * 10 + (s[i] - '0');
        if (v > 2147483648LL) return false;
    }
    if (!negative && v > 2147483647LL) return false;
    value = static_cast<std::int32_t>(negative ? -v : v);
    return true;
}

// Rounds numerator / denominator (both >= 0) to the nearest integer, halves to the even neighbour.
std::int64_t DivRoundHalfEven(std::int64_t numerator, std::int64_t denominator)
{
    std::int64_t q = numerator / denominator, r = numerator % denominator;
    if (2 * r > denominator || (2 * r == denominator && (q & 1))) ++q;
    return q;
}

}  // namespace

int NamedColorCount()
{
    return kNamedColorCount;
}

const TNamedColor& NamedColor(int index)
{
    return kNamedColors[index >= 0 && index < kNamedColorCount ? index : 0];
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

bool IsHex(std::string_view text)
{
    for (char c : WithoutHash(text))
        if (!IsHexDigit(c)) return false;
    return true;
}

bool IsDecimal(std::string_view text)
{
    for (char c : text)
        if (!IsDecDigit(c)) return false;
    return true;
}

std::string HexToColorText(std::string_view text)
{
    std::string digits(WithoutHash(text).substr(0, 6));
    if (digits.size() == 3) {
        static constexpr char hex[] = "0123456789ABCDEF";
        std::string doubled;
        for (char c : digits) {
            int v = HexDigitValue(c) * 17;
            doubled += hex[v >> 4];
            doubled += hex[v & 15];
        }
        digits = doubled;
    }
    // RRGGBB pairs reversed to BBGGRR; a pair beyond the end contributes nothing.
    std::string result = "$";
    for (size_t pos : {4, 2, 0})
        if (pos < digits.size()) result.append(digits, pos, 2);
    return result;
}

int ParseColorComponent(std::string_view text)
{
    std::string s = "0";
    s.append(text);
    bool percent = s.back() == '%';
    if (percent) s.pop_back();
    std::int64_t v = 0;
    if (IsDecimal(s)) {
        // Ten significant decimal digits exceed every meaningful component: unreadable.
        for (char c : s) {
            v = v * 10 + (c - '0');
            if (v > 0x7FFFFFFF) return -1;
        }
    } else if (IsHex(s)) {
        for (char c : s) {
            v = v * 16 + HexDigitValue(c);
            if (v > 0x7FFFFFFF) return -1;
        }
    } else {
        return -1;
    }
    if (v > 255) v = 255;
    if (percent) {
        if (v > 100) v = 100;
        v = DivRoundHalfEven(v * 255, 100);  // v * 2.55, exactly
    }
    return static_cast<int>(v);
}

TColor ParseRGB(std::string_view text)
{
    return ParseColorFunction(text);
}

TColor ColorWithAlpha(TColor rgb, std::uint8_t alpha)
{
    std::uint32_t c = (static_cast<std::uint32_t>(rgb) & 0xFFFFFFu) | (static_cast<std::uint32_t>(255 - alpha) << 24);
    TColor value = static_cast<TColor>(c);
    if (value == SVG_INHERIT_COLOR || value == SVG_NONE_COLOR) value = static_cast<TColor>(0xFFFFFFFDu);
    return value;
}

std::uint8_t ColorAlpha(TColor color)
{
    return static_cast<std::uint8_t>(255 - (static_cast<std::uint32_t>(color) >> 24));
}

namespace {

// "#" and 3, 4, 6 or 8 hexadecimal digits (the last digit or pair is the alpha); -1 otherwise.
TColor ParseHashColor(std::string_view digits)
{
    if (!IsHex(digits)) return SVG_INHERIT_COLOR;
    std::uint32_t v[4] = {0, 0, 0, 255};
    switch (digits.size()) {
        case 3:
        case 4:
            for (size_t i = 0; i < digits.size(); ++i) v[i] = static_cast<std::uint32_t>(HexDigitValue(digits[i]) * 17);
            break;
        case 6:
        case 8:
            for (size_t i = 0; i < digits.size() / 2; ++i)
                v[i] = static_cast<std::uint32_t>(HexDigitValue(digits[2 * i]) * 16 + HexDigitValue(digits[2 * i + 1]));
            break;
        default:
            return SVG_INHERIT_COLOR;
    }
    return ColorWithAlpha(static_cast<TColor>(v[0] | (v[1] << 8) | (v[2] << 16)), static_cast<std::uint8_t>(v[3]));
}

bool SameIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace

TColor ParseColor(std::string_view text)
{
    text = TrimView(text);
    if (text.empty()) return SVG_INHERIT_COLOR;
    for (const TNamedColor& c : kNamedColors)
        if (SameIgnoringCase(c.Name, text)) return c.Color;
    if (SameIgnoringCase(text, "transparent")) return ColorWithAlpha(0, 0);
    if (text.front() == '#') return ParseHashColor(text.substr(1));
    if (text.find('(') != std::string_view::npos) return ParseColorFunction(text);
    // Older documents write hexadecimal digits without "#" or an integer colour value.
    std::string rewritten;
    if (IsHex(text) && !IsDecimal(text)) {
        rewritten = HexToColorText(text);
        text = rewritten;
    }
    std::int32_t value;
    if (TryParseIntegerText(text, value)) return value;
    return SVG_INHERIT_COLOR;
}

TColor GrayscaleColor(TColor color)
{
    if (color == SVG_INHERIT_COLOR || color == SVG_NONE_COLOR) return color;
    std::uint32_t c = static_cast<std::uint32_t>(color);
    std::int64_t r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
    // 0.299 R + 0.587 G + 0.114 B, computed exactly in thousandths.
    std::uint32_t gray = static_cast<std::uint32_t>(DivRoundHalfEven(299 * r + 587 * g + 114 * b, 1000));
    return static_cast<TColor>((c & 0xFF000000u) | (gray << 16) | (gray << 8) | gray);
}

std::uint32_t ColorToARGB(TColor color, std::uint8_t alpha)
{
    std::uint32_t c = static_cast<std::uint32_t>(color);
    std::uint32_t r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
    return (static_cast<std::uint32_t>(alpha) << 24) | (r << 16) | (g << 8) | b;
}

}  // namespace plumwick
