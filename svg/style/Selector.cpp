#include "svg/style/Selector.h"

#include <algorithm>
#include <cctype>

namespace plumwick {

namespace {

bool IsBlank(char C)
{
    return C == ' ' || C == '\t' || C == '\n' || C == '\r' || C == '\f';
}

bool IsNameChar(char C)
{
    const auto U = static_cast<unsigned char>(C);
    return std::isalnum(U) || C == '-' || C == '_' || U >= 0x80;
}

// A cursor over selector text; every reader leaves it where it stopped and reports failure by its result.
class TSelectorReader {
public:
    explicit TSelectorReader(std::string_view Text) : FText(Text) {}

    bool AtEnd() const { return FPos >= FText.size(); }
    char Peek() const { return AtEnd() ? '\0' : FText[FPos]; }
    bool Take(char C)
    {
        if (Peek() != C) return false;
        ++FPos;
        return true;
    }
    // Whether any blank was skipped.
    bool SkipBlanks()
    {
        const size_t Start = FPos;
        while (!AtEnd() && IsBlank(FText[FPos])) ++FPos;
        return FPos != Start;
    }

    // An identifier with backslash escapes taken literally; empty when there is none here.
    std::string Name()
    {
        std::string Out;
        while (!AtEnd()) {
            const char C = FText[FPos];
            if (C == '\\' && FPos + 1 < FText.size()) {
                Out += FText[FPos + 1];
                FPos += 2;
            } else if (IsNameChar(C)) {
                Out += C;
                ++FPos;
            } else {
                break;
            }
        }
        return Out;
    }

    // An identifier that may not begin with a digit (class names, ids, types).
    std::optional<std::string> Identifier()
    {
        const char First = Peek();
        if (std::isdigit(static_cast<unsigned char>(First))) return std::nullopt;
        std::string N = Name();
        if (N.empty() || N == "-") return std::nullopt;
        return N;
    }

    // A quoted string (quotes removed) or an identifier.
    std::optional<std::string> Value()
    {
        const char Quote = Peek();
        if (Quote != '"' && Quote != '\'') {
            std::string N = Name();
            return N.empty() ? std::nullopt : std::optional<std::string>(N);
        }
        ++FPos;
        std::string Out;
        while (!AtEnd()) {
            const char C = FText[FPos++];
            if (C == Quote) return Out;
            if (C == '\\' && !AtEnd())
                Out += FText[FPos++];
            else
                Out += C;
        }
        return std::nullopt;
    }

    // Attribute or type name with an optional namespace part: "ns|name" becomes "ns:name" (the document's own
    // spelling); "*|name" and "|name" stand for the name in any or no namespace.
    std::optional<std::string> QualifiedName(bool AllowStar)
    {
        std::string First;
        if (AllowStar && Take('*'))
            First = "*";
        else if (Peek() != '|') {
            std::optional<std::string> N = Identifier();
            if (!N) return std::nullopt;
            First = *N;
        }
        // "|=" is an attribute operator, not a namespace bar.
        if (Peek() == '|' && FPos + 1 < FText.size() && FText[FPos + 1] != '=') {
            ++FPos;
            std::string Local;
            if (AllowStar && Take('*'))
                Local = "*";
            else if (std::optional<std::string> N = Identifier())
                Local = *N;
            else
                return std::nullopt;
            if (First.empty() || First == "*") return Local;
            return First + ":" + Local;
        }
        if (First.empty()) return std::nullopt;
        return First;
    }

private:
    std::string_view FText;
    size_t FPos = 0;
};

std::optional<TAttributeTest> ReadAttribute(TSelectorReader& R)
{
    TAttributeTest Test;
    R.SkipBlanks();
    std::optional<std::string> Name = R.QualifiedName(false);
    if (!Name) return std::nullopt;
    Test.Name = *Name;
    R.SkipBlanks();
    if (R.Take(']')) return Test;
    struct TOp {
        char First;
        TAttributeOp Op;
    };
    static constexpr TOp Ops[] = {{'~', TAttributeOp::Includes},
                                  {'|', TAttributeOp::DashMatch},
                                  {'^', TAttributeOp::Prefix},
                                  {'$', TAttributeOp::Suffix},
                                  {'*', TAttributeOp::Substring}};
    Test.Op = TAttributeOp::Equals;
    for (const TOp& Op : Ops)
        if (R.Take(Op.First)) {
            Test.Op = Op.Op;
            break;
        }
    if (!R.Take('=')) return std::nullopt;
    R.SkipBlanks();
    std::optional<std::string> Value = R.Value();
    if (!Value) return std::nullopt;
    Test.Value = *Value;
    R.SkipBlanks();
    if (R.Peek() == 'i' || R.Peek() == 'I' || R.Peek() == 's' || R.Peek() == 'S') {
        const std::string Flag = R.Name();
        if (Flag == "i" || Flag == "I")
            Test.IgnoreCase = true;
        else if (Flag != "s" && Flag != "S")
            return std::nullopt;
        R.SkipBlanks();
    }
    if (!R.Take(']')) return std::nullopt;
    return Test;
}

std::optional<TPseudoClass> PseudoByName(std::string_view Name)
{
    struct TRow {
        std::string_view Name;
        TPseudoClass Pseudo;
    };
    static constexpr TRow Rows[] = {
        {"first-child", TPseudoClass::FirstChild},
        {"last-child", TPseudoClass::LastChild},
        {"only-child", TPseudoClass::OnlyChild},
        {"first-of-type", TPseudoClass::FirstOfType},
        {"last-of-type", TPseudoClass::LastOfType},
        {"only-of-type", TPseudoClass::OnlyOfType},
        {"root", TPseudoClass::Root},
        {"empty", TPseudoClass::Empty},
    };
    for (const TRow& Row : Rows)
        if (Row.Name == Name) return Row.Pseudo;
    return std::nullopt;
}

// One compound selector; nothing when the text here is not one.
std::optional<TCompoundSelector> ReadCompound(TSelectorReader& R)
{
    TCompoundSelector S;
    bool Any = false;
    const char First = R.Peek();
    if (First == '*' || First == '|' || IsNameChar(First) || First == '\\') {
        std::optional<std::string> Type = R.QualifiedName(true);
        if (!Type) return std::nullopt;
        if (*Type != "*") {
            // Element names are matched without their prefix.
            const size_t Colon = Type->find(':');
            S.Type = Colon == std::string::npos ? *Type : Type->substr(Colon + 1);
            if (S.Type == "*") S.Type.clear();
        }
        Any = true;
    }
    while (true) {
        if (R.Take('#')) {
            std::string ID = R.Name();
            if (ID.empty()) return std::nullopt;
            S.IDs.push_back(std::move(ID));
        } else if (R.Take('.')) {
            std::optional<std::string> Class = R.Identifier();
            if (!Class) return std::nullopt;
            S.Classes.push_back(std::move(*Class));
        } else if (R.Take('[')) {
            std::optional<TAttributeTest> A = ReadAttribute(R);
            if (!A) return std::nullopt;
            S.Attributes.push_back(std::move(*A));
        } else if (R.Take(':')) {
            if (R.Peek() == ':') return std::nullopt;  // pseudo-elements never match an SVG element
            std::string Name = R.Name();
            std::transform(Name.begin(), Name.end(), Name.begin(),
                           [](char C) { return static_cast<char>(std::tolower(static_cast<unsigned char>(C))); });
            const std::optional<TPseudoClass> P = PseudoByName(Name);
            if (!P) return std::nullopt;
            S.Pseudos.push_back(*P);
        } else {
            break;
        }
        Any = true;
    }
    if (!Any) return std::nullopt;
    return S;
}

}  // namespace

std::uint32_t PackSpecificity(unsigned IDs, unsigned Classes, unsigned Types)
{
    auto Sat = [](unsigned N) { return std::min(N, 1023u); };
    return (Sat(IDs) << 20) | (Sat(Classes) << 10) | Sat(Types);
}

bool AttributeValueMatches(const TAttributeTest& Test, std::string_view Value)
{
    std::string Folded;
    std::string_view Wanted = Test.Value;
    std::string WantedFolded;
    if (Test.IgnoreCase) {
        auto Lower = [](std::string_view In) {
            std::string Out(In);
            std::transform(Out.begin(), Out.end(), Out.begin(),
                           [](char C) { return static_cast<char>(std::tolower(static_cast<unsigned char>(C))); });
            return Out;
        };
        Folded = Lower(Value);
        WantedFolded = Lower(Wanted);
        Value = Folded;
        Wanted = WantedFolded;
    }
    switch (Test.Op) {
        case TAttributeOp::Exists:
            return true;
        case TAttributeOp::Equals:
            return Value == Wanted;
        case TAttributeOp::Includes: {
            if (Wanted.empty() || Wanted.find_first_of(" \t\n\r\f") != std::string_view::npos) return false;
            size_t Pos = 0;
            while (Pos < Value.size()) {
                while (Pos < Value.size() && IsBlank(Value[Pos])) ++Pos;
                size_t End = Pos;
                while (End < Value.size() && !IsBlank(Value[End])) ++End;
                if (End > Pos && Value.substr(Pos, End - Pos) == Wanted) return true;
                Pos = End;
            }
            return false;
        }
        case TAttributeOp::DashMatch:
            return Value == Wanted || (Value.size() > Wanted.size() && Value.substr(0, Wanted.size()) == Wanted &&
                                       Value[Wanted.size()] == '-');
        case TAttributeOp::Prefix:
            return !Wanted.empty() && Value.substr(0, Wanted.size()) == Wanted;
        case TAttributeOp::Suffix:
            return !Wanted.empty() && Value.size() >= Wanted.size() &&
                   Value.substr(Value.size() - Wanted.size()) == Wanted;
        case TAttributeOp::Substring:
            return !Wanted.empty() && Value.find(Wanted) != std::string_view::npos;
    }
    return false;
}

std::optional<TSelector> TSelector::Parse(std::string_view Text)
{
    TSelectorReader R(Text);
    R.SkipBlanks();
    std::vector<TCompoundSelector> LeftToRight;
    TCombinator Pending = TCombinator::None;
    while (true) {
        std::optional<TCompoundSelector> C = ReadCompound(R);
        if (!C) return std::nullopt;
        C->Left = Pending;
        LeftToRight.push_back(std::move(*C));
        const bool Blank = R.SkipBlanks();
        if (R.AtEnd()) break;
        if (R.Take('>'))
            Pending = TCombinator::Child;
        else if (R.Take('+'))
            Pending = TCombinator::Adjacent;
        else if (R.Take('~'))
            Pending = TCombinator::Sibling;
        else if (Blank)
            Pending = TCombinator::Descendant;
        else
            return std::nullopt;
        R.SkipBlanks();
    }
    // Right to left, each compound keeping the combinator that joins it to the one on its left.
    TSelector S;
    unsigned IDs = 0, Classes = 0, Types = 0;
    for (auto It = LeftToRight.rbegin(); It != LeftToRight.rend(); ++It) {
        IDs += static_cast<unsigned>(It->IDs.size());
        Classes += static_cast<unsigned>(It->Classes.size() + It->Attributes.size() + It->Pseudos.size());
        Types += It->Type.empty() ? 0 : 1;
        S.FCompounds.push_back(std::move(*It));
    }
    S.FSpecificity = PackSpecificity(IDs, Classes, Types);
    return S;
}

}  // namespace plumwick
