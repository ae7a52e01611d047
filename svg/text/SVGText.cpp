#include "svg/text/SVGText.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "gdip/GDIPKerning.h"
#include "gdip/GDIPOBJ2.h"
#include "platform/FontOutline.h"
#include "svg/base/SVGCommon.h"
#include "svg/base/SVGConditions.h"
#include "svg/base/SVGError.h"
#include "svg/base/SVGFontLength.h"
#include "svg/base/SVGParse.h"
#include "svg/core/SVGDocument.h"
#include "svg/core/SVGFactory.h"
#include "svg/style/SVGStyle.h"
#include "svg/text/TextSheet.h"

namespace plumwick {

namespace {

constexpr int FormatFlags = StringFormatFlagsMeasureTrailingSpaces;
constexpr float TextPathFlatness = 2.5f;

bool SameTextIgnoringCase(std::string_view A, std::string_view B)
{
    return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) {
               return std::tolower(static_cast<unsigned char>(X)) == std::tolower(static_cast<unsigned char>(Y));
           });
}

// A family object for an installed family, null otherwise. Names go through the font layer's
// installed-family rule, so metric-compatible stand-ins (Liberation Sans for Arial) count.
std::unique_ptr<TGPFontFamily> InstalledFamily(std::string_view Name)
{
    // The generic CSS names stand for a family of their kind, not for Arial.
    if (SameTextIgnoringCase(Name, "serif")) return TGPFontFamily::GenericSerif();
    if (SameTextIgnoringCase(Name, "sans-serif")) return TGPFontFamily::GenericSansSerif();
    if (SameTextIgnoringCase(Name, "monospace")) return TGPFontFamily::GenericMonospace();
    const std::string family = TFontOutline::InstalledFamily(Name);
    if (family.empty()) return nullptr;
    auto result = std::make_unique<TGPFontFamily>(family);
    if (result->GetLastStatus() != Ok) return nullptr;
    return result;
}

// One position value: a percentage of the view box's side (when the document has one), em and ex
// of the font size, anything else as a plain length.
float PositionLength(std::string_view Item, float Side, float FontSize)
{
    const std::string text = Trim(Item);
    const TLengthUnit unit = GetLengthUnit(text);
    if (unit == luPercent && Side > 0) return ParseLength(text) * Side / 100;
    return FontRelativeLength(ParseLength(text), unit, FontSize);
}

// Positions may be given as lists ("10 20 30"): the first value places the chunk, the whole list
// is kept for the characters after it (empty for a single value).
void LoadPositionList(const TXmlNode& Node, std::string_view Name, float Side, float FontSize, float& Target,
                      std::vector<float>& List)
{
    const std::optional<std::string> value = Node.FindAttribute(Name);
    if (!value) return;
    const std::vector<std::string> items = SplitValues(*value, ',');
    List.clear();
    if (items.size() <= 1) {
        Target = PositionLength(*value, Side, FontSize);
        return;
    }
    for (const std::string& item : items) List.push_back(PositionLength(item, Side, FontSize));
    Target = List.front();
}

int Depth(const TSVGObject& Obj)
{
    int depth = 0;
    for (const TSVGObject* p = Obj.GetParent(); p != nullptr; p = p->GetParent()) ++depth;
    return depth;
}

// The value an object gives a property itself: the style sheet's, overridden by its attributes and inline
// style. Empty when it gives none.
std::string OwnValue(const TSVGObject& Obj, std::string_view Name)
{
    std::string own = Trim(Obj.GetStyle().GetValues(Name));
    return own.empty() ? SheetValue(Obj, Name) : own;
}

// An inherited property: the first value given on the way up; empty when none is.
std::string InheritedValue(const TSVGObject& Obj, std::string_view Name)
{
    for (const TSVGObject* p = &Obj; p != nullptr; p = p->GetParent()) {
        std::string value = OwnValue(*p, Name);
        if (!value.empty() && value != "inherit") return value;
    }
    return {};
}

bool PreservesSpace(const TSVGObject& Obj)
{
    return InheritedValue(Obj, "xml:space") == "preserve";
}

bool IsBlank(char C)
{
    return C == ' ' || C == '\t' || C == '\n' || C == '\r';
}

void PaintDecoration(TGPGraphics& Graphics, const TGPGraphicsPath* Path, TGPBrush* Brush, TGPPen* Pen)
{
    if (Path == nullptr) return;
    if (Brush != nullptr && Brush->GetLastStatus() == Ok) Graphics.FillPath(Brush, Path);
    if (Pen != nullptr && Pen->GetLastStatus() == Ok) Graphics.DrawPath(Pen, Path);
}

}  // namespace

namespace {
void CollectTextObjects(TSVGCustomText& Obj, bool OnPath, std::vector<std::pair<TSVGCustomText*, bool>>& Out);
}  // namespace

// ---------------------------------------------------------------- TSVGCustomText

TSVGCustomText::TSVGCustomText() = default;
TSVGCustomText::~TSVGCustomText() = default;

void TSVGCustomText::Clear()
{
    TSVGBasic::Clear();
    FUnderlinePath.reset();
    FStrikeOutPath.reset();
    FOverlinePath.reset();
    FText.clear();
    FFontHeight = 0;
    FDX = 0;
    FDY = 0;
}

void TSVGCustomText::AssignTo(TSVGObject& Dest) const
{
    TSVGBasic::AssignTo(Dest);
    if (auto* text = dynamic_cast<TSVGCustomText*>(&Dest)) {
        text->FText = FText;
        text->FFontHeight = FFontHeight;
        text->FBaselineShift = FBaselineShift;
        text->FEndY = FEndY;
        text->FDX = FDX;
        text->FDY = FDY;
        // A copy (as "use" makes) paints its decorations too; a chunk rebuilds its own anyway.
        text->FUnderlinePath = FUnderlinePath ? std::make_unique<TGPGraphicsPath>(*FUnderlinePath) : nullptr;
        text->FStrikeOutPath = FStrikeOutPath ? std::make_unique<TGPGraphicsPath>(*FStrikeOutPath) : nullptr;
        text->FOverlinePath = FOverlinePath ? std::make_unique<TGPGraphicsPath>(*FOverlinePath) : nullptr;
    }
}

TSVGObject* TSVGCustomText::NewLike(TSVGObject* Parent) const
{
    return CreateIn<TSVGCustomText>(Parent);
}

void TSVGCustomText::ReadIn(const TXmlNode& Node)
{
    TSVGBasic::ReadIn(Node);
    ReadOwnStyle(Node);
    // Filters, clips and masks apply to graphics elements and groups; spans and text paths are
    // neither, so they draw as if they had none.
    if (dynamic_cast<const TSVGCustomText*>(FParent) != nullptr) {
        GetStyle().Remove("filter");
        GetStyle().Remove("mask");
        SetClipURI("");
    }
    // Percentages are of the view box of the document the text is in.
    float width = 0;
    float height = 0;
    if (const TSVG* root = GetRoot()) {
        width = root->GetViewBox().Right - root->GetViewBox().Left;
        height = root->GetViewBox().Bottom - root->GetViewBox().Top;
    }
    const float fontSize = GetFontSize();
    LoadPositionList(Node, "x", width, fontSize, FX, FXList);
    LoadPositionList(Node, "y", height, fontSize, FY, FYList);
    FEndY = FY;
    FHasX = Node.HasAttribute("x");
    FHasY = Node.HasAttribute("y");
    LoadPositionList(Node, "dx", width, fontSize, FDX, FDXList);
    LoadPositionList(Node, "dy", height, fontSize, FDY, FDYList);
}

std::unique_ptr<TGPFontFamily> TSVGCustomText::FindFontFamily(std::string_view Name)
{
    if (auto family = InstalledFamily(Name)) return family;
    // A CSS family list: the first installed name (quoted names may hold blanks).
    for (std::size_t start = 0; Name.find(',') != std::string_view::npos && start <= Name.size();) {
        const std::size_t comma = std::min(Name.find(',', start), Name.size());
        if (auto family = InstalledFamily(TStyle::Dequote(Trim(Name.substr(start, comma - start))))) return family;
        start = comma + 1;
    }
    if (const std::size_t dash = Name.find('-'); dash != std::string_view::npos)
        if (auto family = InstalledFamily(Name.substr(0, dash))) return family;
    if (auto family = InstalledFamily("Arial")) return family;
    return TGPFontFamily::GenericSansSerif();
}

int TSVGCustomText::GlyphStyle() const
{
    int style = FontStyleRegular;
    // The cascaded weight, as the layout measures with it: glyphs and advances must agree. Faces
    // come in regular and bold, and a weight from 600 up takes the bold one (as "bolder" and
    // "font-weight: 600" do in a browser).
    if (GetFontWeight() >= 600) style |= FontStyleBold;
    if (GetFontStyle() == 1) style |= FontStyleItalic;
    return style;
}

std::unique_ptr<TGPFont> TSVGCustomText::CreateTextFont()
{
    std::unique_ptr<TGPFontFamily> family = FindFontFamily(GetFontName());
    int style = GlyphStyle();
    const TTextDecoration decoration = GetTextDecoration();
    if (decoration.Contains(tdUnderLine)) style |= FontStyleUnderline;
    if (decoration.Contains(tdStrikeOut)) style |= FontStyleStrikeout;
    const float size = GetFontSize();
    const std::uint16_t em = family->GetEmHeight(style);
    FFontHeight = em > 0 ? size * family->GetCellAscent(style) / em : 0;
    return std::make_unique<TGPFont>(*family, size, style, UnitPixel);
}

float TSVGCustomText::GetTotalWidth(const TSVGObject& Obj)
{
    float width = 0;
    if (const auto* text = dynamic_cast<const TSVGCustomText*>(&Obj)) width = text->FWidth;
    for (int i = 0; i < Obj.GetCount(); ++i)
        if (const auto* child = dynamic_cast<const TSVGCustomText*>(Obj.GetItem(i))) width += GetTotalWidth(*child);
    return width;
}

void TSVGCustomText::LayoutText()
{
    // Every laid-out character keeps an outline of its own, so characters count against the document's
    // budget like elements and path segments: a huge text fails before it takes gigabytes. The layout
    // itself runs once the whole text element is read.
    if (TSVG* root = GetRoot())
        root->CountLoadedObjects(std::count_if(FText.begin(), FText.end(),
                                               [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

const TSVGCustomText* TSVGCustomText::LastTextObject(const TSVGCustomText& Obj)
{
    const TSVGCustomText* last = &Obj;
    for (;;) {
        const TSVGCustomText* next = nullptr;
        for (int i = last->GetCount() - 1; i >= 0 && next == nullptr; --i)
            next = dynamic_cast<const TSVGCustomText*>(last->GetItem(i));
        if (next == nullptr) return last;
        last = next;
    }
}

TTextSpacing TSVGCustomText::Spacing() const
{
    const float size = GetFontSize();
    auto read = [this, size](std::string_view Name) {
        const std::string value = InheritedValue(*this, Name);
        if (value.empty() || value == "normal") return 0.0f;
        const float length = PositionLength(value, 0, size);
        return std::isfinite(length) ? length : 0.0f;
    };
    return {read("letter-spacing"), read("word-spacing")};
}

float TSVGCustomText::BaselineShift(const TGPFontFamily& Family, int Style) const
{
    std::string baseline = OwnValue(*this, "alignment-baseline");
    if (baseline.empty() || baseline == "auto" || baseline == "baseline")
        baseline = InheritedValue(*this, "dominant-baseline");
    if (baseline.empty() || baseline == "auto" || baseline == "alphabetic") return 0;
    const float em = Family.GetEmHeight(Style);
    if (!(em > 0)) return 0;
    const float size = GetFontSize();
    const float ascent = size * Family.GetCellAscent(Style) / em;
    const float descent = size * Family.GetCellDescent(Style) / em;
    if (baseline == "central") return (ascent - descent) / 2;
    if (baseline == "middle") {
        const auto face =
            TFontOutline::Open(Family.GetFamilyName(), (Style & FontStyleBold) != 0, (Style & FontStyleItalic) != 0);
        return face ? size * face->XHeight() / TFontOutline::EmHeight / 2 : (ascent - descent) / 2;
    }
    if (baseline == "hanging" || baseline == "text-before-edge" || baseline == "text-top" || baseline == "before-edge")
        return ascent;
    if (baseline == "text-after-edge" || baseline == "text-bottom" || baseline == "after-edge" ||
        baseline == "ideographic")
        return -descent;
    return 0;
}

TSVGCustomText& TSVGCustomText::TextRoot()
{
    TSVGCustomText* root = this;
    while (auto* parent = dynamic_cast<TSVGCustomText*>(root->FParent)) root = parent;
    return *root;
}

std::string TSVGCustomText::CollapseWhiteSpace(std::string_view Raw)
{
    std::string out;
    out.reserve(Raw.size());
    if (PreservesSpace(*this)) {
        for (const char c : Raw) out.push_back(IsBlank(c) ? ' ' : c);
        // A collapsible blank after a kept one is dropped all the same, as browsers do.
        if (!out.empty()) TextRoot().FAfterBlank = out.back() == ' ';
        return out;
    }
    bool afterBlank = TextRoot().FAfterBlank;
    for (const char c : Raw) {
        if (IsBlank(c)) {
            if (!afterBlank) out.push_back(' ');
            afterBlank = true;
        } else {
            out.push_back(c);
            afterBlank = false;
        }
    }
    TextRoot().FAfterBlank = afterBlank;
    return out;
}

namespace {

// The text objects below Root in document order; those laid along a path are marked.
void CollectTextObjects(TSVGCustomText& Obj, bool OnPath, std::vector<std::pair<TSVGCustomText*, bool>>& Out)
{
    OnPath = OnPath || dynamic_cast<TSVGTextPath*>(&Obj) != nullptr;
    Out.emplace_back(&Obj, OnPath);
    for (int i = 0; i < Obj.GetCount(); ++i)
        if (auto* child = dynamic_cast<TSVGCustomText*>(Obj.GetItem(i))) CollectTextObjects(*child, OnPath, Out);
}

}  // namespace

void TSVGCustomText::FinishText()
{
    std::vector<std::pair<TSVGCustomText*, bool>> objects;
    CollectTextObjects(*this, false, objects);
    // A blank at the very end of the element takes no room.
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        TSVGCustomText& last = *it->first;
        if (last.FText.empty()) continue;
        if (last.FText.back() == ' ' && !PreservesSpace(last)) last.FText.pop_back();
        break;
    }
    LayoutWholeText();
}

bool TSVGCustomText::IsInTextPath() const
{
    for (const TSVGObject* p = this; p != nullptr; p = p->GetParent())
        if (dynamic_cast<const TSVGTextPath*>(p) != nullptr) return true;
    return false;
}

void TSVGCustomText::BuildPath()
{
    // Outlines come from the layout of the whole text element; a chunk keeps what it was given.
    if (dynamic_cast<TSVGCustomText*>(FParent) == nullptr && FLaidOut) LayoutWholeText();
}

void TSVGCustomText::UpdateBounds()
{
    TGPRectF box{0, 0, 0, 0};
    bool any = false;
    const TGPGraphicsPath* paths[] = {FPath.get(), FUnderlinePath.get(), FOverlinePath.get(), FStrikeOutPath.get()};
    for (const TGPGraphicsPath* path : paths) {
        TGPRectF b;
        if (path == nullptr || path->GetPointCount() == 0 || path->GetBounds(b) != Ok) continue;
        if (!any) {
            box = b;
        } else {
            const float right = std::max(box.X + box.Width, b.X + b.Width);
            const float bottom = std::max(box.Y + box.Height, b.Y + b.Height);
            box.X = std::min(box.X, b.X);
            box.Y = std::min(box.Y, b.Y);
            box.Width = right - box.X;
            box.Height = bottom - box.Y;
        }
        any = true;
    }
    // The box of the character cells, as text boxes are measured; the ink for lines alone.
    if (FHasCells) {
        box = {FCells.Left, FCells.Top, FCells.Right - FCells.Left, FCells.Bottom - FCells.Top};
        any = true;
    }
    const float width = GetStrokeWidth();
    const float h = any ? (std::isnan(width) ? 0 : std::max(width, 0.0f) / 2) : 0;
    FBounds.TopLeft = TransformPoint(box.X - h, box.Y - h);
    FBounds.TopRight = TransformPoint(box.X + box.Width + h, box.Y - h);
    FBounds.BottomRight = TransformPoint(box.X + box.Width + h, box.Y + box.Height + h);
    FBounds.BottomLeft = TransformPoint(box.X - h, box.Y + box.Height + h);
}

std::optional<TGPRectF> TSVGCustomText::GetMeasureBox() const
{
    const TSVGObject* Root = this;
    while (dynamic_cast<const TSVGCustomText*>(Root->GetParent())) Root = Root->GetParent();
    bool Any = false;
    TRectF Box{};
    std::vector<const TSVGObject*> Stack{Root};
    while (!Stack.empty()) {
        const TSVGObject* N = Stack.back();
        Stack.pop_back();
        const auto* T = dynamic_cast<const TSVGCustomText*>(N);
        if (!T) continue;
        if (T->FHasCells) {
            Box = Any ? TRectF{std::min(Box.Left, T->FCells.Left), std::min(Box.Top, T->FCells.Top),
                               std::max(Box.Right, T->FCells.Right), std::max(Box.Bottom, T->FCells.Bottom)}
                      : T->FCells;
            Any = true;
        }
        for (int I = 0; I < N->GetCount(); ++I)
            if (N->GetItem(I)->GetDisplayCode() != 0) Stack.push_back(N->GetItem(I));
    }
    if (!Any) return std::nullopt;
    return TGPRectF{Box.Left, Box.Top, Box.Right - Box.Left, Box.Bottom - Box.Top};
}

void TSVGCustomText::PaintToGraphics(TGPGraphics& Graphics)
{
    // A guide that comes later in the document than its text path is there now.
    if (FGuidesPending && FLaidOut) {
        FGuidesPending = false;
        LayoutWholeText();
    }
    const bool glyphs = FPath && FPath->GetPointCount() > 0;
    if (!FPath || (!glyphs && !FUnderlinePath && !FOverlinePath && !FStrikeOutPath)) return;
    TSVGBasic::PaintToGraphics(Graphics);
}

void TSVGCustomText::PrePaint(TGPGraphics& Graphics, TGPBrush* Brush, TGPPen* Pen)
{
    PaintDecoration(Graphics, FUnderlinePath.get(), Brush, Pen);
    PaintDecoration(Graphics, FOverlinePath.get(), Brush, Pen);
}

void TSVGCustomText::PostPaint(TGPGraphics& Graphics, TGPBrush* Brush, TGPPen* Pen)
{
    PaintDecoration(Graphics, FStrikeOutPath.get(), Brush, Pen);
}

void TSVGCustomText::ReadTextContent(const TXmlNode& Node)
{
    const TXmlNodeList children = Node.ChildNodes();
    if (SVGElementName(Node) == "text" && children.Count() == 1 && children.Item(0).IsText()) {
        FText = CollapseWhiteSpace(Node.Text());
        LayoutText();
        BuildPath();
        return;
    }
    BuildPath();
    for (const TXmlNode& child : children) ReadTextChild(child);
}

void TSVGCustomText::ReadTextChild(const TXmlNode& Node)
{
    const bool isRun = Node.IsText() || Node.NodeType() == TXmlNodeType::ntCData;
    const std::string name = SVGElementName(Node);
    // A text inside a text is not text content: it draws nothing, as browsers have it. A link is drawn as a span.
    const bool isSpan = name == "tspan" || name == "a";
    const bool isPath = name == "textPath";
    const bool isRef = name == "tref";
    if (!isRun && !isSpan && !isPath && !isRef) return;
    // A span whose conditions fail is not rendered and takes no room.
    if (!isRun && !ConditionsPass(Node)) return;
    if (Depth(*this) >= SVGMaxDepth) throw ESVGError("Text elements nested too deeply");
    TSVGCustomText* chunk = isPath ? static_cast<TSVGCustomText*>(CreateIn<TSVGTextPath>(this))
                                   : static_cast<TSVGCustomText*>(CreateIn<TSVGTSpan>(this));
    chunk->Assign(*this);
    chunk->SetPureMatrix(EmptyMatrix());  // the chunk has no transform of its own
    if (isRun) {
        chunk->FText = chunk->CollapseWhiteSpace(Node.Text());
        chunk->LayoutText();
        chunk->BuildPath();
    } else if (isRef) {
        // The characters of the referenced text element, styled and placed as this element says.
        chunk->TSVGCustomText::ReadIn(Node);
        std::string ref;
        LoadString(Node, Node.HasAttribute("xlink:href") ? "xlink:href" : "href", ref);
        TSVG* root = GetRoot();
        const TSVGObject* target = root != nullptr && ref.size() > 1 && ref.front() == '#'
                                       ? root->FindByID(std::string_view(ref).substr(1))
                                       : nullptr;
        if (const auto* text = dynamic_cast<const TSVGCustomText*>(target)) {
            std::string content;
            std::vector<std::pair<TSVGCustomText*, bool>> objects;
            CollectTextObjects(const_cast<TSVGCustomText&>(*text), false, objects);
            for (const auto& [obj, onPath] : objects) content += obj->FText;
            chunk->FText = chunk->CollapseWhiteSpace(content);
            chunk->LayoutText();
        }
    } else {
        chunk->ReadIn(Node);
        chunk->SetPureMatrix(EmptyMatrix());  // spans and text paths take no transform
    }
}

// ---------------------------------------------------------------- TSVGText, TSVGTSpan

void TSVGText::ReadIn(const TXmlNode& Node)
{
    TSVGCustomText::ReadIn(Node);
    if (dynamic_cast<const TSVGCustomText*>(FParent) == nullptr)
        FAfterBlank = true;  // a text element starts a new line of content
    ReadTextContent(Node);
    if (dynamic_cast<const TSVGCustomText*>(FParent) == nullptr) FinishText();
}

void TSVGTSpan::ReadTextContent(const TXmlNode& Node)
{
    // A span that holds other elements (as editors write a styled word inside a line) is split into
    // chunks like a text element: the span takes its place and shifts, its chunks run on from there.
    const TXmlNodeList children = Node.ChildNodes();
    if (Node.IsElement() && (children.Count() > 1 || (children.Count() == 1 && children.Item(0).IsElement()))) {
        FText.clear();
        LayoutText();
        FDX = 0;  // applied once, here; the chunks copy this object
        FDY = 0;
        BuildPath();
        for (const TXmlNode& child : children) ReadTextChild(child);
        return;
    }
    // Read once: laying the same text out a second time would apply dx and dy twice.
    FText = CollapseWhiteSpace(Node.Text());
    LayoutText();
    BuildPath();
}

// ---------------------------------------------------------------- TSVGTextPath

void TSVGTextPath::Clear()
{
    TSVGCustomText::Clear();
    FOffset = 0;
    FStartOffset.clear();
    FPathRef.clear();
    FMethod = tpmAlign;
    FSpacing = tpsAuto;
}

void TSVGTextPath::ReadIn(const TXmlNode& Node)
{
    TSVGCustomText::ReadIn(Node);
    std::string offset = GetStyle().GetValues("startOffset");
    FStartOffset = Trim(offset);
    if (!offset.empty()) {
        FOffsetIsPercent = false;
        if (offset.back() == '%') {
            FOffsetIsPercent = true;
            offset.pop_back();
        }
        FOffset = ParseLength(offset);
    }
    if (GetStyle().GetValues("method") == "stretch") FMethod = tpmStretch;
    if (GetStyle().GetValues("spacing") == "exact") FSpacing = tpsExact;
    FSideRight = Trim(FOwnStyle->GetValues("side")) == "right";
    FPathData = FOwnStyle->GetValues("path");
    // The plain SVG 2 "href" stands in when "xlink:href" is absent.
    LoadString(Node, Node.HasAttribute("xlink:href") ? "xlink:href" : "href", FPathRef);
    ReadTextContent(Node);
}

void TSVGTextPath::ReadTextContent(const TXmlNode& Node)
{
    for (const TXmlNode& child : Node.ChildNodes()) ReadTextChild(child);
    BuildPath();
}

void TSVGTextPath::BuildPath()
{
    // The text element lays its text paths out with the rest of its content.
    TSVGCustomText& root = TextRoot();
    if (root.FLaidOut) root.LayoutWholeText();
}

void TSVGTextPath::PaintToGraphics(TGPGraphics& Graphics)
{
    TSVGCustomText::PaintToGraphics(Graphics);
}

}  // namespace plumwick
