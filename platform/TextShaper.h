#pragma once

// Font matching (fontconfig), shaping (HarfBuzz) and bidirectional levels (FriBidi) behind plain
// std types. Advances, offsets and outlines are the font's own unhinted design values, given as
// fractions of an em, so a caller scales them by the font size and gets what a browser measures.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/FontOutline.h"

namespace plumwick {

// What a text asks of the font system.
struct TFontRequest {
    std::vector<std::string> Families;  // in order of preference; generic names allowed
    int Weight = 400;                   // 1 to 1000
    int Slant = 0;                      // 0 normal, 1 italic, 2 oblique
    int Stretch = 100;                  // percent of the normal width (50 to 200)
    // Variation axes ("wght", 700) applied to variable faces after weight and stretch.
    std::vector<std::pair<std::string, float>> Variations;
    // The font size in CSS pixels, for faces with an optical size axis ("opsz"), as
    // "font-optical-sizing: auto" sets it; 0 leaves the axis at its default.
    float OpticalSize = 0;

    std::string Key() const;
};

// Vertical metrics of a face, fractions of an em. Distances up from the baseline are positive.
struct TFaceMetrics {
    float Ascent = 0.8f;
    float Descent = 0.2f;  // below the baseline, positive
    float XHeight = 0.5f;
    float CapHeight = 0.7f;
    float UnderlinePosition = 0.1f;  // top of the underline below the baseline, positive
    float UnderlineThickness = 0.05f;
    float StrikeoutPosition = 0.3f;  // top of the strike-out above the baseline
    float StrikeoutThickness = 0.05f;
    float Hanging = 0.8f;        // hanging baseline above the alphabetic one
    float Ideographic = -0.12f;  // ideographic baseline (negative: below)
    float Subscript = 0.14f;     // how far "sub" lowers the baseline
    float Superscript = 0.48f;   // how far "super" raises it
};

struct TShapedGlyph {
    std::uint32_t Face = 0;  // index into the font set
    std::uint32_t Glyph = 0;
    std::uint32_t Cluster = 0;  // index of the cluster's first character in the whole text
    float XAdvance = 0;         // em fractions; y grows upwards as in the font
    float YAdvance = 0;
    float XOffset = 0;
    float YOffset = 0;
};

struct TShapeFeatures {
    bool Kerning = true;
    bool Ligatures = true;  // standard and contextual ligatures
    bool SmallCaps = false;
    std::vector<std::pair<std::string, std::uint32_t>> Extra;  // "font-feature-settings"
};

// A 2 x 3 transform for outlines: x' = x·A + y·C + E, y' = x·B + y·D + F (font units of an em of
// 1, y upwards, in; user space out).
struct TOutlineTransform {
    float A = 1, B = 0, C = 0, D = 1, E = 0, F = 0;
};

// The faces that serve one request: the best match first, then fontconfig's fallbacks, opened on
// demand when a character needs them. Shared and immutable once found; safe across threads.
class TFontSet {
public:
    // The set for Request, cached per request (bounded). Never null: a system without fonts gives
    // a set whose faces draw nothing.
    static std::shared_ptr<const TFontSet> Find(const TFontRequest& Request);

    ~TFontSet();
    TFontSet(const TFontSet&) = delete;
    TFontSet& operator=(const TFontSet&) = delete;

    // Family name of the best match (empty without fonts).
    std::string PrimaryFamily() const;
    // Whether the best match is one of the requested families (not a substitute).
    bool PrimaryIsRequested() const;
    const TFaceMetrics& Metrics(std::uint32_t Face = 0) const;
    // Whether the best match has an optical size axis (its glyphs depend on the font size).
    bool HasOpticalSize() const;
    // The face was chosen for a weight or slant it lacks (the caller may embolden or slant).
    bool NeedsSyntheticBold(std::uint32_t Face) const;
    bool NeedsSyntheticItalic(std::uint32_t Face) const;

    // Shapes Text[Begin, End) as one run of one direction, characters outside as context. Each
    // character takes the first face that has it (marks stay with their base). Glyphs come in
    // visual order (right to left runs reversed).
    std::vector<TShapedGlyph> Shape(std::u32string_view Text, std::size_t Begin, std::size_t End, bool RightToLeft,
                                    bool Vertical, const TShapeFeatures& Features) const;
    // Appends a glyph's outline (closed figures) transformed by M. False for a glyph without one.
    [[nodiscard]] bool AppendOutline(std::uint32_t Face, std::uint32_t Glyph, const TOutlineTransform& M,
                                     std::vector<TOutlinePoint>& Points) const;
    // Advance of a glyph (em fractions), vertical advance when Vertical.
    float GlyphAdvance(std::uint32_t Face, std::uint32_t Glyph, bool Vertical) const;
    // How far above the baseline the top of an upright glyph's vertical advance lies in vertical
    // text (em fractions): the font's own vertical origin, else where the ascent-to-descent box
    // sits centred in the advance.
    float VerticalOrigin(std::uint32_t Face, std::uint32_t Glyph) const;

    struct Impl;

private:
    explicit TFontSet(std::unique_ptr<Impl> Data);
    std::unique_ptr<Impl> FImpl;
};

// The weight CSS chooses among the weights a family has (-1 for none): from 400 to 500 the weight
// itself, then heavier ones up to 500, then lighter ones, then heavier ones; below 400 lighter ones
// first, above 500 heavier ones first.
int ChooseFontWeight(int Desired, std::span<const int> Weights);

// Embedding levels of the Unicode bidirectional algorithm, one per character; odd levels run right
// to left. BaseRightToLeft sets the paragraph direction.
std::vector<std::uint8_t> BidiLevels(std::u32string_view Text, bool BaseRightToLeft);

// Whether a character is drawn upright in vertical text (CJK and other east Asian scripts).
bool IsUprightInVertical(char32_t C);

// Whether a character belongs to a script whose letters join (Arabic, Syriac, N'Ko, Mongolian and
// the like), which letter spacing leaves alone so as not to break the joins.
bool IsCursiveScript(char32_t C);

}  // namespace plumwick
