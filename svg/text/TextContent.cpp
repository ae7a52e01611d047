// Gathers a text element's content and styles for the layout, and hands the laid-out glyphs and
// decorations back to the objects that paint them.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

#include "gdip/GDIPKerning.h"
#include "gdip/GDIPOBJ2.h"
#include "svg/base/SVGColor.h"
#include "svg/base/SVGCommon.h"
#include "svg/base/SVGError.h"
#include "svg/base/SVGFontLength.h"
#include "svg/base/SVGParse.h"
#include "svg/core/SVGDocument.h"
#include "svg/shapes/SVGPath.h"
#include "svg/style/SVGStyle.h"
#include "svg/text/SVGText.h"
#include "svg/text/TextGuide.h"
#include "svg/text/TextLayout.h"
#include "svg/text/TextSheet.h"

namespace plumwick {

namespace {

constexpr float NotGiven = std::numeric_limits<float>::quiet_NaN();
constexpr float GuideFlatness = 0.05f;

std::string Lower(std::string_view Text)
{
    std::string out(Text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// One length of text layout: em and ex of the font size, percentages of Side, the rest as lengths.
float TextLength(std::string_view Item, float Side, float FontSize)
{
    const std::string text = Trim(Item);
    if (text.empty()) return NotGiven;
    const TLengthUnit unit = GetLengthUnit(text);
    if (unit == luPercent) return ParseLength(text) * Side / 100;
    return FontRelativeLength(ParseLength(text), unit, FontSize);
}

// The font size of a text object: its own "font-size", else the parent's; the cascade's value at the top.
float FontSizeOf(const TSVGObject& Obj)
{
    std::string value;
    if (const auto* text = dynamic_cast<const TSVGCustomText*>(&Obj))
        value = text->OwnProperty("font-size");
    else
        value = Trim(Obj.GetStyle().GetValues("font-size"));
    const TSVGObject* parent = Obj.GetParent();
    // Above the root, relative sizes start from the initial "medium".
    auto parentSize = [&]() { return parent != nullptr ? FontSizeOf(*parent) : MediumFontSize; };
    const std::optional<TFontSizeValue> size = ParseFontSize(value);
    if (!size) {
        // The root, and an element sized by the "font" shorthand, take the cascade's size; the
        // rest inherit.
        const auto* basic = dynamic_cast<const TSVGBasic*>(&Obj);
        const auto* text = dynamic_cast<const TSVGCustomText*>(&Obj);
        const bool shorthand =
            text != nullptr ? !text->OwnProperty("font").empty() : !Trim(Obj.GetStyle().GetValues("font")).empty();
        if (basic != nullptr && (parent == nullptr || shorthand)) return basic->GetFontSize();
        return parentSize();
    }
    return size->OfParent ? ResolveFontSize(*size, parentSize()) : size->Value;
}

// The font weight of a text object: its own "font-weight" (numbers from 1 to 1000, normal, bold,
// and bolder and lighter relative to the parent's weight as CSS steps them), else the parent's.
int FontWeightOf(const TSVGObject& Obj)
{
    std::string value;
    const auto* text = dynamic_cast<const TSVGCustomText*>(&Obj);
    if (text != nullptr) {
        value = text->OwnProperty("font-weight");
        // A family named like "Arial-BoldMT" left its weight in the element's style.
        if (value.empty() && text->HasOwnStyle()) value = Trim(Obj.GetStyle().GetValues("font-weight"));
    } else {
        value = Trim(Obj.GetStyle().GetValues("font-weight"));
        if (value.empty()) value = SheetValue(Obj, "font-weight");
    }
    const TSVGObject* parent = Obj.GetParent();
    auto parentWeight = [&]() { return parent != nullptr ? FontWeightOf(*parent) : 400; };
    if (value.empty() || value == "inherit") {
        const bool shorthand =
            text != nullptr ? !text->OwnProperty("font").empty() : !Trim(Obj.GetStyle().GetValues("font")).empty();
        if (shorthand)
            if (const auto* basic = dynamic_cast<const TSVGBasic*>(&Obj)) {
                const int weight = basic->GetFontWeight();
                return weight >= 1 && weight <= 1000 ? weight : 400;
            }
        return parentWeight();
    }
    if (value == "normal") return 400;
    if (value == "bold") return 700;
    if (value == "bolder") {
        const int w = parentWeight();
        return w < 350 ? 400 : w < 550 ? 700 : 900;
    }
    if (value == "lighter") {
        const int w = parentWeight();
        return w < 100 ? w : w < 550 ? 100 : w < 750 ? 400 : 700;
    }
    float number = 0;
    if (TryParseNumber(value, number) && number >= 1 && number <= 1000) return static_cast<int>(std::lround(number));
    return parentWeight();
}

// The dominant baseline in force: the nearest value that names a baseline (values that name none,
// such as the old "no-change", are passed over).
std::string DominantBaseline(const TSVGCustomText& Obj)
{
    static constexpr std::string_view known[] = {
        "auto",        "alphabetic",   "central",          "middle",          "hanging",
        "ideographic", "mathematical", "text-before-edge", "text-after-edge", "text-top",
        "text-bottom", "before-edge",  "after-edge"};
    for (const TSVGObject* p = &Obj; p != nullptr; p = p->GetParent()) {
        const auto* text = dynamic_cast<const TSVGCustomText*>(p);
        if (text == nullptr) break;
        std::string value = text->OwnProperty("dominant-baseline");
        if (std::find(std::begin(known), std::end(known), value) != std::end(known)) return value;
    }
    const std::string outside = Obj.InheritedProperty("dominant-baseline");
    return std::find(std::begin(known), std::end(known), outside) != std::end(known) ? outside : std::string();
}

std::vector<float> LengthList(std::string_view Value, float Side, float FontSize)
{
    std::vector<float> out;
    for (const std::string& item : SplitValues(Value, ','))
        if (!Trim(item).empty()) out.push_back(TextLength(item, Side, FontSize));
    return out;
}

// The families of a CSS list, unquoted, in order.
std::vector<std::string> FamilyList(std::string_view Value)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= Value.size()) {
        std::size_t comma = Value.find(',', start);
        if (comma == std::string_view::npos) comma = Value.size();
        std::string name = TStyle::Dequote(Trim(Value.substr(start, comma - start)));
        if (!name.empty()) out.push_back(std::move(name));
        start = comma + 1;
    }
    return out;
}

int StretchPercent(std::string_view Value)
{
    static const std::pair<const char*, int> names[] = {
        {"ultra-condensed", 50}, {"extra-condensed", 62}, {"condensed", 75}, {"semi-condensed", 87},
        {"normal", 100},         {"semi-expanded", 112},  {"expanded", 125}, {"extra-expanded", 150},
        {"ultra-expanded", 200}, {"narrower", 75},        {"wider", 125}};
    for (const auto& [name, percent] : names)
        if (Value == name) return percent;
    if (!Value.empty() && Value.back() == '%') {
        const float p = ParseNumber(Value.substr(0, Value.size() - 1));
        if (p > 0) return static_cast<int>(std::lround(p));
    }
    return 100;
}

// "font-feature-settings": "liga" 0, "smcp", "kern" on.
std::vector<std::pair<std::string, std::uint32_t>> FeatureList(std::string_view Value)
{
    std::vector<std::pair<std::string, std::uint32_t>> out;
    for (const std::string& item : SplitValues(Value, ',')) {
        const std::string text = Trim(item);
        if (text.size() < 6 || (text[0] != '"' && text[0] != '\'')) continue;
        const std::string tag = text.substr(1, 4);
        const std::string rest = Trim(std::string_view(text).substr(6));
        std::uint32_t value = 1;
        if (rest == "off")
            value = 0;
        else if (!rest.empty() && rest != "on")
            value = static_cast<std::uint32_t>(std::max(0.0f, ParseNumber(rest)));
        out.emplace_back(tag, value);
    }
    return out;
}

std::vector<std::pair<std::string, float>> VariationList(std::string_view Value)
{
    std::vector<std::pair<std::string, float>> out;
    // Items are split at commas only: each holds a quoted tag, blanks and a number.
    for (std::size_t start = 0; start < Value.size();) {
        const std::size_t comma = std::min(Value.find(',', start), Value.size());
        const std::string text = Trim(Value.substr(start, comma - start));
        start = comma + 1;
        if (text.size() < 7 || (text[0] != '"' && text[0] != '\'')) continue;
        out.emplace_back(text.substr(1, 4), ParseNumber(Trim(std::string_view(text).substr(6))));
    }
    return out;
}

// The lines of a "text-decoration" value: keywords separated by blanks, with a line style and a
// colour in any order. A value holding anything else (commas, run-together keywords) is invalid and
// draws no line.
std::uint8_t DecorationLines(std::string_view Value)
{
    static constexpr std::string_view ignored[] = {"none",   "blink",  "solid", "double",
                                                   "dotted", "dashed", "wavy",  "currentcolor"};
    std::uint8_t lines = 0;
    std::size_t start = 0;
    const std::string value = Lower(Value);
    while (start < value.size()) {
        if (std::isspace(static_cast<unsigned char>(value[start]))) {
            ++start;
            continue;
        }
        std::size_t end = start;
        while (end < value.size() && !std::isspace(static_cast<unsigned char>(value[end]))) ++end;
        const std::string_view word = std::string_view(value).substr(start, end - start);
        start = end;
        if (word == "underline")
            lines |= TextLineUnder;
        else if (word == "overline")
            lines |= TextLineOver;
        else if (word == "line-through")
            lines |= TextLineThrough;
        else if (std::find(std::begin(ignored), std::end(ignored), word) == std::end(ignored) && ParseColor(word) == -1)
            return 0;
    }
    return lines;
}

bool IsVerticalMode(std::string_view Mode)
{
    return Mode == "tb" || Mode == "tb-rl" || Mode == "vertical-rl" || Mode == "vertical-lr";
}

void ToPath(const std::vector<TOutlinePoint>& Points, TGPGraphicsPath& Path)
{
    if (Points.empty()) return;
    std::vector<TGPPointF> points;
    std::vector<std::uint8_t> types;
    points.reserve(Points.size());
    types.reserve(Points.size());
    for (const TOutlinePoint& p : Points) {
        points.push_back({p.X, p.Y});
        types.push_back(p.Type);
    }
    const TGPGraphicsPath figures(points, types, FillModeWinding);
    Path.AddPath(figures, false);
}

// The guide of a text path as a polyline: subpaths apart (a NaN pair between them), closed ones
// back to their start, optionally reversed. Flattened finely for the outline's own size, so that a
// guide drawn in tiny units under a large scale stays smooth.
std::vector<float> GuidePoints(TGPGraphicsPath& Outline, const TGPMatrix* Matrix, bool Reversed)
{
    TGPRectF bounds{};
    Outline.GetBounds(bounds, Matrix);
    const float size = std::max(bounds.Width, bounds.Height);
    const float flatness = std::clamp(size / 4000, 1.0e-6f, GuideFlatness);
    Outline.Flatten(Matrix, flatness);
    std::vector<TGPPointF> points;
    std::vector<std::uint8_t> types;
    Outline.GetPathPoints(points);
    Outline.GetPathTypes(types);
    constexpr float gap = std::numeric_limits<float>::quiet_NaN();
    std::vector<TGPPointF> line;
    std::size_t figure = 0;
    for (std::size_t i = 0; i < points.size() && i < types.size(); ++i) {
        if ((types[i] & PathPointTypePathTypeMask) == PathPointTypeStart) {
            if (!line.empty()) line.push_back({gap, gap});
            figure = line.size();
        }
        line.push_back(points[i]);
        if ((types[i] & PathPointTypeCloseSubpath) != 0 && figure < line.size()) line.push_back(line[figure]);
    }
    if (Reversed) std::reverse(line.begin(), line.end());
    std::vector<float> out;
    out.reserve(line.size() * 2);
    for (const TGPPointF& p : line) {
        out.push_back(p.X);
        out.push_back(p.Y);
    }
    return out;
}

struct TCollector {
    TTextInput In;
    std::vector<TSVGCustomText*> Owners;
    struct TElement {
        TSVGCustomText* Obj;
        std::size_t Begin;
        std::size_t End;
    };
    std::vector<TElement> Elements;  // in document order, parents before children
    float ViewWidth = 0;
    float ViewHeight = 0;
};

}  // namespace

void TSVGCustomText::ReadOwnStyle(const TXmlNode& Node)
{
    FOwnStyle = std::make_unique<TStyle>();
    // font-kerning is a style property only, not a presentation attribute.
    for (const TXmlAttribute& attribute : Node.Attributes())
        if (attribute.Name != "font-kerning") FOwnStyle->AddStyle(attribute.Name, attribute.Value);
    if (auto inlineStyle = Node.FindAttribute("style")) FOwnStyle->SetValues(*inlineStyle);
}

std::string TSVGCustomText::OwnProperty(std::string_view Name) const
{
    if (!FOwnStyle) return {};
    std::string value = SheetValue(*this, Name);
    std::string own = Trim(FOwnStyle->GetValues(Name));
    return own.empty() ? value : own;
}

std::string TSVGCustomText::InheritedProperty(std::string_view Name) const
{
    const TSVGObject* p = this;
    for (; p != nullptr; p = p->GetParent()) {
        const auto* text = dynamic_cast<const TSVGCustomText*>(p);
        if (text == nullptr) break;
        std::string value = text->OwnProperty(Name);
        if (!value.empty() && value != "inherit") return value;
        // The font shorthand sets every font property, those it leaves out to their initial value.
        if (Name.substr(0, 5) == "font-" && !text->OwnProperty("font").empty()) return {};
    }
    // Outside the text: the plain style blocks of groups and the root.
    for (; p != nullptr; p = p->GetParent()) {
        std::string value = Trim(p->GetStyle().GetValues(Name));
        if (value.empty()) value = SheetValue(*p, Name);
        if (!value.empty() && value != "inherit") return value;
    }
    return {};
}

void TSVGCustomText::LayoutWholeText()
{
    TCollector c;
    if (const TSVG* root = GetRoot()) {
        c.ViewWidth = root->GetViewBox().Right - root->GetViewBox().Left;
        c.ViewHeight = root->GetViewBox().Bottom - root->GetViewBox().Top;
    }
    std::vector<TSVGTextPath*> paths;
    std::vector<std::size_t> pathElements;

    // Characters, spans and the element ranges, depth first.
    auto collect = [&](auto& Self, TSVGCustomText& Obj) -> void {
        const std::size_t element = c.Elements.size();
        c.Elements.push_back({&Obj, c.In.Text.size(), 0});
        if (auto* path = dynamic_cast<TSVGTextPath*>(&Obj)) {
            paths.push_back(path);
            pathElements.push_back(element);
        }
        if (!Obj.FText.empty()) {
            const std::u32string chars = Utf8ToUcs4(Obj.FText);
            TTextSpan span;
            span.Owner = static_cast<int>(c.Owners.size());
            c.Owners.push_back(&Obj);
            span.Begin = c.In.Text.size();
            c.In.Text += chars;
            span.End = c.In.Text.size();
            c.In.Spans.push_back(std::move(span));
        }
        for (int i = 0; i < Obj.GetCount(); ++i)
            if (auto* child = dynamic_cast<TSVGCustomText*>(Obj.GetItem(i))) Self(Self, *child);
        c.Elements[element].End = c.In.Text.size();
    };
    collect(collect, *this);
    const std::size_t n = c.In.Text.size();
    if (TSVG* root = GetRoot()) root->CountLoadedObjects(static_cast<long>(n));
    for (auto* v : {&c.In.X, &c.In.Y, &c.In.DX, &c.In.DY, &c.In.Rotate}) v->assign(n, NotGiven);
    // Spans that are not displayed drop their characters from the layout.
    c.In.Dropped.assign(n, false);
    for (const TCollector::TElement& e : c.Elements)
        if (e.Obj->HasOwnStyle() && (e.Obj->GetDisplayCode() == 0 || e.Obj->OwnProperty("display") == "none"))
            for (std::size_t i = e.Begin; i < e.End; ++i) c.In.Dropped[i] = true;

    // Styles of the spans.
    auto ownerIndex = [&c](TSVGCustomText* Obj) {
        auto it = std::find(c.Owners.begin(), c.Owners.end(), Obj);
        if (it != c.Owners.end()) return static_cast<int>(it - c.Owners.begin());
        c.Owners.push_back(Obj);
        return static_cast<int>(c.Owners.size() - 1);
    };
    auto fontsOf = [](const TSVGCustomText& Obj) {
        TFontRequest request;
        request.Families = FamilyList(Obj.GetFontName());
        request.Weight = FontWeightOf(Obj);
        const std::string style = Obj.InheritedProperty("font-style");
        request.Slant = style.rfind("oblique", 0) == 0 ? 2 : style == "italic" || Obj.GetFontStyle() == 1 ? 1 : 0;
        request.Stretch = StretchPercent(Obj.InheritedProperty("font-stretch"));
        request.Variations = VariationList(Obj.InheritedProperty("font-variation-settings"));
        std::shared_ptr<const TFontSet> set = TFontSet::Find(request);
        // A face with an optical size axis is drawn for the text's size, as browsers do.
        if (!set->HasOpticalSize()) return set;
        request.OpticalSize = FontSizeOf(Obj);
        return request.OpticalSize > 0 ? TFontSet::Find(request) : set;
    };
    for (TTextSpan& span : c.In.Spans) {
        TSVGCustomText& obj = *c.Owners[static_cast<std::size_t>(span.Owner)];
        TTextStyle& style = span.Style;
        style.Fonts = fontsOf(obj);
        const float size = FontSizeOf(obj);
        style.Size = std::isfinite(size) && size >= 0 ? size : 0;
        const std::string kerning = obj.InheritedProperty("font-kerning");
        const std::string oldKerning = obj.InheritedProperty("kerning");
        style.Features.Kerning = kerning != "none" && !(oldKerning == "0" || oldKerning == "0px");
        const std::string variant = obj.InheritedProperty("font-variant");
        style.Features.SmallCaps = variant.find("small-caps") != std::string::npos;
        if (obj.InheritedProperty("font-variant-ligatures") == "none" || variant == "no-common-ligatures")
            style.Features.Ligatures = false;
        style.Features.Extra = FeatureList(obj.InheritedProperty("font-feature-settings"));
        auto spacing = [&](std::string_view Name) {
            const std::string value = obj.InheritedProperty(Name);
            if (value.empty() || value == "normal") return 0.0f;
            const float length = TextLength(value, style.Size, style.Size);
            return std::isfinite(length) ? length : 0.0f;
        };
        style.LetterSpacing = spacing("letter-spacing");
        style.WordSpacing = spacing("word-spacing");
        const std::string anchor = obj.InheritedProperty("text-anchor");
        style.Anchor = anchor == "middle" ? TTextAnchor::Middle
                       : anchor == "end"  ? TTextAnchor::End
                                          : TTextAnchor::Start;
        style.RightToLeft = obj.InheritedProperty("direction") == "rtl";
        style.Vertical = IsVerticalMode(InheritedProperty("writing-mode"));
        style.Italic = style.Fonts && style.Fonts->NeedsSyntheticItalic(0);

        // Baselines: the element's own alignment-baseline, else the dominant one in force.
        const TSVGCustomText* element = obj.FOwnStyle ? &obj : dynamic_cast<const TSVGCustomText*>(obj.GetParent());
        // alignment-baseline is not inherited, but "inherit" takes the parent's own value.
        std::string baseline = element != nullptr ? element->OwnProperty("alignment-baseline") : std::string();
        if (baseline == "inherit" && element != nullptr) {
            const TSVGObject* parent = element->GetParent();
            const auto* parentText = dynamic_cast<const TSVGCustomText*>(parent);
            baseline = parentText != nullptr ? parentText->OwnProperty("alignment-baseline")
                       : parent != nullptr   ? Trim(parent->GetStyle().GetValues("alignment-baseline"))
                                             : std::string();
        }
        if (baseline.empty() || baseline == "auto" || baseline == "baseline" || baseline == "inherit")
            baseline = DominantBaseline(obj);
        const TFaceMetrics& m = style.Fonts->Metrics(0);
        float down = 0;
        if (baseline == "central")
            down = (m.Ascent - m.Descent) / 2;
        else if (baseline == "middle")
            down = m.XHeight / 2;
        else if (baseline == "hanging")
            down = m.Hanging;
        else if (baseline == "text-before-edge" || baseline == "text-top" || baseline == "before-edge")
            down = m.Ascent;
        else if (baseline == "text-after-edge" || baseline == "text-bottom" || baseline == "after-edge")
            down = -m.Descent;
        else if (baseline == "ideographic")
            down = m.Ideographic;
        else if (baseline == "mathematical")
            down = m.Ascent / 2;
        style.BaselineOffset = down * style.Size;
        // baseline-shift adds up over the spans between the characters and the text element.
        for (const TSVGCustomText* e = element; e != nullptr && e != this;
             e = dynamic_cast<const TSVGCustomText*>(e->GetParent())) {
            const std::string shift = e->OwnProperty("baseline-shift");
            const float eSize = FontSizeOf(*e);
            const TFaceMetrics& em = e == &obj ? m : fontsOf(*e)->Metrics(0);
            if (shift == "sub")
                style.BaselineOffset += eSize * em.Subscript;
            else if (shift == "super")
                style.BaselineOffset -= eSize * em.Superscript;
            else if (!shift.empty() && shift != "baseline") {
                const float v = TextLength(shift, eSize, eSize);
                if (std::isfinite(v)) style.BaselineOffset -= v;
            }
        }
    }

    // Positions, rotations, lengths and decorations of each element, outer ones first so that
    // inner values win.
    for (const TCollector::TElement& e : c.Elements) {
        TSVGCustomText& obj = *e.Obj;
        if (!obj.FOwnStyle) continue;
        const float size = FontSizeOf(obj);
        const bool onPath = dynamic_cast<const TSVGTextPath*>(&obj) != nullptr;  // takes no positions
        auto apply = [&](std::string_view Name, float Side, std::vector<float>& Target, bool Repeat) {
            const std::string value = Trim(obj.FOwnStyle->GetValues(Name));
            if (value.empty()) return;
            std::vector<float> list = Name == "rotate" ? std::vector<float>() : LengthList(value, Side, size);
            if (Name == "rotate")
                for (const std::string& item : SplitValues(value, ','))
                    if (!Trim(item).empty()) list.push_back(ParseNumber(Trim(item)));
            // Characters that are not drawn take no value.
            std::size_t k = 0;
            for (std::size_t i = e.Begin; i < e.End && !list.empty(); ++i) {
                if (c.In.Dropped[i]) continue;
                if (k < list.size())
                    Target[i] = list[k];
                else if (Repeat)
                    Target[i] = list.back();
                else
                    break;
                ++k;
            }
        };
        if (!onPath) {
            apply("x", c.ViewWidth, c.In.X, false);
            apply("y", c.ViewHeight, c.In.Y, false);
            apply("dx", c.ViewWidth, c.In.DX, false);
            apply("dy", c.ViewHeight, c.In.DY, false);
            apply("rotate", 0, c.In.Rotate, true);
        }
        const std::string length = Trim(obj.FOwnStyle->GetValues("textLength"));
        if (!length.empty() && e.End > e.Begin) {
            const float value = TextLength(length, c.ViewWidth, size);
            if (std::isfinite(value) && value > 0)
                c.In.Lengths.push_back(
                    {e.Begin, e.End, value, Trim(obj.FOwnStyle->GetValues("lengthAdjust")) == "spacingAndGlyphs"});
        }
        const std::uint8_t lines = DecorationLines(obj.OwnProperty("text-decoration"));
        if (lines != 0 && e.End > e.Begin)
            c.In.Decorations.push_back({ownerIndex(&obj), e.Begin, e.End, lines, fontsOf(obj), size});
    }
    // Groups around the text decorate all of it (drawn with the text element's paint).
    for (const TSVGObject* p = GetParent(); p != nullptr && n > 0; p = p->GetParent()) {
        std::string value = Trim(p->GetStyle().GetValues("text-decoration"));
        if (value.empty()) value = SheetValue(*p, "text-decoration");
        const std::uint8_t lines = DecorationLines(value);
        if (lines != 0) c.In.Decorations.push_back({ownerIndex(this), 0, n, lines, fontsOf(*this), FontSizeOf(*this)});
    }
    // Guides of the text paths.
    FGuidesPending = false;
    for (std::size_t k = 0; k < paths.size(); ++k) {
        TSVGTextPath& path = *paths[k];
        const TCollector::TElement& e = c.Elements[pathElements[k]];
        TTextGuide guide;
        guide.Begin = e.Begin;
        guide.End = e.End;
        std::unique_ptr<TGPGraphicsPath> outline;
        TMatrix transform{};
        const TSVGObject* target = nullptr;
        if (!path.FPathRef.empty() && path.FPathRef.front() == '#')
            if (TSVG* root = GetRoot()) target = root->FindByID(std::string_view(path.FPathRef).substr(1));
        if (const auto* basic = dynamic_cast<const TSVGBasic*>(target);
            basic != nullptr && dynamic_cast<const TSVGCustomText*>(target) == nullptr) {
            // A reference to an element without an outline (or to text) guides nothing.
            if (basic->GetPath() != nullptr) {
                outline = basic->GetPath()->Clone();
                transform = basic->GetPureMatrix();
            }
        } else if (target == nullptr && !path.FPathData.empty()) {
            TSVGPath data;
            try {
                data.LoadPathData(path.FPathData);
                if (data.GetPath() != nullptr) outline = data.GetPath()->Clone();
            } catch (const ESVGError&) {
                // Broken path data guides nothing.
            }
        } else if (target == nullptr && !path.FPathRef.empty()) {
            FGuidesPending = true;  // may come later in the document
        }
        // A text path is one only as a child of a text element.
        const auto* parent = dynamic_cast<const TSVGCustomText*>(path.GetParent());
        const bool placed = parent != nullptr && dynamic_cast<const TSVGTextPath*>(parent) == nullptr &&
                            dynamic_cast<const TSVGTSpan*>(parent) == nullptr;
        if (outline && placed) {
            std::unique_ptr<TGPMatrix> matrix = transform.IsTransform() ? ToGPMatrix(transform) : nullptr;
            guide.Points = GuidePoints(*outline, matrix.get(), path.FSideRight);
            const TTextGuidePath measured(guide.Points);
            const float offset = TextLength(path.FStartOffset, measured.Length(), FontSizeOf(path));
            guide.StartOffset = std::isfinite(offset) ? offset : 0;
        } else {
            guide.Valid = false;
        }
        c.In.Guides.push_back(std::move(guide));
    }

    const TTextOutput out = LayoutTextContent(c.In, static_cast<int>(c.Owners.size()));
    // Every object of the text starts bare; owners get their glyphs and lines.
    for (const TCollector::TElement& e : c.Elements) {
        e.Obj->FPath.reset();
        e.Obj->FUnderlinePath.reset();
        e.Obj->FOverlinePath.reset();
        e.Obj->FStrikeOutPath.reset();
        e.Obj->FHasCells = false;
    }
    for (std::size_t i = 0; i < c.Owners.size() && i < out.Owners.size(); ++i) {
        TSVGCustomText& obj = *c.Owners[i];
        const TTextOutput::TOwner& o = out.Owners[i];
        // An owner of lines alone still gets an (empty) outline, so that painting reaches its lines.
        obj.FPath = std::make_unique<TGPGraphicsPath2>(FillModeWinding);
        ToPath(o.Glyphs, *obj.FPath);
        // The chunk's own measures, as its bounds and callers read them.
        if (o.Placed) {
            obj.FX = o.X;
            obj.FY = o.Y;
        }
        obj.FWidth = o.Placed ? o.End - o.X : o.Advance;
        obj.FHasCells = o.HasCells;
        obj.FCells = TRectF{o.CellLeft, o.CellTop, o.CellRight, o.CellBottom};
        if (i < c.In.Spans.size() && c.In.Spans[i].Style.Fonts) {
            const TTextStyle& style = c.In.Spans[i].Style;
            const TFaceMetrics& m = style.Fonts->Metrics(0);
            obj.FFontHeight = m.Ascent * style.Size;
            obj.FHeight = (m.Ascent + m.Descent) * style.Size;
        }
        auto lines = [](const std::vector<TOutlinePoint>& Points, std::unique_ptr<TGPGraphicsPath>& Target) {
            if (Points.empty()) return;
            Target = std::make_unique<TGPGraphicsPath>(FillModeWinding);
            ToPath(Points, *Target);
        };
        lines(o.Underline, obj.FUnderlinePath);
        lines(o.Overline, obj.FOverlinePath);
        lines(o.LineThrough, obj.FStrikeOutPath);
    }
    FLaidOut = true;
}

std::string SheetValue(const TSVGObject& Obj, std::string_view Name)
{
    std::string value;
    auto take = [&value, Name](const TStyle* Rule) {
        if (Rule == nullptr) return;
        std::string v = Trim(Rule->GetValues(Name));
        if (!v.empty()) value = std::move(v);
    };
    if (const TSVG* root = Obj.GetRoot()) {
        const TStyleList& sheet = root->GetStyles();
        take(sheet.GetStyleByName(Obj.GetObjectName()));
        if (!Obj.GetID().empty()) take(sheet.GetStyleByName("#" + Obj.GetID()));
        for (const std::string& name : Obj.GetClasses()) {
            const TStyle* rule = sheet.GetStyleByName("." + name);
            take(rule != nullptr ? rule : sheet.GetStyleByName(name));
        }
    }
    return value;
}

}  // namespace plumwick
