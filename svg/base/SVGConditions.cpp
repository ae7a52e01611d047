#include "svg/base/SVGConditions.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "svg/base/SVGParse.h"

namespace plumwick {

namespace {

std::string PrimaryTag(std::string_view Tag)
{
    std::string Result(TrimView(Tag.substr(0, std::min(Tag.find('-'), Tag.size()))));
    std::transform(Result.begin(), Result.end(), Result.begin(),
                   [](unsigned char C) { return static_cast<char>(std::tolower(C)); });
    return Result;
}

}  // namespace

std::string UserLanguage()
{
    for (const char* Name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* Value = std::getenv(Name);
        if (!Value || !*Value) continue;
        std::string Tag(Value);
        Tag = Tag.substr(0, std::min(Tag.find(':'), Tag.size()));  // LANGUAGE lists several
        Tag = Tag.substr(0, std::min(Tag.find('.'), Tag.size()));  // the character set
        Tag = Tag.substr(0, std::min(Tag.find('@'), Tag.size()));  // a modifier
        if (Tag.empty() || Tag == "C" || Tag == "POSIX") continue;
        std::replace(Tag.begin(), Tag.end(), '_', '-');
        return Tag;
    }
    return "en";
}

bool LanguageMatches(std::string_view List, std::string_view Language)
{
    const std::string Wanted = PrimaryTag(Language);
    for (const std::string& Item : SplitValues(List, ','))
        if (const std::string Tag = PrimaryTag(Item); !Tag.empty() && Tag == Wanted) return true;
    return false;
}

bool ConditionsPass(const TXmlNode& Node)
{
    if (Node.HasAttribute("requiredExtensions")) return false;
    if (auto Languages = Node.FindAttribute("systemLanguage")) return LanguageMatches(*Languages, UserLanguage());
    return true;
}

}  // namespace plumwick
