#pragma once

// TSVGBasic: presentation properties with their "not set" markers and up-the-tree reading, the
// style cascade, the element's outline, and the painting of one element (fill, stroke, clip).
// Also the paint walk over a tree.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/GdiPlusTypes.h"
#include "svg/base/PaintOrder.h"
#include "svg/core/SVGObject.h"

namespace plumwick {

class TGPGraphicsPath2;
class TGPPen;

// Values of "fill-rule" as the cascade resolves it; not set leaves each outline its own fill mode.
inline constexpr int FillRuleNotSet = 0;
inline constexpr int FillRuleEvenOdd = 1;
inline constexpr int FillRuleNonZero = 2;

class TSVGBasic : public TSVGMatrix {
public:
    const TSVGBasic* AsBasic() const override { return this; }
    TSVGBasic();
    ~TSVGBasic() override;

    void AssignTo(TSVGObject& Dest) const override;
    // A plain TSVGBasic under Parent.
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    void Clear() override;
    // Paints the outline: clip, transform, late style resolution, fill, stroke, hooks.
    void PaintToGraphics(TGPGraphics& Graphics) override;
    // Adds a copy of the outline, mapped by Matrix when that is valid, to Path.
    void PaintToPath(TGPGraphicsPath& Path) override;
    // Also "x", "y", "width", "height", "rx", "ry", then ResolveStyle.
    void ReadIn(const TXmlNode& Node) override;

    // --- Operations added at this level, in the order of their slots.

    // Element factory: creates and reads the child elements of Node; <style> feeds the sheet.
    virtual void LoadChildNodes(const TXmlNode& Node);
    // Applies one block of declarations to the presentation fields.
    virtual void ApplyStyle(TStyle& Style);
    // Frees FPath; element classes then build their outline.
    virtual void BuildPath();
    // Hooks around fill and stroke; text draws its decorations here.
    virtual void PrePaint(TGPGraphics& Graphics, TGPBrush* Brush, TGPPen* Pen);
    virtual void PostPaint(TGPGraphics& Graphics, TGPBrush* Brush, TGPPen* Pen);

    // Clip elements give the clip outline they collect (built on first use, still owned by
    // them); every other element gives none.
    virtual TGPGraphicsPath* GetClipPath();
    // Reference elements (use) replace their children by a copy of what they name; every other
    // element does nothing. Run for every element after the document is read.
    virtual void ResolveReference();
    // The id of what ResolveReference copies (use: the element it names); empty for every other element.
    virtual std::string_view CopiedID() const { return {}; }
    // Elements that set up a viewport (nested svg, symbol, marker) give the rectangle their content
    // is clipped to, in their own user space; every other element gives false.
    [[nodiscard]] virtual bool GetViewportClip(TRectF&) const { return false; }
    // Elements that set up a viewport give the size percentages of their content refer to; every other
    // element gives false.
    [[nodiscard]] virtual bool GetContentViewport(float&, float&) const { return false; }
    // Elements whose content paints for another element give that element, which context-fill and
    // context-stroke below them stand for (use: itself; marker: the shape it is being drawn on, nullptr when
    // none). Every other element gives nothing: the search goes on up the tree.
    virtual std::optional<TSVGBasic*> GetContentContext() { return std::nullopt; }
    // The box that bounding-box units measure the element and everything below it by, in its own user
    // space, where that is not the box of the outlines (text: its character cells). Nothing for every
    // other element.
    [[nodiscard]] virtual std::optional<TGPRectF> GetMeasureBox() const { return std::nullopt; }

    // --- Cascade.

    // Sheet rules for the element name, "#id" and each class, then the own declarations; then
    // colours and references are interpreted.
    void ResolveStyle();
    // Turns a family such as Arial-BoldItalicMT into an installed family, marking bold and
    // italic in Style (the block being applied).
    void NormalizeFontName(TStyle& Style);
    // Whether the resolved font name is an installed family.
    bool IsFontInstalled() const;

    // --- Painting helpers.

    // New brushes for fill and stroke (solid or from a paint server), nullptr when none.
    std::unique_ptr<TGPBrush> GetFillBrush();
    std::unique_ptr<TGPBrush> GetStrokeBrush();
    // A pen drawing with Brush, set up from the resolved stroke properties; nullptr when there
    // is no usable brush.
    std::unique_ptr<TGPPen> GetStrokePen(TGPBrush* Brush);
    // The clip outline in force (nearest clip-path up the tree), nullptr when none.
    // Narrows the surface's clip to the viewports of the elements above this one.
    void ClipToViewports(TGPGraphics& Graphics) const;
    // Draws the markers that "marker-start", "marker-mid" and "marker-end" name on the outline's vertices.
    void PaintMarkers(TGPGraphics& Graphics);
    // Whether this element can carry markers and names one (itself or inherited).
    bool HasMarkers() const;
    bool IsMarkable() const;

    // --- Properties. Readers named after a presentation property resolve up the tree.

    TColor GetFillColor() const;  // 0 (black) when nothing is set
    int GetFillRule() const;      // FillRuleNotSet when nothing on the chain declares one
    int GetClipRule() const;      // "clip-rule", inherited; FillRuleNonZero when nothing declares one
    // The element's own "opacity" (not inherited: a group's opacity applies to the group as a whole).
    float GetOpacity() const { return FOpacity; }
    // An opacity this paint multiplies into fill and stroke; the paint walk sets it when the element's
    // opacity needs no layer of its own (1 otherwise).
    void SetPaintOpacity(float Value) { FPaintOpacity = Value; }
    // The element's own clip reference (the clip element's id once resolved), not its ancestors'.
    const std::string& GetOwnClipURI() const { return FClipURI; }
    void SetFillColor(TColor Value)
    {
        FFillColor = Value;
        FFillCurrent = false;
    }
    TColor GetStrokeColor() const;  // -2 (none) when nothing is set
    void SetStrokeColor(TColor Value)
    {
        FStrokeColor = Value;
        FStrokeCurrent = false;
    }
    float GetFillOpacity() const;  // own (or nearest set) value times the parent's
    void SetFillOpacity(float Value) { FFillOpacity = Value; }
    float GetStrokeOpacity() const;
    void SetStrokeOpacity(float Value) { FStrokeOpacity = Value; }
    float GetStrokeWidth() const;  // -2 when nothing is set
    void SetStrokeWidth(float Value)
    {
        FStrokeWidth = Value;
        FStrokeWidthUnit = luNone;
    }
    LineJoin GetStrokeLineJoin() const;
    LineCap GetStrokeLineCap() const;
    DashCap GetStrokeDashCap() const;
    float GetStrokeMiterLimit() const;  // 4 when nothing is set
    void SetStrokeMiterLimit(float Value) { FStrokeMiterLimit = Value; }
    float GetStrokeDashOffset() const;
    void SetStrokeDashOffset(float Value)
    {
        FStrokeDashOffset = Value;
        FStrokeDashOffsetUnit = luNone;
    }
    // Dash and gap lengths in force; empty for a solid line.
    std::vector<float> GetStrokeDashArray() const;
    std::string GetFontName() const;  // "Arial" when nothing is set
    void SetFontName(std::string_view Value) { FFontName = Value; }
    float GetFontSize() const;                    // 16 ("medium") when nothing is set
    void SetFontSizeText(std::string_view Text);  // a font-size value as written
    void SetFontSize(float Value)
    {
        FFontSize = Value;
        FFontSizeOfParent = false;
    }
    int GetFontWeight() const;  // 400 when nothing is set
    void SetFontWeight(int Value) { FFontWeight = Value; }
    int GetFontStyle() const;  // 0 when nothing is set
    void SetFontStyle(int Value) { FFontStyle = Value; }
    TTextDecoration GetTextDecoration() const;
    // The order of fill, stroke and markers in force (inherited; fill, stroke, markers when nothing is set).
    TPaintOrder GetPaintOrder() const;
    void SetTextDecoration(TTextDecoration Value) { FTextDecoration = Value; }
    std::string GetClipURI() const;
    // Stores the clip reference and looks the clip path up again.
    void SetClipURI(std::string_view Value);

    // The paint server in force: the reference of the nearest element on the chain whose paint
    // is set (empty when that paint is a plain colour).
    const std::string& GetFillServer() const;
    const std::string& GetStrokeServer() const;
    const std::string& GetFillURI() const { return FFillURI; }
    void SetFillURI(std::string_view Value) { FFillURI = Value; }
    const std::string& GetStrokeURI() const { return FStrokeURI; }
    void SetStrokeURI(std::string_view Value) { FStrokeURI = Value; }
    float GetX() const { return FX; }
    void SetX(float Value) { FX = Value; }
    float GetY() const { return FY; }
    void SetY(float Value) { FY = Value; }
    float GetWidth() const { return FWidth; }
    void SetWidth(float Value) { FWidth = Value; }
    float GetHeight() const { return FHeight; }
    void SetHeight(float Value) { FHeight = Value; }
    float GetRX() const { return FRX; }
    void SetRX(float Value) { FRX = Value; }
    float GetRY() const { return FRY; }
    void SetRY(float Value) { FRY = Value; }
    bool GetStyleChanged() const { return FStyleChanged; }
    // The element's outline; nullptr for elements without one.
    TGPGraphicsPath2* GetPath() const { return FPath.get(); }

protected:
    void OnStyleChange(TStyle& Sender);
    // Puts this object's change handler on FStyle (after FStyle was replaced).
    void AttachStyleHandler();
    void ParseDashArray(std::string_view Value);
    TColor CurrentColor() const;
    TColor PaintColor(const std::string& Text) const;
    // C as the document shows it: greyed or replaced by the fixed colour when the document says so.
    TColor ShownColor(TColor C) const;
    void ParseFontWeight(std::string_view Value);

    // The paint was "context-fill" or "context-stroke": the paint of the context element (see GetContentContext).
    enum class TContextPaint : std::uint8_t { None, Fill, Stroke };
    // Where the fill (Stroke false) or stroke in force here comes from: the element itself (Context nullptr) or
    // the given paint of a context element; Exists false when a context paint has no context element.
    struct TPaintSource {
        bool Exists = true;
        TSVGBasic* Context = nullptr;
        bool Stroke = false;
    };
    TPaintSource PaintSource(bool Stroke) const;
    // Fill or stroke brush with Opacity, from the element itself or from its context element.
    std::unique_ptr<TGPBrush> PaintBrush(bool Stroke, float Opacity);

    TColor FFillColor = SVG_INHERIT_COLOR;    // -1 not set, -2 none
    TColor FStrokeColor = SVG_INHERIT_COLOR;  // -1 not set, -2 none
    // The paint was "currentColor": an element that inherits it paints with its own colour in force.
    bool FFillCurrent = false;
    bool FStrokeCurrent = false;
    TContextPaint FFillContext = TContextPaint::None;
    TContextPaint FStrokeContext = TContextPaint::None;
    std::optional<float> FFillOpacity;    // empty: inherited
    std::optional<float> FStrokeOpacity;  // empty: inherited
    float FStrokeWidth = UndefinedFloat;
    // The units the stroke lengths were written in: em, ex and % are resolved only when read, against the
    // declaring element's font size (em, ex) or the viewport (%).
    TLengthUnit FStrokeWidthUnit = luNone;
    std::string FStrokeLineJoin;  // as written; empty = not set
    std::string FStrokeLineCap;   // as written; empty = not set
    float FStrokeMiterLimit = UndefinedFloat;
    std::optional<float> FStrokeDashOffset;  // empty: inherited; any number, negative too, is a value
    TLengthUnit FStrokeDashOffsetUnit = luNone;
    std::vector<float> FStrokeDashArray;
    std::vector<TLengthUnit> FStrokeDashArrayUnits;  // one per dash length
    int FStrokeDashArrayCount = 0;
    bool FArrayNone = false;  // the dash array was set to "none"
    std::string FFontName;    // empty = not set
    float FFontSize = UndefinedFloat;
    bool FFontSizeOfParent = false;  // FFontSize is a factor of the parent's font size
    int FFontWeight = UndefinedInt;  // 400 normal, 700 bold
    int FFontStyle = UndefinedInt;   // 0 normal, 1 italic
    TTextDecoration FTextDecoration = tdInherit;
    std::unique_ptr<TGPGraphicsPath2> FPath;  // the outline; owned
    float FX = 0;
    float FY = 0;
    float FWidth = 0;
    float FHeight = 0;
    bool FStyleChanged = false;  // own declarations changed since the last resolution
    float FRX = UndefinedFloat;
    float FRY = UndefinedFloat;
    std::string FFillURI;    // raw fill text until resolved, then the paint server's id
    std::string FStrokeURI;  // likewise for the stroke
    std::string FClipURI;    // raw clip-path text until resolved, then the clip element's id
    int FFillRule = FillRuleNotSet;
    int FClipRule = FillRuleNotSet;
    float FOpacity = 1;        // own "opacity", 0..1
    float FPaintOpacity = 1;   // set by the paint walk, see SetPaintOpacity
    std::string FColor;        // text of the "color" declaration, what "currentColor" stands for; empty = not set
    std::string FMarkerStart;  // marker references as written ("none" stops inheritance); empty = not set
    std::string FMarkerMid;
    std::string FMarkerEnd;

private:
    void ClearBasicFields();
};

// --- Paint walk.

// An update rectangle of the paint walk (right and bottom edges excluded).
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

// Neither the node's own display attribute nor its own style says "none"; inherited display is not looked at.
bool OwnDisplayShows(const TSVGObject& Node);
// Displayed (resolved display 1 and no own "display: none" declaration) and visible.
bool IsPaintable(const TSVGObject& Node);
// Whether the polygon of the rounded corners overlaps the rectangle with a non-empty area.
bool BoundsIntersectRect(const TBounds& Bounds, const TRect& Rect);
// No rectangles, or Node's bounds meet at least one of them.
bool InRects(const TSVGObject& Node, std::span<const TRect> Rects);
// Paints Node and its subtree in document order; undisplayed or hidden subtrees are skipped,
// and with rectangles given only elements whose bounds meet one paint themselves.
void PaintTree(TSVGObject& Node, TGPGraphics& Graphics, std::span<const TRect> Rects = {});
// Round(Opacity × 255) with halves to even, clamped to 0..255 (0 for a value that is not a number).
std::uint8_t OpacityToAlpha(float Opacity);

}  // namespace plumwick
