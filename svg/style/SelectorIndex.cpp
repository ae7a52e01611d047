#include "svg/style/SelectorIndex.h"

#include <optional>

#include "svg/style/CSSParser.h"
#include "svg/style/SVGStyle.h"

namespace plumwick {

TSelectorIndex::TSelectorIndex(const TStyleList& Sheet)
{
    // Selector text to its entry, -1 for text that is no selector.
    std::unordered_map<std::string, int, THash, std::equal_to<>> ByText;
    for (int R = 0; R < Sheet.Count(); ++R) {
        const TStyle& Rule = *Sheet.GetStyle(R);
        auto Known = ByText.find(Rule.Name());
        if (Known == ByText.end()) {
            std::optional<TSelector> Selector = TSelector::Parse(Rule.Name());
            int Index = -1;
            if (Selector) {
                Index = static_cast<int>(FEntries.size());
                const TCompoundSelector& Subject = Selector->Compounds().front();
                if (!Subject.IDs.empty())
                    FByID[Subject.IDs.front()].push_back(Index);
                else if (!Subject.Classes.empty())
                    FByClass[Subject.Classes.front()].push_back(Index);
                else if (!Subject.Type.empty())
                    FByType[Subject.Type].push_back(Index);
                else
                    FUniversal.push_back(Index);
                FEntries.push_back({std::move(*Selector), {}});
            }
            Known = ByText.emplace(Rule.Name(), Index).first;
        }
        if (Known->second < 0) continue;
        std::vector<TDeclaration>& Declarations = FEntries[static_cast<size_t>(Known->second)].Declarations;
        for (int I = 0; I < Rule.Count(); ++I) {
            TDeclaration D{Rule.GetKey(I), Rule.GetValuesByNum(I), false, static_cast<std::uint32_t>(R)};
            D.Important = TakeImportant(D.Value);
            if (D.Value.empty()) continue;
            bool Replaced = false;
            for (TDeclaration& Old : Declarations)
                if (Old.Name == D.Name && Old.Important == D.Important) {
                    Old = D;
                    Replaced = true;
                    break;
                }
            if (!Replaced) Declarations.push_back(std::move(D));
        }
    }
}

}  // namespace plumwick
