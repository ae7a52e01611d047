#pragma once

// Layout of one text element as SVG defines it: the content is one string of characters, styled in
// spans, positioned by per-character x/y/dx/dy/rotate values, cut into chunks at absolute positions,
// shaped (bidi, fallback faces, kerning, ligatures), spaced, stretched by textLength, anchored per
// chunk and laid along guide paths. The result is glyph outlines and decoration figures per owner
// (the element object that paints them). Nothing here knows the element tree.

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/TextShaper.h"

namespace plumwick {

enum class TTextAnchor { Start, Middle, End };

struct TTextStyle {
    std::shared_ptr<const TFontSet> Fonts;
    float Size = 16;
    TShapeFeatures Features;
    float LetterSpacing = 0;
    float WordSpacing = 0;
    float BaselineOffset = 0;  // the glyphs move down by this (baselines, baseline-shift)
    TTextAnchor Anchor = TTextAnchor::Start;
    bool RightToLeft = false;  // "direction: rtl"
    bool Vertical = false;     // a vertical writing mode
    bool Italic = false;       // slant a face that has no italic of its own
};

// Characters [Begin, End) drawn by one owner with one style.
struct TTextSpan {
    int Owner = 0;
    std::size_t Begin = 0;
    std::size_t End = 0;
    TTextStyle Style;
};

// "textLength" of one element over its characters.
struct TTextLength {
    std::size_t Begin = 0;
    std::size_t End = 0;
    float Length = 0;
    bool Glyphs = false;  // lengthAdjust="spacingAndGlyphs"
};

enum : std::uint8_t { TextLineUnder = 1, TextLineOver = 2, TextLineThrough = 4 };

// Lines that one element's text-decoration draws under, over or through its characters, with that
// element's font and paint.
struct TTextDecorationInput {
    int Owner = 0;
    std::size_t Begin = 0;
    std::size_t End = 0;
    std::uint8_t Lines = 0;
    std::shared_ptr<const TFontSet> Fonts;
    float Size = 16;
};

// Characters [Begin, End) laid along a guide (a polyline in the text's user space). The characters
// of an invalid guide are not drawn and take no room.
struct TTextGuide {
    std::size_t Begin = 0;
    std::size_t End = 0;
    bool Valid = true;
    std::vector<float> Points;  // x0, y0, x1, y1, ...; a NaN pair starts a new subpath
    float StartOffset = 0;      // user units along the guide
};

struct TTextInput {
    std::u32string Text;
    std::vector<TTextSpan> Spans;  // cover the text in order
    // Per character, NaN where not given.
    std::vector<float> X, Y, DX, DY, Rotate;
    std::vector<TTextLength> Lengths;
    std::vector<TTextDecorationInput> Decorations;
    std::vector<TTextGuide> Guides;
    // Per character (or empty): not drawn and takes no room, as inside "display: none".
    std::vector<bool> Dropped;
};

struct TTextOutput {
    // Per owner: glyph outlines and the three decoration figures.
    struct TOwner {
        std::vector<TOutlinePoint> Glyphs;
        std::vector<TOutlinePoint> Underline;
        std::vector<TOutlinePoint> Overline;
        std::vector<TOutlinePoint> LineThrough;
        bool Placed = false;  // whether X and Y hold the start of its first character
        float X = 0;          // baseline start of its first character (visual order)
        float Y = 0;
        float Advance = 0;     // sum of its characters' advances
        float End = -3.0e38f;  // furthest end of its characters along the line
        // Box of its characters' cells (advance by ascent and descent), in user space.
        bool HasCells = false;
        float CellLeft = 0, CellTop = 0, CellRight = 0, CellBottom = 0;
    };
    std::vector<TOwner> Owners;
    float EndX = 0;  // where text after this element would go on
    float EndY = 0;
};

// Lays the text out; Owners gets one entry per owner index used by the spans and decorations.
TTextOutput LayoutTextContent(const TTextInput& Input, int OwnerCount);

}  // namespace plumwick
