#include "app/FileNames.h"

#include <cstdio>

namespace plumwick {

namespace {

// Length of the UTF-8 sequence that starts with Lead; 1 for a byte that starts none (it then stands alone).
std::size_t SequenceLength(unsigned char lead)
{
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC2) return 2;
    return 1;
}

bool IsC1(std::string_view text, std::size_t at)
{
    return at + 1 < text.size() && static_cast<unsigned char>(text[at]) == 0xC2 &&
           static_cast<unsigned char>(text[at + 1]) >= 0x80 && static_cast<unsigned char>(text[at + 1]) <= 0x9F;
}

bool IsControl(unsigned char c)
{
    return c < 0x20 || c == 0x7F;
}

}  // namespace

TSafeName SafeFileNamePart(std::string_view name, std::size_t maxBytes)
{
    TSafeName result;
    // push_back rather than assigning "_": GCC 12 reports a false -Wrestrict for a one-character literal
    // assigned to a std::string.
    if (name.empty() || name == "." || name == "..") {
        result.Name.push_back('_');
        result.Changed = true;
        return result;
    }
    std::string& out = result.Name;
    for (std::size_t at = 0; at < name.size();) {
        const auto c = static_cast<unsigned char>(name[at]);
        std::size_t length = SequenceLength(c);
        if (at + length > name.size()) length = 1;
        std::string_view piece = name.substr(at, length);
        if (c == '/' || c == '\\' || IsControl(c) || IsC1(name, at)) piece = "_";
        if (out.size() + piece.size() > maxBytes) {
            result.Changed = true;
            break;
        }
        if (piece != name.substr(at, length)) result.Changed = true;
        out += piece;
        at += length;
    }
    if (out.empty()) out.push_back('_');
    return result;
}

std::string PrintableText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    char escape[8];
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto c = static_cast<unsigned char>(text[at]);
        if (IsC1(text, at)) {
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(text[at + 1]));
            out += escape;
            ++at;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (IsControl(c)) {
            std::snprintf(escape, sizeof escape, "\\x%02x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace plumwick
