#pragma once

// Text elements: text, tspan and textPath. Every run of characters (a chunk) becomes a path of glyph
// outlines built with the font's kerning, or laid along another element's outline for textPath.
// Mixed content is split into child chunks, each continuing where the previous one ended.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gdip/GDIPKerning.h"
#include "svg/core/SVGBasic.h"

namespace plumwick {

class TGPFont;
class TGPFontFamily;
class TStyle;
class TGPGraphicsPath;
class TSVGTextPath;

class TSVGCustomText : public TSVGBasic {
public:
    TSVGCustomText();
    ~TSVGCustomText() override;

    // Also copies the text, the font ascent, the shifts and the decoration outlines (not whether x
    // and y were given).
    void AssignTo(TSVGObject& Dest) const override;
    // Copies of every text class are plain chunks.
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    // The text cell (baseline start, advance width, layout height), widened by half the stroke.
    void UpdateBounds() override;
    // The character cells of the whole text element the chunk belongs to.
    [[nodiscard]] std::optional<TGPRectF> GetMeasureBox() const override;
    void Clear() override;
    // Nothing for a chunk without text.
    void PaintToGraphics(TGPGraphics& Graphics) override;
    // Also "dx", "dy" and whether "x" and "y" are given. Lists of positions ("10 20 30") place the
    // chunk by their first values and its following characters one by one by the others.
    void ReadIn(const TXmlNode& Node) override;
    // Glyph outlines of the chunk (and its underline and strike-out rectangles); nothing inside a
    // text path, which builds its chunks itself.
    void BuildPath() override;
    // The underline and the overline are painted under the glyphs, the strike-out over them.
    void PrePaint(TGPGraphics& Graphics, TGPBrush* Brush, TGPPen* Pen) override;
    void PostPaint(TGPGraphics& Graphics, TGPBrush* Brush, TGPPen* Pen) override;

    // Measures the chunk and fixes its position after the previous chunk.
    virtual void LayoutText();
    // Turns one child node into a child chunk.
    virtual void ReadTextChild(const TXmlNode& Node);
    // Reads the element's content.
    virtual void ReadTextContent(const TXmlNode& Node);

    const std::string& GetText() const { return FText; }
    void SetText(std::string_view Value) { FText = Value; }
    float GetFontHeight() const { return FFontHeight; }
    void SetFontHeight(float Value) { FFontHeight = Value; }
    float GetDX() const { return FDX; }
    void SetDX(float Value) { FDX = Value; }
    float GetDY() const { return FDY; }
    void SetDY(float Value) { FDY = Value; }
    bool GetHasX() const { return FHasX; }
    bool GetHasY() const { return FHasY; }
    TGPGraphicsPath* GetUnderlinePath() const { return FUnderlinePath.get(); }
    TGPGraphicsPath* GetStrikeOutPath() const { return FStrikeOutPath.get(); }
    TGPGraphicsPath* GetOverlinePath() const { return FOverlinePath.get(); }
    // A value the element itself gives a property (style sheet rules, attributes, inline style);
    // empty for anonymous chunks and when it gives none.
    std::string OwnProperty(std::string_view Name) const;
    // The value in force: own, else the nearest text ancestor's, else the cascade's outside text.
    std::string InheritedProperty(std::string_view Name) const;
    // Whether the object is an element of its own (not an anonymous run of characters).
    bool HasOwnStyle() const { return FOwnStyle != nullptr; }

    // An installed family for Name: Name itself (the generic names serif, sans-serif and monospace
    // give their generic families), each name of a comma-separated list, the part before the first
    // "-", then Arial (or its stand-in); the generic sans-serif family as a last resort. Never null.
    static std::unique_ptr<TGPFontFamily> FindFontFamily(std::string_view Name);
    // Advance widths of Obj and of all the text chunks below it.
    static float GetTotalWidth(const TSVGObject& Obj);
    // The last text object of Obj's subtree in document order (Obj itself when it has none below).
    static const TSVGCustomText* LastTextObject(const TSVGCustomText& Obj);

protected:
    // The chunk's font (em size in pixels) from the cascaded font properties; sets FFontHeight.
    std::unique_ptr<TGPFont> CreateTextFont();
    // This object or an ancestor is a text path.
    bool IsInTextPath() const;
    // Font style bits for the glyphs: bold and italic from the cascade.
    int GlyphStyle() const;

    // "letter-spacing" and "word-spacing" in force (lengths, em of the font size; "normal" is 0).
    // Text laid along a path keeps its plain advances.
    TTextSpacing Spacing() const;
    // How far the glyphs go down from FY so that the baseline that "alignment-baseline" or
    // "dominant-baseline" names lies at FY: central (middle of the cell), middle (half the x-height),
    // hanging and text-before-edge (the ascent), text-after-edge and ideographic (the descent).
    float BaselineShift(const TGPFontFamily& Family, int Style) const;

    // The outermost text object above (or at) this one: the text element the chunk belongs to.
    TSVGCustomText& TextRoot();
    // Raw content as it is laid out. Unless xml:space="preserve" is in force, line breaks and tabs
    // become blanks, runs of blanks shrink to one and a blank that follows the element's start or
    // another blank (also a kept one at the end of the previous chunk) is dropped. With "preserve"
    // line breaks and tabs become blanks and nothing else changes.
    std::string CollapseWhiteSpace(std::string_view Raw);
    // Once the whole text element is read: drops its last trailing blank (default white space) and
    // moves each run of chunks that starts at an own "x" by its text-anchor (middle, end).
    void FinishText();

    std::string FText;                                // this chunk's characters (UTF-8)
    std::unique_ptr<TGPGraphicsPath> FUnderlinePath;  // only while underlined
    std::unique_ptr<TGPGraphicsPath> FStrikeOutPath;  // only while struck out
    std::unique_ptr<TGPGraphicsPath> FOverlinePath;   // only while overlined; painted with the underline
    float FFontHeight = 0;                            // font ascent in pixels
    float FBaselineShift = 0;                         // of the last BuildPath
    float FEndY = 0;                                  // baseline of the chunk's last placed character
    float FDX = 0;
    float FDY = 0;
    bool FHasX = false;
    bool FHasY = false;
    // Positions of the second and later characters when "x", "y", "dx" or "dy" hold lists
    // (the element's own characters only; chunks do not inherit them).
    std::vector<float> FXList;
    std::vector<float> FYList;
    std::vector<float> FDXList;
    std::vector<float> FDYList;
    // While the text element is read (on its outermost object): the content so far is empty or
    // ends with a collapsible blank.
    bool FAfterBlank = true;

    // The whole text element laid out at once (shaping, positions, anchors, lengths, paths), its
    // glyphs and decorations given to the objects that paint them. Runs on the outermost object.
    void LayoutWholeText();
    // Records the element's own attributes and inline style, which copies of a parent do not carry.
    void ReadOwnStyle(const TXmlNode& Node);

    std::unique_ptr<TStyle> FOwnStyle;  // own attributes and inline style (null: anonymous chunk)
    bool FLaidOut = false;              // the whole-text layout has run (on the outermost object)
    bool FHasCells = false;             // FCells holds the box of the chunk's character cells
    TRectF FCells{};
    bool FGuidesPending = false;  // a text path's guide was missing at layout time

    friend class TSVGTextPath;
};

class TSVGText : public TSVGCustomText {
public:
    // Also reads the content.
    void ReadIn(const TXmlNode& Node) override;
};

class TSVGTSpan : public TSVGText {
public:
    // The element's single text; a span with child elements is split into chunks as a text is.
    void ReadTextContent(const TXmlNode& Node) override;
};

enum TTextPathMethod { tpmAlign, tpmStretch };
enum TTextPathSpacing { tpsAuto, tpsExact };

class TSVGTextPath : public TSVGCustomText {
public:
    void Clear() override;
    // Also "startOffset", "method", "spacing" and "xlink:href".
    void ReadIn(const TXmlNode& Node) override;
    // Lays every chunk of the subtree along the referenced element's outline. Nothing of the subtree
    // is drawn when the reference names no element or one without an outline, or when the text path
    // is not a child of a text element.
    void BuildPath() override;
    void PaintToGraphics(TGPGraphics& Graphics) override;
    void ReadTextContent(const TXmlNode& Node) override;

    float GetOffset() const { return FOffset; }
    bool GetOffsetIsPercent() const { return FOffsetIsPercent; }
    const std::string& GetPathRef() const { return FPathRef; }
    TTextPathMethod GetMethod() const { return FMethod; }
    TTextPathSpacing GetSpacing() const { return FSpacing; }

private:
    float FOffset = 0;
    bool FOffsetIsPercent = false;
    std::string FStartOffset;  // "startOffset" as written (lengths, em, percentages)
    std::string FPathRef;
    TTextPathMethod FMethod = tpmAlign;   // recorded only
    TTextPathSpacing FSpacing = tpsAuto;  // recorded only
    bool FSideRight = false;              // side="right": the guide is followed backwards
    std::string FPathData;                // the "path" attribute, used when there is no reference

    friend class TSVGCustomText;
};

}  // namespace plumwick
