#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace plumwick {

// One point of a glyph outline. Types follow the graphics path's point types: 0 starts a figure,
// 1 is a line end, 3 a cubic Bezier point (two controls, then the end); 0x80 closes the figure.
struct TOutlinePoint {
    float X = 0;
    float Y = 0;
    std::uint8_t Type = 0;
};

enum : std::uint8_t {
    OutlinePointStart = 0,
    OutlinePointLine = 1,
    OutlinePointBezier = 3,
    OutlinePointClose = 0x80,
};

// A font face opened at an em height of 1000 units, for metrics, kerning and glyph outlines.
// Characters the face lacks are taken from a fallback face chosen by the font system (so CJK text
// set in a Latin family still gets glyphs). One object is not safe for concurrent use; open one per
// thread.
class TFontOutline {
public:
    static constexpr float EmHeight = 1000.0f;

    // The installed family that serves Name, as the graphics layer's font families decide: Name
    // itself when installed (case-insensitive, as font names are), or the metric-compatible face
    // fontconfig serves for it (Liberation Sans for Arial and Helvetica, Liberation Serif for Times
    // New Roman, Liberation Mono for Courier New) when that one is installed; otherwise empty.
    static std::string InstalledFamily(std::string_view Name);
    static bool IsInstalled(std::string_view Name) { return !InstalledFamily(Name).empty(); }

    // Opens a face of an installed family; null when Name is not installed.
    static std::unique_ptr<TFontOutline> Open(std::string_view Name, bool Bold, bool Italic);

    ~TFontOutline();
    TFontOutline(const TFontOutline&) = delete;
    TFontOutline& operator=(const TFontOutline&) = delete;

    const std::string& Family() const;  // the installed family actually used
    bool Bold() const;
    bool Italic() const;

    // Vertical metrics in units of an em of 1000, positive distances from the baseline.
    float Ascent() const;
    float Descent() const;
    float LineSpacing() const;        // ascent + descent + leading
    float XHeight() const;            // height of the lower-case x above the baseline
    float UnderlinePosition() const;  // below the baseline
    float LineThickness() const;

    // Plain advance of one character, em 1000 units; fallback face for characters this one lacks.
    float Advance(char32_t C) const;
    // Kerning correction of the pair (First, Second), em 1000 units; 0 without a pair or when either
    // character comes from a fallback face.
    float KernAmount(char32_t First, char32_t Second) const;
    // Appends the outline of C scaled by Scale (em size / 1000) with its baseline start at
    // (OriginX, BaselineY), y growing downwards. False when the character has no glyph at all.
    [[nodiscard]] bool AppendOutline(char32_t C, float OriginX, float BaselineY, float Scale,
                                     std::vector<TOutlinePoint>& Points) const;

    // Number of faces opened in this process so far (lets callers verify their caches).
    static std::uint64_t OpenCount();

    struct Impl;

private:
    explicit TFontOutline(std::unique_ptr<Impl> Data);
    std::unique_ptr<Impl> FImpl;
};

}  // namespace plumwick
