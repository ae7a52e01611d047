// The style cascade of TSVGBasic: applying declaration blocks, resolving against the sheet, and
// reading presentation properties up the tree.

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <iterator>
#include <optional>
#include <utility>

#include "platform/GdiPlusFont.h"
#include "svg/base/SVGColor.h"
#include "svg/base/SVGFontLength.h"
#include "svg/base/SVGParse.h"
#include "svg/core/SVGBasic.h"
#include "svg/core/SVGDocument.h"
#include "svg/core/SVGRegion.h"

namespace plumwick {

namespace {

// The nearest element on the chain (Start, its parent, ...) that satisfies Has, or nullptr.
template <class THas>
const TSVGBasic* FindUp(const TSVGBasic* Start, THas&& Has)
{
    for (const TSVGObject* Node = Start; Node; Node = Node->GetParent())
        if (const TSVGBasic* B = Node->AsBasic(); B && Has(*B)) return B;
    return nullptr;
}

// The field of the nearest element on the chain where it is not Unset, else Default.
template <class T>
T ResolvedField(const TSVGBasic* Start, T TSVGBasic::*Field, const T& Unset, const T& Default)
{
    const TSVGBasic* B = FindUp(Start, [&](const TSVGBasic& E) { return E.*Field != Unset; });
    return B ? B->*Field : Default;
}

bool SameTextIgnoringCase(std::string_view A, std::string_view B)
{
    return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) {
               return std::tolower(static_cast<unsigned char>(X)) == std::tolower(static_cast<unsigned char>(Y));
           });
}

bool EndsWith(std::string_view Text, std::string_view Tail)
{
    return Text.size() >= Tail.size() && Text.substr(Text.size() - Tail.size()) == Tail;
}

// A fill or stroke opacity as written, clamped to [0, 1]; an empty value sets nothing.
std::optional<float> OpacityValue(std::string_view Text)
{
    if (Text.empty()) return std::nullopt;
    return std::clamp(ParsePercent(Text), 0.0f, 1.0f);
}

float NumberOrZero(std::string_view Text)
{
    float Value = 0;
    TryParseNumber(Text, Value);
    return Value;
}

// "evenodd" or "nonzero" into Rule; anything else leaves it as it was.
void ReadFillRule(std::string_view Value, int& Rule)
{
    const std::string_view Word = TrimView(Value);
    if (Word == "evenodd")
        Rule = FillRuleEvenOdd;
    else if (Word == "nonzero")
        Rule = FillRuleNonZero;
}

// The CSS "font" shorthand: [style] [variant] [weight] [stretch] size[/line-height] family. What it
// leaves out is reset to normal, as CSS does. Nothing for a value without a size and a family.
struct TFontShorthand {
    int Style = 0;
    std::string Weight = "normal";
    std::string Size;
    std::string Family;
};

std::optional<TFontShorthand> ParseFontShorthand(std::string_view Value)
{
    static constexpr std::string_view Ignored[] = {"normal",   "small-caps",     "condensed",
                                                   "expanded", "semi-condensed", "semi-expanded"};
    TFontShorthand Result;
    std::size_t I = 0;
    while (I < Value.size()) {
        while (I < Value.size() && Value[I] == ' ') ++I;
        const std::size_t End = std::min(Value.find(' ', I), Value.size());
        const std::string_view Word = Value.substr(I, End - I);
        if (Word.empty()) break;
        I = End;
        if (Word == "italic" || Word == "oblique") {
            Result.Style = 1;
        } else if (Word == "bold" || Word == "bolder" || Word == "lighter" ||
                   std::all_of(Word.begin(), Word.end(), [](char C) { return C >= '0' && C <= '9'; })) {
            Result.Weight = std::string(Word);
        } else if (std::find(std::begin(Ignored), std::end(Ignored), Word) != std::end(Ignored)) {
        } else if ((Word[0] >= '0' && Word[0] <= '9') || Word[0] == '.') {
            Result.Size = std::string(Word.substr(0, Word.find('/')));
            Result.Family = Trim(Value.substr(I));
            break;
        } else {
            return std::nullopt;
        }
    }
    if (Result.Size.empty() || Result.Family.empty()) return std::nullopt;
    return Result;
}

}  // namespace

void TSVGBasic::ApplyStyle(TStyle& Style)
{
    using TApply = void (*)(TSVGBasic & E, TStyle & Style, const std::string& Value);
    struct TRow {
        std::string_view Name;
        TApply Apply;
    };
    // In this order: later rows see what earlier ones set.
    static constexpr TRow Rows[] = {
        {"opacity",
         [](TSVGBasic& E, TStyle&, const std::string& V) {
             // A number, or a percentage; anything else (a unit, a word) leaves the opacity as it was.
             std::string_view Text = TrimView(V);
             const bool Percent = !Text.empty() && Text.back() == '%';
             if (Percent)
                 Text.remove_suffix(1);
             float Opacity = 0;
             if (TryParseNumber(Text, Opacity) && std::isfinite(Opacity))
                 E.FOpacity = std::clamp(Percent ? Opacity / 100 : Opacity, 0.0f, 1.0f);
         }},
        {"stroke-opacity", [](TSVGBasic& E, TStyle&, const std::string& V) { E.FStrokeOpacity = OpacityValue(V); }},
        {"fill-opacity", [](TSVGBasic& E, TStyle&, const std::string& V) { E.FFillOpacity = OpacityValue(V); }},
        // Only what currentColor stands for: it paints nothing by itself.
        {"color", [](TSVGBasic& E, TStyle&, const std::string& V) { E.FColor = V; }},
        {"stroke", [](TSVGBasic& E, TStyle&, const std::string& V) { E.FStrokeURI = V; }},
        {"fill", [](TSVGBasic& E, TStyle&, const std::string& V) { E.FFillURI = V; }},
        {"fill-rule", [](TSVGBasic& E, TStyle&, const std::string& V) { ReadFillRule(V, E.FFillRule); }},
        {"clip-rule", [](TSVGBasic& E, TStyle&, const std::string& V) { ReadFillRule(V, E.FClipRule); }},
        {"clip-path", [](TSVGBasic& E, TStyle&, const std::string& V) { E.SetClipURI(V); }},
        // Only a declaration reaches here: the cascade drops a "marker" attribute. Longhands of the same block
        // come after it.
        {"marker",
         [](TSVGBasic& E, TStyle&, const std::string& V) { E.FMarkerStart = E.FMarkerMid = E.FMarkerEnd = V; }},
        {"marker-start", [](TSVGBasic& E, TStyle&, const std::string& V) { E.FMarkerStart = V; }},
        {"marker-mid", [](TSVGBasic& E, TStyle&, const std::string& V) { E.FMarkerMid = V; }},
        {"marker-end", [](TSVGBasic& E, TStyle&, const std::string& V) { E.FMarkerEnd = V; }},
        {"stroke-linejoin", [](TSVGBasic& E, TStyle&, const std::string& V) { E.FStrokeLineJoin = V; }},
        {"stroke-linecap", [](TSVGBasic& E, TStyle&, const std::string& V) { E.FStrokeLineCap = V; }},
        {"stroke-miterlimit", [](TSVGBasic& E, TStyle&, const std::string& V) { E.FStrokeMiterLimit = NumberOrZero(V); }},
        // The shorthand first, so that the longhands of the same block override it.
        {"font",
         [](TSVGBasic& E, TStyle& S, const std::string& V) {
             const std::optional<TFontShorthand> Font = ParseFontShorthand(V);
             if (!Font)
                 return;
             E.FFontStyle = Font->Style;
             E.ParseFontWeight(Font->Weight);
             E.SetFontSizeText(Font->Size);
             E.FFontName = Font->Family.find(',') == std::string::npos ? TStyle::Dequote(Font->Family) : Font->Family;
             if (!E.IsFontInstalled())
                 E.NormalizeFontName(S);
         }},
        {"font-family",
         [](TSVGBasic& E, TStyle& S, const std::string& V) {
             E.FFontName = V;
             if (!E.IsFontInstalled())
                 E.NormalizeFontName(S);
         }},
        {"font-weight", [](TSVGBasic& E, TStyle&, const std::string& V) { E.ParseFontWeight(V); }},
        {"font-size", [](TSVGBasic& E, TStyle&, const std::string& V) { E.SetFontSizeText(V); }},
        {"text-decoration",
         [](TSVGBasic& E, TStyle&, const std::string& V) {
             bool None = false;
             for (const std::string& Word : SplitValues(V, ' ')) {
                 if (SameTextIgnoringCase(Word, "underline")) {
                     E.FTextDecoration.Exclude(tdInherit);
                     E.FTextDecoration.Include(tdUnderLine);
                 } else if (SameTextIgnoringCase(Word, "overline")) {
                     E.FTextDecoration.Exclude(tdInherit);
                     E.FTextDecoration.Include(tdOverLine);
                 } else if (SameTextIgnoringCase(Word, "line-through")) {
                     E.FTextDecoration.Exclude(tdInherit);
                     E.FTextDecoration.Include(tdStrikeOut);
                 } else if (SameTextIgnoringCase(Word, "none")) {
                     None = true;
                 }
             }
             if (None)
                 E.FTextDecoration = TTextDecoration();
         }},
        {"font-style",
         [](TSVGBasic& E, TStyle&, const std::string& V) {
             if (V == "normal")
                 E.FFontStyle = 0;
             else if (V == "italic")
                 E.FFontStyle = 1;
         }},
        {"stroke-width",
         [](TSVGBasic& E, TStyle&, const std::string& V) {
             E.FStrokeWidth = ParseLength(TrimView(V));
             E.FStrokeWidthUnit = GetLengthUnit(TrimView(V));
         }},
        {"stroke-dashoffset",
         [](TSVGBasic& E, TStyle&, const std::string& V) {
             E.FStrokeDashOffset = ParseLength(TrimView(V));
             E.FStrokeDashOffsetUnit = GetLengthUnit(TrimView(V));
         }},
        {"stroke-dasharray", [](TSVGBasic& E, TStyle&, const std::string& V) { E.ParseDashArray(V); }},
    };
    for (const TRow& Row : Rows) {
        const std::string Value = Style.GetValues(Row.Name);
        if (!Value.empty()) Row.Apply(*this, Style, Value);
    }
}

void TSVGBasic::ParseDashArray(std::string_view Value)
{
    FStrokeDashArray.clear();
    FStrokeDashArrayUnits.clear();
    FArrayNone = false;
    if (TrimView(Value) == "none") {
        FArrayNone = true;
        return;
    }
    std::vector<std::string> Items;
    for (const std::string& Item : SplitValues(Value, ',')) {
        std::string Trimmed = Trim(Item);
        if (!Trimmed.empty()) Items.push_back(std::move(Trimmed));
    }
    if (Items.empty()) return;
    // An odd list repeats once to give whole dash-gap pairs.
    if (Items.size() % 2 != 0) {
        const size_t N = Items.size();
        for (size_t I = 0; I < N; ++I) Items.push_back(Items[I]);
    }
    for (const std::string& Item : Items) {
        FStrokeDashArray.push_back(ParseLength(Item));
        FStrokeDashArrayUnits.push_back(GetLengthUnit(Item));
    }
    FStrokeDashArrayCount = static_cast<int>(FStrokeDashArray.size());
}

void TSVGBasic::ParseFontWeight(std::string_view Value)
{
    struct TKeyword {
        std::string_view Name;
        int Weight;
    };
    static constexpr TKeyword Keywords[] = {{"normal", 400}, {"bold", 700}, {"bolder", 800}, {"lighter", 300}};
    for (const TKeyword& K : Keywords)
        if (Value == K.Name) {
            FFontWeight = K.Weight;
            return;
        }
    // The leading digits count; saturating keeps an absurdly long number from overflowing.
    long long Weight = 0;
    for (char C : Value) {
        if (C < '0' || C > '9') break;
        Weight = std::min<long long>(Weight * 10 + (C - '0'), INT_MAX);
    }
    FFontWeight = static_cast<int>(Weight);
}

bool TSVGBasic::IsFontInstalled() const
{
    TGPFontFamily Family(GetFontName());
    return Family.GetLastStatus() == Ok;
}

void TSVGBasic::NormalizeFontName(TStyle& Style)
{
    const std::string O = FFontName;
    const size_t B = O.find("Bold");
    const size_t I = O.find("Italic");
    const bool HasB = B != std::string::npos;
    const bool HasI = I != std::string::npos;

    auto TrimDash = [this] {
        if (!FFontName.empty() && FFontName.back() == '-') FFontName.pop_back();
    };
    auto DropMT = [this, &TrimDash] {
        if (EndsWith(FFontName, "MT")) {
            FFontName.resize(FFontName.size() - 2);
            TrimDash();
        }
    };
    auto MarkBold = [&Style] { Style.PutValues("font-weight", "bold"); };
    auto MarkItalic = [&Style] { Style.PutValues("font-style", "italic"); };
    // Installed as it is, or after dropping a trailing MT.
    auto InstalledWithOrWithoutMT = [this, &DropMT] {
        if (IsFontInstalled()) return true;
        if (!EndsWith(FFontName, "MT")) return false;
        DropMT();
        return IsFontInstalled();
    };

    if (HasB) {
        FFontName = O;
        FFontName.erase(B, 4);
        TrimDash();
        if (InstalledWithOrWithoutMT()) {
            MarkBold();
            return;
        }
    }
    if (HasI) {
        FFontName = O;
        FFontName.erase(I, 6);
        TrimDash();
        if (InstalledWithOrWithoutMT()) {
            MarkItalic();
            return;
        }
    }
    if (HasB && HasI) {
        FFontName = O;
        FFontName.erase(B, 4);
        TrimDash();
        if (size_t I2 = FFontName.find("Italic"); I2 != std::string::npos) FFontName.erase(I2, 6);
        TrimDash();
        if (InstalledWithOrWithoutMT()) {
            MarkBold();
            MarkItalic();
            return;
        }
    }
    FFontName = O;
    if (EndsWith(O, "MT")) {
        DropMT();
        if (!IsFontInstalled()) FFontName = O;
    }
}

// "currentColor" paints with the colour in force: the nearest readable "color" on the chain, else black, the
// initial value. Read as "not set" it would leave the strokes of most outline icon sets (stroke="currentColor"
// on the svg element) with no colour at all.
TColor TSVGBasic::CurrentColor() const
{
    for (const TSVGObject* Node = this; Node; Node = Node->GetParent())
        if (const TSVGBasic* B = Node->AsBasic(); B && !B->FColor.empty()) {
            const TColor C = ParseColor(B->FColor);
            if (IsColorValue(C)) return C;
        }
    return 0;
}

namespace {

// A paint text "url(#id) [fallback]": the id (quotes allowed around the reference) and the fallback
// text; nothing for a text that is not a reference.
struct TPaintReference {
    std::string ID;
    std::string_view Fallback;
};

std::optional<TPaintReference> SplitPaintReference(std::string_view Text)
{
    Text = TrimView(Text);
    if (Text.substr(0, 4) != "url(") return std::nullopt;
    const size_t Close = Text.find(')');
    if (Close == std::string_view::npos) return std::nullopt;
    std::string_view Ref = TrimView(Text.substr(4, Close - 4));
    if (Ref.size() >= 2 && (Ref.front() == '"' || Ref.front() == '\'') && Ref.back() == Ref.front())
        Ref = TrimView(Ref.substr(1, Ref.size() - 2));
    TPaintReference Result;
    if (!Ref.empty() && Ref.front() == '#') Result.ID = std::string(Ref.substr(1));
    Result.Fallback = TrimView(Text.substr(Close + 1));
    return Result;
}

}  // namespace

// Besides colours, the paint keywords the colour reader does not know: "transparent" paints nothing (read as
// "not set" it would inherit, usually black, where the author meant an invisible box).
TColor TSVGBasic::PaintColor(const std::string& Text) const
{
    // A paint server reference is a whole paint: its fallback colour, or none when the server
    // is missing and nothing else is given. Children inherit it with the reference.
    if (const std::optional<TPaintReference> Ref = SplitPaintReference(Text))
        return Ref->Fallback.empty() ? SVG_NONE_COLOR : PaintColor(std::string(Ref->Fallback));
    const std::string_view Keyword = TrimView(Text);
    if (SameTextIgnoringCase(Keyword, "currentColor")) return CurrentColor();
    // Stands in for the context element's paint, found when painting (see PaintSource).
    if (Keyword == "context-fill" || Keyword == "context-stroke") return SVG_NONE_COLOR;
    return ParseColor(Text);
}

void TSVGBasic::ResolveStyle()
{
    // The own block already holds what the sheet's rules gave the element (see CascadeElement).
    ApplyStyle(*FStyle);

    auto IsCurrent = [](const std::string& Text) { return SameTextIgnoringCase(TrimView(Text), "currentColor"); };
    FFillCurrent = IsCurrent(FFillURI);
    FStrokeCurrent = IsCurrent(FStrokeURI);
    auto Context = [](const std::string& Text) {
        const std::string_view Keyword = TrimView(Text);
        return Keyword == "context-fill"     ? TContextPaint::Fill
               : Keyword == "context-stroke" ? TContextPaint::Stroke
                                             : TContextPaint::None;
    };
    FFillContext = Context(FFillURI);
    FStrokeContext = Context(FStrokeURI);
    FFillColor = PaintColor(FFillURI);
    FStrokeColor = PaintColor(FStrokeURI);
    if (FFillColor != SVG_INHERIT_COLOR) FFillColor = ShownColor(FFillColor);
    if (FStrokeColor != SVG_INHERIT_COLOR) FStrokeColor = ShownColor(FStrokeColor);
    auto ServerID = [](const std::string& Text) {
        const std::optional<TPaintReference> Ref = SplitPaintReference(Text);
        return Ref ? Ref->ID : std::string();
    };
    FFillURI = ServerID(FFillURI);
    FStrokeURI = ServerID(FStrokeURI);
    SetClipURI(ParseURI(FClipURI));
}

// --- Readers that resolve up the tree.

TColor TSVGBasic::ShownColor(TColor C) const
{
    const TSVG* Root = GetRoot();
    if (!Root) return C;
    if (Root->GetGrayscale()) C = GrayscaleColor(C);
    // The fixed colour takes the place of the colour, not of its alpha.
    if (Root->GetFixedColor() != SVG_INHERIT_COLOR && C != SVG_INHERIT_COLOR && C != SVG_NONE_COLOR)
        C = ColorWithAlpha(Root->GetFixedColor(), ColorAlpha(C));
    return C;
}

TSVGBasic::TPaintSource TSVGBasic::PaintSource(bool Stroke) const
{
    // Bounded: a context element may itself paint with its context's paint, and so on.
    constexpr int MaxContextSteps = 32;
    TPaintSource Source;
    Source.Stroke = Stroke;
    const TSVGBasic* E = this;
    for (int Step = 0; Step < MaxContextSteps; ++Step) {
        const TSVGBasic* B = FindUp(E, [&](const TSVGBasic& X) {
            return (Source.Stroke ? X.FStrokeColor : X.FFillColor) != SVG_INHERIT_COLOR;
        });
        const TContextPaint Paint = !B ? TContextPaint::None : Source.Stroke ? B->FStrokeContext : B->FFillContext;
        if (Paint == TContextPaint::None) return Source;
        Source.Context = nullptr;
        for (TSVGObject* N = E->GetParent(); N && !Source.Context; N = N->GetParent()) {
            auto* Holder = dynamic_cast<TSVGBasic*>(N);
            if (!Holder) continue;
            const std::optional<TSVGBasic*> Context = Holder->GetContentContext();
            if (!Context) continue;
            if (!*Context) break;
            Source.Context = *Context;
        }
        if (!Source.Context) return TPaintSource{false, nullptr, Stroke};
        Source.Stroke = Paint == TContextPaint::Stroke;
        E = Source.Context;
    }
    return TPaintSource{false, nullptr, Stroke};
}

TColor TSVGBasic::GetFillColor() const
{
    if (const TPaintSource Source = PaintSource(false); !Source.Exists || Source.Context)
        return !Source.Exists  ? SVG_NONE_COLOR
               : Source.Stroke ? Source.Context->GetStrokeColor()
                               : Source.Context->GetFillColor();
    // currentColor is the colour in force here (a used copy takes the use's), not where the paint was given.
    const TSVGBasic* B = FindUp(this, [](const TSVGBasic& E) { return E.FFillColor != SVG_INHERIT_COLOR; });
    if (B && B->FFillCurrent) return ShownColor(CurrentColor());
    return B ? B->FFillColor : ShownColor(TColor(0));
}

int TSVGBasic::GetFillRule() const
{
    return ResolvedField<int>(this, &TSVGBasic::FFillRule, FillRuleNotSet, FillRuleNotSet);
}

const std::string& TSVGBasic::GetFillServer() const
{
    static const std::string None;
    const TSVGBasic* B = FindUp(this, [](const TSVGBasic& E) { return E.FFillColor != SVG_INHERIT_COLOR; });
    return B ? B->FFillURI : None;
}

const std::string& TSVGBasic::GetStrokeServer() const
{
    static const std::string None;
    const TSVGBasic* B = FindUp(this, [](const TSVGBasic& E) { return E.FStrokeColor != SVG_INHERIT_COLOR; });
    return B ? B->FStrokeURI : None;
}

int TSVGBasic::GetClipRule() const
{
    return ResolvedField<int>(this, &TSVGBasic::FClipRule, FillRuleNotSet, FillRuleNonZero);
}

TColor TSVGBasic::GetStrokeColor() const
{
    if (const TPaintSource Source = PaintSource(true); !Source.Exists || Source.Context)
        return !Source.Exists  ? SVG_NONE_COLOR
               : Source.Stroke ? Source.Context->GetStrokeColor()
                               : Source.Context->GetFillColor();
    const TSVGBasic* B = FindUp(this, [](const TSVGBasic& E) { return E.FStrokeColor != SVG_INHERIT_COLOR; });
    if (B && B->FStrokeCurrent) return ShownColor(CurrentColor());
    return B ? B->FStrokeColor : SVG_NONE_COLOR;
}

namespace {

// fill-opacity and stroke-opacity inherit: the nearest element that sets one gives it (they do not
// accumulate, unlike opacity). The document's own value (SVGOpacity) scales every element's.
template <class TField>
float ChainOpacity(const TSVGBasic* Start, TField&& Field)
{
    float Nearest = 1;
    bool Found = false;
    float Document = 1;
    for (const TSVGObject* Node = Start; Node; Node = Node->GetParent()) {
        const TSVGBasic* B = Node->AsBasic();
        if (!B || !Field(*B)) continue;
        if (Node->AsDocument())
            Document = *Field(*B);
        else if (!Found) {
            Nearest = *Field(*B);
            Found = true;
        }
    }
    return Nearest * Document;
}

}  // namespace

float TSVGBasic::GetFillOpacity() const
{
    return ChainOpacity(this, [](const TSVGBasic& E) { return E.FFillOpacity; });
}

float TSVGBasic::GetStrokeOpacity() const
{
    return ChainOpacity(this, [](const TSVGBasic& E) { return E.FStrokeOpacity; });
}

namespace {

// A stroke length as used by User: em and ex count in the font size of Declarer, the element that wrote
// them (descendants inherit the computed length); a percentage stays one and is taken of User's viewport,
// its normalised diagonal. An ex is taken as half an em.
float ResolveStrokeLength(float Value, TLengthUnit Unit, const TSVGBasic& Declarer, const TSVGBasic& User)
{
    if (Unit == luEm || Unit == luEx) return FontRelativeLength(Value, Unit, Declarer.GetFontSize());
    if (Unit != luPercent) return Value;
    float Width = 0, Height = 0;
    TUnitRegion::ViewportOf(User, Width, Height);
    return static_cast<float>(Value * std::sqrt((double(Width) * Width + double(Height) * Height) / 2) / 100);
}

}  // namespace

float TSVGBasic::GetStrokeWidth() const
{
    const TSVGBasic* B = FindUp(this, [](const TSVGBasic& E) { return E.FStrokeWidth != UndefinedFloat; });
    return B ? ResolveStrokeLength(B->FStrokeWidth, B->FStrokeWidthUnit, *B, *this) : -2.0f;
}

namespace {

// A keyword looked up in a small table; Default for any other text.
template <class T, size_t N>
T KeywordValue(const std::string& Text, const std::pair<std::string_view, T> (&Table)[N], T Default)
{
    for (const auto& [Keyword, Value] : Table)
        if (Text == Keyword) return Value;
    return Default;
}

}  // namespace

LineJoin TSVGBasic::GetStrokeLineJoin() const
{
    static constexpr std::pair<std::string_view, LineJoin> Joins[] = {{"round", LineJoinRound},
                                                                      {"bevel", LineJoinBevel}};
    return KeywordValue(ResolvedField<std::string>(this, &TSVGBasic::FStrokeLineJoin, {}, {}), Joins,
                        LineJoinMiterClipped);
}

LineCap TSVGBasic::GetStrokeLineCap() const
{
    static constexpr std::pair<std::string_view, LineCap> Caps[] = {{"round", LineCapRound}, {"square", LineCapSquare}};
    return KeywordValue(ResolvedField<std::string>(this, &TSVGBasic::FStrokeLineCap, {}, {}), Caps, LineCapFlat);
}

DashCap TSVGBasic::GetStrokeDashCap() const
{
    static constexpr std::pair<std::string_view, DashCap> Caps[] = {{"round", DashCapRound}};
    return KeywordValue(ResolvedField<std::string>(this, &TSVGBasic::FStrokeLineCap, {}, {}), Caps, DashCapFlat);
}

float TSVGBasic::GetStrokeMiterLimit() const
{
    return ResolvedField<float>(this, &TSVGBasic::FStrokeMiterLimit, UndefinedFloat, 4.0f);
}

float TSVGBasic::GetStrokeDashOffset() const
{
    const TSVGBasic* B = FindUp(this, [](const TSVGBasic& E) { return E.FStrokeDashOffset.has_value(); });
    return B ? ResolveStrokeLength(*B->FStrokeDashOffset, B->FStrokeDashOffsetUnit, *B, *this) : 0.0f;
}

std::vector<float> TSVGBasic::GetStrokeDashArray() const
{
    const TSVGBasic* B = FindUp(this, [](const TSVGBasic& E) { return E.FStrokeDashArrayCount != 0 || E.FArrayNone; });
    if (!B || B->FArrayNone) return {};
    std::vector<float> Dashes = B->FStrokeDashArray;
    for (size_t I = 0; I < Dashes.size() && I < B->FStrokeDashArrayUnits.size(); ++I)
        Dashes[I] = ResolveStrokeLength(Dashes[I], B->FStrokeDashArrayUnits[I], *B, *this);
    return Dashes;
}

std::string TSVGBasic::GetFontName() const
{
    return ResolvedField<std::string>(this, &TSVGBasic::FFontName, std::string(), std::string("Arial"));
}

void TSVGBasic::SetFontSizeText(std::string_view Text)
{
    const std::optional<TFontSizeValue> Size = ParseFontSize(Text);
    FFontSize = Size ? Size->Value : UndefinedFloat;
    FFontSizeOfParent = Size && Size->OfParent;
}

// A relative size (em, ex, %, larger, smaller) is of the parent's font size, so "2em" in a 20 px group is 40 px.
float TSVGBasic::GetFontSize() const
{
    const TSVGBasic* B = FindUp(this, [](const TSVGBasic& E) { return E.FFontSize != UndefinedFloat; });
    if (!B) return MediumFontSize;
    if (!B->FFontSizeOfParent) return B->FFontSize;
    const TSVGBasic* Parent = nullptr;
    for (const TSVGObject* Node = B->GetParent(); Node && !Parent; Node = Node->GetParent()) Parent = Node->AsBasic();
    return ResolveFontSize({B->FFontSize, true}, Parent ? Parent->GetFontSize() : MediumFontSize);
}

int TSVGBasic::GetFontWeight() const
{
    return ResolvedField<int>(this, &TSVGBasic::FFontWeight, UndefinedInt, 400);
}

int TSVGBasic::GetFontStyle() const
{
    return ResolvedField<int>(this, &TSVGBasic::FFontStyle, UndefinedInt, 0);
}

TTextDecoration TSVGBasic::GetTextDecoration() const
{
    const TSVGBasic* B = FindUp(this, [](const TSVGBasic& E) { return !E.FTextDecoration.Contains(tdInherit); });
    return B ? B->FTextDecoration : TTextDecoration();
}

std::string TSVGBasic::GetClipURI() const
{
    return ResolvedField<std::string>(this, &TSVGBasic::FClipURI, std::string(), std::string());
}

void TSVGBasic::SetClipURI(std::string_view Value)
{
    FClipURI = Value;
}

}  // namespace plumwick
