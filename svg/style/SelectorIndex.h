#pragma once

// The rules of a style sheet, parsed and bucketed for matching: each selector sits under the id, a class or the
// element name its rightmost compound requires (or with the universal ones), so an element is tried only
// against rules that can apply to it. Rules with the same selector text are merged into one entry, keeping each
// property's last normal and last important declaration: a sheet repeating a selector many times costs one
// match per element.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "svg/style/Selector.h"

namespace plumwick {

class TStyleList;

// A declaration as the cascade ranks it: importance first, then specificity, then source order.
struct TRankedDeclaration {
    std::string_view Name;
    std::string_view Value;
    bool Important = false;
    std::uint32_t Specificity = 0;
    std::uint32_t Order = 0;
};

class TSelectorIndex {
public:
    // Parses every rule of Sheet; rules whose selector is not understood are left out.
    explicit TSelectorIndex(const TStyleList& Sheet);

    // Appends the declarations of every rule matching Element, unordered.
    template <class TTree>
    void Collect(const TTree& Tree, const typename TTree::TNode& Element, std::string_view Name, std::string_view ID,
                 const std::vector<std::string_view>& Classes, std::vector<TRankedDeclaration>& Out) const
    {
        const TSelectorMatcher<TTree> Matcher(Tree);
        auto Try = [&](const std::vector<int>& Bucket) {
            for (const int I : Bucket) {
                const TEntry& E = FEntries[static_cast<size_t>(I)];
                if (Matcher.Matches(E.Selector, Element))
                    for (const TDeclaration& D : E.Declarations)
                        Out.push_back({D.Name, D.Value, D.Important, E.Selector.Specificity(), D.Order});
            }
        };
        auto TryKey = [&](const TBuckets& Map, std::string_view Key) {
            if (auto It = Map.find(Key); It != Map.end()) Try(It->second);
        };
        Try(FUniversal);
        TryKey(FByType, Name);
        if (!ID.empty()) TryKey(FByID, ID);
        for (size_t I = 0; I < Classes.size(); ++I) {
            // A class listed twice would bring its rules twice.
            bool Seen = false;
            for (size_t J = 0; J < I && !Seen; ++J) Seen = Classes[J] == Classes[I];
            if (!Seen) TryKey(FByClass, Classes[I]);
        }
    }

    bool Empty() const { return FEntries.empty(); }

private:
    struct TDeclaration {
        std::string Name;
        std::string Value;
        bool Important = false;
        std::uint32_t Order = 0;
    };
    struct TEntry {
        TSelector Selector;
        std::vector<TDeclaration> Declarations;
    };

    struct THash {
        using is_transparent = void;
        size_t operator()(std::string_view Key) const { return std::hash<std::string_view>{}(Key); }
    };
    using TBuckets = std::unordered_map<std::string, std::vector<int>, THash, std::equal_to<>>;

    std::vector<TEntry> FEntries;
    TBuckets FByID;
    TBuckets FByClass;
    TBuckets FByType;
    std::vector<int> FUniversal;
};

}  // namespace plumwick
