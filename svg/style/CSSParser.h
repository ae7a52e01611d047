#pragma once

// Tokenising of CSS text as far as style sheets and "style" attributes need it: rules, declarations,
// selector lists. Comments are dropped and quoted strings stay whole wherever text is cut.

#include <string>
#include <string_view>
#include <vector>

namespace plumwick {

// One qualified rule: its prelude (a selector list) and the text of its block, without the braces.
struct TCSSRule {
    std::string Selectors;
    std::string Body;
};

// One declaration of a block; Value is trimmed and has any "!important" taken off.
struct TCSSDeclaration {
    std::string Name;
    std::string Value;
    bool Important = false;
};

// The text without its /* comments */; comment markers inside strings are kept.
std::string StripCSSComments(std::string_view Text);
// The qualified rules of a sheet in order. At-rules (@import, @media, @font-face, ...) are skipped with their
// blocks; an unterminated block ends the sheet.
std::vector<TCSSRule> ParseCSSRules(std::string_view Text);
// The declarations of a block in order; pieces without a name and a colon are skipped. Duplicates are kept.
std::vector<TCSSDeclaration> ParseCSSDeclarations(std::string_view Block);
// The selectors of a list, trimmed, cut at commas outside brackets, parentheses and strings.
std::vector<std::string> SplitSelectorList(std::string_view List);
// Takes a trailing "!important" (any case, blanks allowed after "!") off Value; whether there was one.
[[nodiscard]] bool TakeImportant(std::string& Value);

}  // namespace plumwick
