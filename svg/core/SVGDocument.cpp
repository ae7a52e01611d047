#include "svg/core/SVGDocument.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <fstream>
#include <istream>
#include <iterator>
#include <locale>
#include <optional>
#include <ostream>
#include <sstream>
#include <unordered_map>
#include <unordered_set>

#include "platform/GdiPlus.h"
#include "svg/base/SVGAspectRatio.h"
#include "svg/base/SVGCommon.h"
#include "svg/base/SVGError.h"
#include "svg/base/SVGParse.h"
#include "svg/core/SVGFactory.h"
#include "svg/style/CSSParser.h"
#include "svg/style/Selector.h"

namespace plumwick {

namespace {

// Inside text content a blank separates words ("<tspan>a</tspan> <tspan>b</tspan>"), so the reader
// keeps it there and drops it everywhere else.
bool IsTextContentElement(std::string_view Name)
{
    return Name == "text" || Name == "tspan" || Name == "textPath";
}

// Equal within max(1e-4, 1e-4 × the smaller magnitude).
bool SameValue(float A, float B)
{
    const double Tolerance = std::max(1e-4, 1e-4 * std::min(std::fabs(double(A)), std::fabs(double(B))));
    return std::fabs(double(A) - double(B)) <= Tolerance;
}

// The lines of a text, split at CR LF, LF or CR.
std::vector<std::string_view> SplitLines(std::string_view Text)
{
    std::vector<std::string_view> Lines;
    size_t Start = 0;
    for (size_t I = 0; I < Text.size(); ++I) {
        if (Text[I] != '\r' && Text[I] != '\n') continue;
        Lines.push_back(Text.substr(Start, I - Start));
        if (Text[I] == '\r' && I + 1 < Text.size() && Text[I + 1] == '\n') ++I;
        Start = I + 1;
    }
    if (Start < Text.size()) Lines.push_back(Text.substr(Start));
    return Lines;
}

// Restores the surface's transform when painting ends, also when it raises.
struct TTransformKeeper {
    TGPGraphics& Graphics;
    TGPMatrix Saved;
    explicit TTransformKeeper(TGPGraphics& G) : Graphics(G) { Graphics.GetTransform(&Saved); }
    ~TTransformKeeper() { Graphics.SetTransform(&Saved); }
};

}  // namespace

TGPRectF FitCentred(const TGPRectF& Rect, double BoxWidth, double BoxHeight)
{
    constexpr std::uint8_t Centre = 4;
    TGPRectF Result;
    FitRect(Rect, Centre, Result, BoxWidth, BoxHeight);
    return Result;
}

TSVG::TSVG() : FStyles(std::make_unique<TStyleList>())
{
    FIsDocument = true;
    ClearDocumentFields();
    FInitialMatrix = TMatrix{};
    FDX = 1;
    FDY = 1;
    FGrayscale = false;
    FFixedColor = SVG_INHERIT_COLOR;
}

TSVG::~TSVG()
{
    FStyles.reset();
    FIsDocument = false;  // the tree is freed after this object's own fields
}

void TSVG::ClearDocumentFields()
{
    FImageCache.Clear();
    FWarnings.clear();
    FSource.clear();
    FFileName.clear();
    FLoadedObjects = 0;
    if (FStyles) FStyles->Clear();
    FViewBox = TRectF{};
    FInitialMatrix = TMatrix{};
    FAngleMatrix = TMatrix{};
    FX = FY = FWidth = FHeight = 0;
    FRX = FRY = 0;
    FAngle = 0;
    FSize = TGPRectF{};
    FFillColor = SVG_NONE_COLOR;
    FStrokeColor = SVG_NONE_COLOR;
    FFillOpacity = 1;
    FStrokeOpacity = 1;
    FStrokeWidth = 1;
}

void TSVG::AddWarning(std::string Text)
{
    // One line per reason: a picture used a thousand times is reported once.
    if (FWarnings.size() < 100 && std::find(FWarnings.begin(), FWarnings.end(), Text) == FWarnings.end())
        FWarnings.push_back(std::move(Text));
}

void TSVG::Clear()
{
    TSVGBasic::Clear();
    ClearDocumentFields();
}

void TSVG::AssignTo(TSVGObject& Dest) const
{
    TSVGBasic::AssignTo(Dest);
    auto* D = dynamic_cast<TSVG*>(&Dest);
    if (!D) return;
    D->FRootBounds = FRootBounds;
    D->FDX = FDX;
    D->FDY = FDY;
    D->FInitialMatrix = FInitialMatrix;
    D->FViewBox = FViewBox;
    D->FAspect = FAspect;
    D->FSource = FSource;
    D->FSize = FSize;
    D->FFileName = FFileName;
    D->FStyles = FStyles->Clone();
}

TSVGObject* TSVG::NewLike(TSVGObject* Parent) const
{
    return CreateIn<TSVG>(Parent);
}

// --- Loading and saving.

void TSVG::LoadFromText(std::string_view Text)
{
    Clear();
    FSource = Text;
    TXmlDocument Xml;
    Xml.LoadFromText(Text, IsTextContentElement);
    TXmlNode Element = Xml.DocumentElement();
    if (Element && SVGElementName(Element) == "svg") {
        ReadIn(Element);
        return;
    }
    FSource.clear();
    // An svg root of another namespace is no SVG document at all: say so rather than draw nothing.
    if (Element && Element.LocalName() == "svg")
        throw ESVGError("The root element <" + Element.NodeName() + "> is not in the SVG namespace");
}

void TSVG::LoadFromStream(std::istream& Stream)
{
    Stream.clear();
    Stream.seekg(0);
    std::string Raw{std::istreambuf_iterator<char>(Stream), std::istreambuf_iterator<char>()};
    std::string_view Content = Raw;
    if (Content.substr(0, 3) == "\xEF\xBB\xBF") Content.remove_prefix(3);
    std::string Text;
    Text.reserve(Content.size() + 2);
    for (std::string_view Line : SplitLines(Content)) {
        Text += Line;
        Text += "\r\n";
    }
    LoadFromText(Text);
}

void TSVG::LoadFromFile(const std::string& FileName)
{
    std::ifstream File(FileName, std::ios::binary);
    if (!File) throw ESVGError("Cannot open file \"" + FileName + "\"");
    LoadFromStream(File);
    FFileName = FileName;
}

void TSVG::SaveToStream(std::ostream& Stream) const
{
    for (std::string_view Line : SplitLines(FSource)) {
        Stream << Line << "\r\n";
    }
}

void TSVG::SaveToFile(const std::string& FileName) const
{
    std::ofstream File(FileName, std::ios::binary | std::ios::trunc);
    if (!File) throw ESVGError("Cannot create file \"" + FileName + "\"");
    SaveToStream(File);
    if (!File.flush()) throw ESVGError("Cannot write file \"" + FileName + "\"");
}

namespace {
std::atomic<std::uint64_t> DeepTreeChanges{0};
}

void TSVG::NoteDeepTreeChange()
{
    DeepTreeChanges.fetch_add(1, std::memory_order_relaxed);
}

// Elements with an outline resolve their style again at their first paint; the others (the root, groups)
// resolved theirs while they were read, before the sheet was complete. Once everything is read they resolve
// again, so that rules read after them (and every rule, for the root) reach them and their descendants.
void TSVG::ResolveOutlineLessStyles()
{
    std::vector<TSVGObject*> Stack{this};
    while (!Stack.empty()) {
        TSVGObject* Node = Stack.back();
        Stack.pop_back();
        if (auto* B = const_cast<TSVGBasic*>(Node->AsBasic()); B && !B->GetPath()) B->ResolveStyle();
        for (int I = Node->GetCount() - 1; I >= 0; --I) Stack.push_back(Node->GetItem(I));
    }
}

TSVGObject* TSVG::FindIndexedID(std::string_view Name)
{
    const std::uint64_t Deep = DeepTreeChanges.load(std::memory_order_relaxed);
    if (Deep != FIndexDeepChanges) {
        FIndexDeepChanges = Deep;
        FIndexGeneration = FLookupGeneration = ~std::uint64_t(0);
    }
    auto Matches = [Name](const TSVGObject& Node) {
        const std::string& ID = Node.GetID();
        return Name == ID || (Name.size() == ID.size() + 1 && Name.front() == '#' && Name.substr(1) == ID);
    };
    if (FIndexGeneration != FTreeGeneration) {
        // While the tree keeps changing (loading, resolving use elements) an index would be rebuilt for every
        // lookup; it is built on the second lookup into the same tree.
        const bool Build = FLookupGeneration == FTreeGeneration;
        FLookupGeneration = FTreeGeneration;
        std::vector<TSVGObject*> Stack{this};
        std::size_t Order = 0;
        if (Build) FIDIndex.clear();
        while (!Stack.empty()) {
            TSVGObject* Node = Stack.back();
            Stack.pop_back();
            if (!Build && Matches(*Node)) return Node;
            if (Build) FIDIndex.try_emplace(Node->GetID(), Order++, Node);
            for (int I = Node->GetCount() - 1; I >= 0; --I) Stack.push_back(Node->GetItem(I));
        }
        if (!Build) return nullptr;
        FIndexGeneration = FTreeGeneration;
    }
    const std::pair<std::size_t, TSVGObject*>* Best = nullptr;
    if (auto It = FIDIndex.find(Name); It != FIDIndex.end()) Best = &It->second;
    if (!Name.empty() && Name.front() == '#')
        if (auto It = FIDIndex.find(Name.substr(1)); It != FIDIndex.end() && (!Best || It->second.first < Best->first))
            Best = &It->second;
    return Best ? Best->second : nullptr;
}

void TSVG::CountLoadedObjects(long Count)
{
    FLoadedObjects += Count;
    if (FLoadedObjects > SVGMaxObjects)
        throw ESVGError("The document holds more than " + std::to_string(SVGMaxObjects) +
                        " elements and path segments");
}

namespace {

// The size of the tree once every use is resolved.
struct TResolvedSize {
    long Count = 0;   // objects
    long Levels = 0;  // nesting depth
};

// Each element counts its subtree and what its use copies (one group holding the named element as
// resolved), a reference back to an element still being measured counting nothing, as it copies
// nothing. Each element is measured once, so a chain of thousands of use elements is measured in
// linear time, long before it is copied. Counts stop at Limit.
TResolvedSize ResolvedSize(TSVGObject& Root, long Limit)
{
    // The elements read from the document by id, the first in document order winning; what use
    // elements hold is not looked into (as use elements look up what they copy).
    std::unordered_map<std::string_view, TSVGObject*> Originals;
    {
        std::vector<TSVGObject*> Stack{&Root};
        while (!Stack.empty()) {
            TSVGObject* N = Stack.back();
            Stack.pop_back();
            if (!N->GetID().empty()) Originals.try_emplace(N->GetID(), N);
            const TSVGBasic* B = N->AsBasic();
            if (B && !B->CopiedID().empty()) continue;
            for (int I = N->GetCount() - 1; I >= 0; --I) Stack.push_back(N->GetItem(I));
        }
    }
    auto SourceOf = [&Originals](const TSVGObject& Node) -> TSVGObject* {
        const TSVGBasic* B = Node.AsBasic();
        const std::string_view ID = B ? B->CopiedID() : std::string_view();
        if (ID.empty()) return nullptr;
        const auto It = Originals.find(ID);
        return It == Originals.end() ? nullptr : It->second;
    };
    std::unordered_map<const TSVGObject*, TResolvedSize> Sizes;
    std::unordered_set<const TSVGObject*> Open;
    struct TStep {
        TSVGObject* Node;
        bool Sum;  // its children and source are measured: add them up
    };
    std::vector<TStep> Stack{{&Root, false}};
    auto Measured = [&Sizes](const TSVGObject* Node) {
        const auto It = Sizes.find(Node);
        return It == Sizes.end() ? TResolvedSize{} : It->second;
    };
    while (!Stack.empty()) {
        const TStep Step = Stack.back();
        Stack.pop_back();
        TSVGObject* Node = Step.Node;
        TSVGObject* Source = SourceOf(*Node);
        if (Step.Sum) {
            TResolvedSize Total{1, 0};
            for (int I = 0; I < Node->GetCount(); ++I) {
                const TResolvedSize Child = Measured(Node->GetItem(I));
                Total.Count = std::min(Limit, Total.Count + Child.Count);
                Total.Levels = std::max(Total.Levels, Child.Levels);
            }
            if (Source) {
                const TResolvedSize Copy = Measured(Source);
                Total.Count = std::min(Limit, Total.Count + 1 + Copy.Count);
                Total.Levels = std::max(Total.Levels, Copy.Levels + 1);
            }
            Total.Levels = std::min(Limit, Total.Levels + 1);
            Sizes[Node] = Total;
            Open.erase(Node);
            continue;
        }
        if (Sizes.contains(Node) || Open.contains(Node))
            continue;  // measured already, or an element that copies itself
        Open.insert(Node);
        Stack.push_back({Node, true});
        if (Source) Stack.push_back({Source, false});
        for (int I = Node->GetCount() - 1; I >= 0; --I) Stack.push_back({Node->GetItem(I), false});
    }
    return Measured(&Root);
}

}  // namespace

void TSVG::DeReferenceUse()
{
    // Refused at once when the copies would nest too deep or be too many, rather than after making them.
    const TResolvedSize Size = ResolvedSize(*this, SVGMaxObjects + 1);
    if (Size.Levels > SVGMaxDepth)
        throw ESVGError("Elements are nested deeper than " + std::to_string(SVGMaxDepth) +
                        " levels once use references are resolved");
    if (Size.Count > SVGMaxObjects)
        throw ESVGError("The document holds more than " + std::to_string(SVGMaxObjects) +
                        " objects once its use references are resolved");
    // Pre-order; an element's children are taken after it resolved, so copies are visited too.
    // Copies of copies can multiply, hence the bound on the objects visited.
    std::vector<TSVGObject*> Stack{this};
    long Visited = 0;
    while (!Stack.empty()) {
        TSVGObject* Node = Stack.back();
        Stack.pop_back();
        // Objects waiting on the stack exist already; counting them bounds what a resolution creates.
        if (++Visited + static_cast<long>(Stack.size()) > SVGMaxObjects)
            throw ESVGError("The document holds more than " + std::to_string(SVGMaxObjects) +
                            " objects once its use references are resolved");
        if (auto* B = dynamic_cast<TSVGBasic*>(Node)) B->ResolveReference();
        for (int I = Node->GetCount() - 1; I >= 0; --I) Stack.push_back(Node->GetItem(I));
    }
}

void TSVG::MeasureContent()
{
    std::vector<TSVGObject*> Stack{this};
    while (!Stack.empty()) {
        TSVGObject* Node = Stack.back();
        Stack.pop_back();
        Node->UpdateBounds();
        const TBounds& B = Node->GetObjectBounds();
        const float Xs[] = {B.TopLeft.X, B.TopRight.X, B.BottomLeft.X, B.BottomRight.X};
        const float Ys[] = {B.TopLeft.Y, B.TopRight.Y, B.BottomLeft.Y, B.BottomRight.Y};
        const auto [MinX, MaxX] = std::minmax_element(std::begin(Xs), std::end(Xs));
        const auto [MinY, MaxY] = std::minmax_element(std::begin(Ys), std::end(Ys));
        if (*MaxX - *MinX > FSize.Width) FSize.Width = *MaxX - *MinX;
        if (*MaxY - *MinY > FSize.Height) FSize.Height = *MaxY - *MinY;
        for (int I = Node->GetCount() - 1; I >= 0; --I) Stack.push_back(Node->GetItem(I));
    }
}

// --- Style sheet.

void TSVG::ReadStyleElement(const TXmlNode& Node)
{
    // CSS is the style language a <style> without "type" holds, so its text counts as well.
    std::string Text;
    const std::optional<std::string> Type = Node.FindAttribute("type");
    if (!Type || *Type == "text/css" || Type->empty()) {
        for (const TXmlNode& Child : Node.ChildNodes())
            if (Child.NodeType() == TXmlNodeType::ntText || Child.NodeType() == TXmlNodeType::ntCData)
                Text += Child.Text();
    }
    for (const TCSSRule& Rule : ParseCSSRules(Text)) {
        // One selector the renderer does not understand drops the whole list, as in browsers.
        const std::vector<std::string> Selectors = SplitSelectorList(Rule.Selectors);
        if (!std::all_of(Selectors.begin(), Selectors.end(),
                         [](const std::string& S) { return TSelector::Parse(S).has_value(); }))
            continue;
        // Of two declarations of one property in a block the important one wins, else the later one.
        auto Declarations = std::make_unique<TStyle>();
        for (TCSSDeclaration& D : ParseCSSDeclarations(Rule.Body)) {
            const int Known = Declarations->IndexOf(D.Name);
            if (Known >= 0 && !D.Important && Declarations->GetValuesByNum(Known).ends_with("!important")) continue;
            Declarations->PutValues(D.Name, D.Important ? D.Value + " !important" : D.Value);
        }
        for (const std::string& Selector : Selectors) {
            std::unique_ptr<TStyle> Rule = Declarations->Clone();
            Rule->SetName(Selector);
            FStyles->Add(std::move(Rule));
        }
    }
}

void TSVG::ReadStyleSheets(const TXmlNode& Node)
{
    // Every sheet of the document applies to every element, also to those before it.
    std::vector<TXmlNode> Stack{Node};
    while (!Stack.empty()) {
        const TXmlNode Current = Stack.back();
        Stack.pop_back();
        if (SVGElementName(Current) == "style") {
            ReadStyleElement(Current);
            continue;
        }
        const TXmlNodeList Children = Current.ChildNodes();
        for (int I = Children.Count() - 1; I >= 0; --I)
            if (Children.Item(I).IsElement()) Stack.push_back(Children.Item(I));
    }
}

std::string TSVG::GetStyleValue(std::string_view Name, std::string_view Key) const
{
    const TStyle* Rule = FStyles->GetStyleByName(Name);
    return Rule ? Rule->GetValues(Key) : std::string();
}

void TSVG::RegisterElement(std::string_view Name, TSVGElementCreator Creator)
{
    for (auto& [Known, Create] : FRegisteredElements)
        if (Known == Name) {
            Create = Creator;
            return;
        }
    FRegisteredElements.emplace_back(std::string(Name), Creator);
}

TSVGElementCreator TSVG::FindRegisteredElement(std::string_view Name) const
{
    for (const auto& [Known, Create] : FRegisteredElements)
        if (Known == Name) return Create;
    return nullptr;
}

// --- Geometry and painting.

void TSVG::SetBounds(const TGPRectF& Bounds)
{
    FRootBounds = Bounds;
    if (FWidth == 0) FWidth = Bounds.Width;
    if (FHeight == 0) FHeight = Bounds.Height;
    if (FWidth > 0 && Bounds.Width != -1) FDX = Bounds.Width / FWidth;
    if (FHeight > 0 && Bounds.Height != -1) FDY = Bounds.Height / FHeight;
    CalculateMatrices();
}

void TSVG::Scale(float ADX, float ADY)
{
    if (!(ADY >= 0)) ADY = ADX;
    if (!SameValue(ADX, FDX) || !SameValue(ADY, FDY)) {
        FDX = ADX;
        FDY = ADY;
    }
}

void TSVG::SetAngle(float Value)
{
    if (SameValue(Value, FAngle)) return;
    FAngle = Value;
    const float CX = FWidth / 2, CY = FHeight / 2;
    FAngleMatrix = CreateTranslation(-CX, -CY) * CreateRotation(Value) * CreateTranslation(CX, CY);
}

void TSVG::SetSVGOpacity(float Value)
{
    FFillOpacity = Value;
    FStrokeOpacity = Value;
}

void TSVG::CalculateRootMatrix()
{
    // A view box maps onto the document's width and height (uniformly, centred, as an svg element's default
    // aspect handling does), and the scale then maps those onto the output. Without that step a document whose
    // width and height differ from its view box (IconFont's width="200" over a 1024 view box) would be drawn
    // magnified and cut off. Without a usable view box only its origin is taken off, after the scaling.
    const bool Fits = IsUsableBox(FViewBox) && FWidth > 0 && FHeight > 0;
    TMatrix R = IdentityMatrix();
    if (FPureMatrix.IsTransform()) R = FPureMatrix;
    const float OutWidth = FRootBounds.Width, OutHeight = FRootBounds.Height;
    if (Fits && std::isfinite(OutWidth) && std::isfinite(OutHeight) && OutWidth > 0 && OutHeight > 0) {
        // The output rectangle is the viewport: the view box is placed in it as preserveAspectRatio says, so an
        // output of another shape than the document keeps the drawing's proportions unless it says "none".
        R = R * ViewBoxMatrix(FViewBox, FAspect, 0, 0, OutWidth, OutHeight);
        if (FAngle != 0)
            R = R * CreateTranslation(-OutWidth / 2, -OutHeight / 2) * CreateRotation(FAngle) *
                CreateTranslation(OutWidth / 2, OutHeight / 2);
        R = R * CreateTranslation(FRootBounds.X, FRootBounds.Y);
        if (FInitialMatrix.IsTransform()) R = R * FInitialMatrix;
        FRootMatrix = R;
        return;
    }
    if (Fits) R = R * ViewBoxMatrix(FViewBox, TAspectRatio{}, 0, 0, FWidth, FHeight);
    if (FAngleMatrix.IsTransform()) R = R * FAngleMatrix;
    R = R * CreateScaling(FDX, FDY);
    if (!Fits) R = R * CreateTranslation(-FViewBox.Left, -FViewBox.Top);
    R = R * CreateTranslation(FRootBounds.X, FRootBounds.Y);
    if (FInitialMatrix.IsTransform()) R = R * FInitialMatrix;
    FRootMatrix = R;
}

void TSVG::PaintTo(TGPGraphics& Graphics, const TGPRectF& Bounds, std::span<const TRect> Rects)
{
    TTransformKeeper Keeper(Graphics);
    const std::array<float, 6> E = Keeper.Saved.GetElements();
    FInitialMatrix = TMatrix{E[0], E[1], 0, E[2], E[3], 0, E[4], E[5], 1};
    SetBounds(Bounds);
    PaintTree(*this, Graphics, Rects);
}

void TSVG::PaintTo(TGPGraphics& Graphics, float aLeft, float aTop, float aWidth, float aHeight)
{
    PaintTo(Graphics, TGPRectF{aLeft, aTop, aWidth, aHeight});
}

TXmlNode TSVG::SaveToNode(const TXmlNode& Parent, float Left, float Top, float Width, float Height) const
{
    if (FSource.empty() || !Parent) return TXmlNode();
    TXmlDocument Source;
    Source.LoadFromText(FSource, IsTextContentElement);
    TXmlDocument Target = Parent.OwnerDocument();
    TXmlNode Group = Target.CreateElement("g");
    auto Number = [](float V) {
        std::ostringstream Out;
        Out.imbue(std::locale::classic());
        Out << V;
        return Out.str();
    };
    std::string Transform;
    if (Left != 0 || Top != 0) Transform = "translate(" + Number(Left) + ", " + Number(Top) + ")";
    if (Width != FWidth || Height != FHeight) {
        if (!Transform.empty()) Transform += " ";
        Transform += "scale(" + Number(Width / FWidth) + ", " + Number(Height / FHeight) + ")";
    }
    if (!Transform.empty()) Group.SetAttribute("transform", Transform);
    for (const TXmlNode& Child : Source.DocumentElement().ChildNodes()) Group.AppendChild(Child.CloneTo(Target));
    TXmlNode Holder = Parent;
    return Holder.AppendChild(Group);
}

}  // namespace plumwick
