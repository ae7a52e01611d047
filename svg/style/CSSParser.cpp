#include "svg/style/CSSParser.h"

#include <algorithm>
#include <cctype>

namespace plumwick {

namespace {

bool IsBlank(char C)
{
    return static_cast<unsigned char>(C) <= ' ';
}

std::string_view Trimmed(std::string_view Text)
{
    while (!Text.empty() && IsBlank(Text.front())) Text.remove_prefix(1);
    while (!Text.empty() && IsBlank(Text.back())) Text.remove_suffix(1);
    return Text;
}

// Position just past the string that starts at Pos (a quote); an unterminated string runs to the end.
size_t SkipString(std::string_view Text, size_t Pos)
{
    const char Quote = Text[Pos];
    for (size_t I = Pos + 1; I < Text.size(); ++I) {
        if (Text[I] == '\\')
            ++I;
        else if (Text[I] == Quote)
            return I + 1;
    }
    return Text.size();
}

// Position of the first of Stops at nesting depth 0 at or after Pos, strings skipped; npos when none.
size_t FindTopLevel(std::string_view Text, size_t Pos, std::string_view Stops)
{
    int Depth = 0;
    while (Pos < Text.size()) {
        const char C = Text[Pos];
        if (C == '"' || C == '\'') {
            Pos = SkipString(Text, Pos);
            continue;
        }
        if (Depth == 0 && Stops.find(C) != std::string_view::npos) return Pos;
        if (C == '(' || C == '[')
            ++Depth;
        else if ((C == ')' || C == ']') && Depth > 0)
            --Depth;
        ++Pos;
    }
    return std::string_view::npos;
}

// Position just past the block whose "{" is at Open, nested blocks and strings included; npos when it is not
// closed.
size_t SkipBlock(std::string_view Text, size_t Open)
{
    int Depth = 0;
    for (size_t I = Open; I < Text.size();) {
        const char C = Text[I];
        if (C == '"' || C == '\'') {
            I = SkipString(Text, I);
            continue;
        }
        if (C == '{')
            ++Depth;
        else if (C == '}' && --Depth == 0)
            return I + 1;
        ++I;
    }
    return std::string_view::npos;
}

}  // namespace

std::string StripCSSComments(std::string_view Text)
{
    std::string Out;
    Out.reserve(Text.size());
    size_t I = 0;
    while (I < Text.size()) {
        const char C = Text[I];
        if (C == '"' || C == '\'') {
            const size_t End = SkipString(Text, I);
            Out.append(Text.substr(I, End - I));
            I = End;
        } else if (C == '/' && I + 1 < Text.size() && Text[I + 1] == '*') {
            const size_t End = Text.find("*/", I + 2);
            I = End == std::string_view::npos ? Text.size() : End + 2;
            Out += ' ';  // a comment separates what stands on either side
        } else {
            Out += C;
            ++I;
        }
    }
    return Out;
}

std::vector<TCSSRule> ParseCSSRules(std::string_view Source)
{
    const std::string Text = StripCSSComments(Source);
    const std::string_view T = Text;
    std::vector<TCSSRule> Rules;
    size_t Pos = 0;
    while (Pos < T.size()) {
        if (IsBlank(T[Pos])) {
            ++Pos;
            continue;
        }
        // The markers that hide a sheet from old HTML parsers are no part of any rule.
        if (T.substr(Pos, 4) == "<!--") {
            Pos += 4;
            continue;
        }
        if (T.substr(Pos, 3) == "-->") {
            Pos += 3;
            continue;
        }
        if (T[Pos] == '@') {
            const size_t Stop = FindTopLevel(T, Pos, ";{");
            if (Stop == std::string_view::npos) break;
            Pos = T[Stop] == ';' ? Stop + 1 : SkipBlock(T, Stop);
            if (Pos == std::string_view::npos) break;
            continue;
        }
        const size_t Open = FindTopLevel(T, Pos, "{");
        if (Open == std::string_view::npos) break;
        const size_t End = SkipBlock(T, Open);
        if (End == std::string_view::npos) break;
        Rules.push_back(
            {std::string(Trimmed(T.substr(Pos, Open - Pos))), std::string(T.substr(Open + 1, End - Open - 2))});
        Pos = End;
    }
    return Rules;
}

bool TakeImportant(std::string& Value)
{
    const size_t Bang = Value.rfind('!');
    if (Bang == std::string::npos) return false;
    std::string_view Word = Trimmed(std::string_view(Value).substr(Bang + 1));
    static constexpr std::string_view Important = "important";
    if (Word.size() != Important.size() || !std::equal(Word.begin(), Word.end(), Important.begin(), [](char A, char B) {
            return std::tolower(static_cast<unsigned char>(A)) == B;
        }))
        return false;
    Value = std::string(Trimmed(std::string_view(Value).substr(0, Bang)));
    return true;
}

std::vector<TCSSDeclaration> ParseCSSDeclarations(std::string_view Block)
{
    const std::string Text = StripCSSComments(Block);
    const std::string_view T = Text;
    std::vector<TCSSDeclaration> Result;
    size_t Pos = 0;
    while (Pos < T.size()) {
        size_t Semi = FindTopLevel(T, Pos, ";");
        if (Semi == std::string_view::npos) Semi = T.size();
        const std::string_view Piece = T.substr(Pos, Semi - Pos);
        Pos = Semi + 1;
        const size_t Colon = Piece.find(':');
        if (Colon == std::string_view::npos) continue;
        TCSSDeclaration D;
        D.Name = std::string(Trimmed(Piece.substr(0, Colon)));
        if (D.Name.empty()) continue;
        D.Value = std::string(Trimmed(Piece.substr(Colon + 1)));
        D.Important = TakeImportant(D.Value);
        Result.push_back(std::move(D));
    }
    return Result;
}

std::vector<std::string> SplitSelectorList(std::string_view List)
{
    std::vector<std::string> Result;
    size_t Pos = 0;
    while (Pos <= List.size()) {
        size_t Comma = FindTopLevel(List, Pos, ",");
        if (Comma == std::string_view::npos) Comma = List.size();
        Result.emplace_back(Trimmed(List.substr(Pos, Comma - Pos)));
        Pos = Comma + 1;
    }
    return Result;
}

}  // namespace plumwick
