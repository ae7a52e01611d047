#pragma once

// CSS selectors: parsing into compound selectors joined by combinators, specificity, and matching against
// any tree that can answer a few questions about its elements (see TSelectorTree below).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plumwick {

enum class TCombinator : std::uint8_t {
    None,        // the leftmost compound
    Descendant,  // "a b"
    Child,       // "a > b"
    Adjacent,    // "a + b"
    Sibling,     // "a ~ b"
};

enum class TAttributeOp : std::uint8_t { Exists, Equals, Includes, DashMatch, Prefix, Suffix, Substring };

struct TAttributeTest {
    std::string Name;  // a namespace prefix is written "xlink:href", as in the document
    TAttributeOp Op = TAttributeOp::Exists;
    std::string Value;
    bool IgnoreCase = false;  // the "i" flag
};

enum class TPseudoClass : std::uint8_t {
    FirstChild,
    LastChild,
    OnlyChild,
    FirstOfType,
    LastOfType,
    OnlyOfType,
    Root,
    Empty
};

struct TCompoundSelector {
    std::string Type;  // empty: any element
    std::vector<std::string> IDs;
    std::vector<std::string> Classes;
    std::vector<TAttributeTest> Attributes;
    std::vector<TPseudoClass> Pseudos;
    TCombinator Left = TCombinator::None;  // how the compound to the left relates to this one
};

// A complex selector, kept right to left: Compounds[0] is the one the element itself must match.
class TSelector {
public:
    // Nothing for text that is no selector this renderer understands (unknown pseudo-classes, pseudo-elements,
    // stray characters); a rule with such a selector is dropped, as browsers drop it.
    static std::optional<TSelector> Parse(std::string_view Text);

    const std::vector<TCompoundSelector>& Compounds() const { return FCompounds; }
    // (ids, classes + attributes + pseudo-classes, types) packed so that a larger number wins.
    std::uint32_t Specificity() const { return FSpecificity; }

private:
    std::vector<TCompoundSelector> FCompounds;
    std::uint32_t FSpecificity = 0;
};

// Packs the three counts of a specificity (each saturating at 1023).
std::uint32_t PackSpecificity(unsigned IDs, unsigned Classes, unsigned Types);
// Whether an attribute's value passes a test.
bool AttributeValueMatches(const TAttributeTest& Test, std::string_view Value);

// Matching over a tree described by TTree, which provides
//   using TNode = ...;                        a cheap handle, convertible to bool (false: no element)
//   TNode Parent(TNode), Previous(TNode), Next(TNode)   element parent and element siblings
//   bool HasName(TNode, std::string_view)     element name without a namespace prefix
//   bool SameName(TNode, TNode)
//   bool HasID(TNode, std::string_view), bool HasClass(TNode, std::string_view)
//   std::optional<std::string> Attribute(TNode, std::string_view)
//   bool HasChildren(TNode)                   element or text children
template <class TTree>
class TSelectorMatcher {
public:
    using TNode = typename TTree::TNode;
    explicit TSelectorMatcher(const TTree& Tree) : FTree(Tree) {}

    bool Matches(const TSelector& Selector, const TNode& Element) const
    {
        return Match(Selector.Compounds(), 0, Element) == TResult::Matches;
    }

private:
    // Besides a plain failure, whether no sibling further back, or no ancestor further up, can match either:
    // that prunes the search, so selectors such as "* * * x" stay linear in the depth of the tree.
    enum class TResult { Matches, FailsHere, FailsAllSiblings, FailsCompletely };

    TResult Match(const std::vector<TCompoundSelector>& C, size_t I, const TNode& Element) const
    {
        if (!CompoundMatches(C[I], Element)) return TResult::FailsHere;
        if (I + 1 == C.size()) return TResult::Matches;
        switch (C[I].Left) {
            case TCombinator::Descendant:
                for (TNode P = FTree.Parent(Element); P; P = FTree.Parent(P)) {
                    const TResult R = Match(C, I + 1, P);
                    if (R == TResult::Matches || R == TResult::FailsCompletely) return R;
                }
                return TResult::FailsCompletely;
            case TCombinator::Child: {
                const TNode P = FTree.Parent(Element);
                if (!P) return TResult::FailsCompletely;
                const TResult R = Match(C, I + 1, P);
                return R == TResult::FailsAllSiblings ? TResult::FailsHere : R;
            }
            case TCombinator::Adjacent: {
                const TNode S = FTree.Previous(Element);
                if (!S) return TResult::FailsAllSiblings;
                return Match(C, I + 1, S);
            }
            case TCombinator::Sibling:
                for (TNode S = FTree.Previous(Element); S; S = FTree.Previous(S)) {
                    const TResult R = Match(C, I + 1, S);
                    if (R != TResult::FailsHere) return R;
                }
                return TResult::FailsAllSiblings;
            case TCombinator::None:
                break;
        }
        return TResult::Matches;
    }

    bool CompoundMatches(const TCompoundSelector& S, const TNode& E) const
    {
        if (!S.Type.empty() && !FTree.HasName(E, S.Type)) return false;
        for (const std::string& ID : S.IDs)
            if (!FTree.HasID(E, ID)) return false;
        for (const std::string& Class : S.Classes)
            if (!FTree.HasClass(E, Class)) return false;
        for (const TAttributeTest& A : S.Attributes) {
            const std::optional<std::string> Value = FTree.Attribute(E, A.Name);
            if (!Value || !AttributeValueMatches(A, *Value)) return false;
        }
        for (const TPseudoClass P : S.Pseudos)
            if (!PseudoMatches(P, E)) return false;
        return true;
    }

    bool PseudoMatches(TPseudoClass P, const TNode& E) const
    {
        switch (P) {
            case TPseudoClass::FirstChild:
                return !FTree.Previous(E);
            case TPseudoClass::LastChild:
                return !FTree.Next(E);
            case TPseudoClass::OnlyChild:
                return !FTree.Previous(E) && !FTree.Next(E);
            case TPseudoClass::FirstOfType:
                return !SameTypeAlong(E, &TTree::Previous);
            case TPseudoClass::LastOfType:
                return !SameTypeAlong(E, &TTree::Next);
            case TPseudoClass::OnlyOfType:
                return !SameTypeAlong(E, &TTree::Previous) && !SameTypeAlong(E, &TTree::Next);
            case TPseudoClass::Root:
                return !FTree.Parent(E);
            case TPseudoClass::Empty:
                return !FTree.HasChildren(E);
        }
        return false;
    }

    // Whether a sibling in the direction Step has the element's own name.
    bool SameTypeAlong(const TNode& E, TNode (TTree::*Step)(const TNode&) const) const
    {
        for (TNode S = (FTree.*Step)(E); S; S = (FTree.*Step)(S))
            if (FTree.SameName(S, E)) return true;
        return false;
    }

    const TTree& FTree;
};

}  // namespace plumwick
