#pragma once

// Text laid out character by character with the font's own advances and kerning pairs. The graphics
// library only ever sets single characters; this class decides all spacing.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/GdiPlusTypes.h"

namespace plumwick {

class TFontOutline;

// Decodes UTF-8 into code points; malformed sequences become U+FFFD, a NUL ends the text (as the
// layout ends at its first terminating character).
std::u32string Utf8ToUcs4(std::string_view Text);
std::string Ucs4ToUtf8(std::u32string_view Text);

// Extra room after every character (letter spacing) and after every blank (word spacing), in the
// units of the font size; 0 by default.
struct TTextSpacing {
    float Letter = 0;
    float Word = 0;
};

class TGPKerningText {
public:
    TGPKerningText();
    ~TGPKerningText();
    TGPKerningText(const TGPKerningText&) = delete;
    TGPKerningText& operator=(const TGPKerningText&) = delete;

    // Advance from First to Second in the current font (the one of the running operation or of
    // Prepare): (plain advance * DistanceFactor + kerning * KerningFactor) scaled to the font size.
    // -1 when no font is current. Second = 0 gives the plain advance.
    float GetCellWidth(char32_t First, char32_t Second, float DistanceFactor = 1, float KerningFactor = 1);

    // Kerned width of a whole text in Font (0 for an empty text).
    float MeasureText(std::string_view Text, const TGPFont& Font, float DistanceFactor = 1, float KerningFactor = 1,
                      TTextSpacing Spacing = {});

    // Adds each character's outline to Path at its kerned position; with the underline (4) or
    // strike-out (8) style bit, a rectangle as wide as the measured text goes to UPath (top at
    // Origin.Y + Size) or SPath (top at Origin.Y + Size / 2), Size / 10 high. Origin is the top of
    // the text cell. Returns the status of the last character added.
    Status AddToPath(TGPGraphicsPath& Path, TGPGraphicsPath* UPath, TGPGraphicsPath* SPath, std::string_view Text,
                     const TGPFontFamily& Family, int Style, float Size, const TGPPointF& Origin,
                     const TGPStringFormat* Format, float DistanceFactor = 1, float KerningFactor = 1,
                     TTextSpacing Spacing = {});
    // The same with Path also receiving the decoration rectangles.
    Status AddToPath(TGPGraphicsPath& Path, std::string_view Text, const TGPFontFamily& Family, int Style, float Size,
                     const TGPPointF& Origin, const TGPStringFormat* Format, float DistanceFactor = 1,
                     float KerningFactor = 1);
    Status AddToPath(TGPGraphicsPath& Path, TGPGraphicsPath* UPath, TGPGraphicsPath* SPath, std::string_view Text,
                     const TGPFontFamily& Family, int Style, float Size, const TGPPoint& Origin,
                     const TGPStringFormat* Format, float DistanceFactor = 1, float KerningFactor = 1);
    Status AddToPath(TGPGraphicsPath& Path, std::string_view Text, const TGPFontFamily& Family, int Style, float Size,
                     const TGPPoint& Origin, const TGPStringFormat* Format, float DistanceFactor = 1,
                     float KerningFactor = 1);

    // Draws the kerned text directly with Brush.
    Status AddToGraphics(TGPGraphics& Graphics, std::string_view Text, const TGPFont& Font, const TGPPointF& Origin,
                         const TGPStringFormat* Format, const TGPBrush& Brush, float DistanceFactor = 1,
                         float KerningFactor = 1);
    Status AddToGraphics(TGPGraphics& Graphics, std::string_view Text, const TGPFont& Font, const TGPPoint& Origin,
                         const TGPStringFormat* Format, const TGPBrush& Brush, float DistanceFactor = 1,
                         float KerningFactor = 1);

    // Holds a font current across many GetCellWidth calls (text along a path). Format is not used.
    void Prepare(const TGPFontFamily& Family, int Style, float Size, const TGPStringFormat* Format);
    void Unprepare();

    // How many times font metrics were loaded by this object (a change of face, weight or italic).
    std::uint64_t MetricsLoads() const { return FMetricsLoads; }
    // Number of (first, second) pairs cached for the current font.
    std::size_t CacheCount() const;

private:
    struct TKerningCacheEntry {
        float CellWidth = 0;   // plain advance of the first character, em 1000
        float KernAmount = 0;  // kerning of the pair, em 1000
    };
    struct TFontEntry;

    // Selects the face; one that cannot be opened is held as nothing, which the glyph lookups see.
    void LoadFontMetrics(const std::string& Family, int Style, float Size);
    void LoadFontMetrics(const TGPFont& Font, bool UseEmSize);
    void ReleaseFontDC();
    void ReleaseAll();
    const TKerningCacheEntry* FindCacheEntry(char32_t First, char32_t Second);
    float GetCachedWidth(const TKerningCacheEntry& Entry, float DistanceFactor, float KerningFactor) const;
    float Measure(std::u32string_view Text, float DistanceFactor, float KerningFactor, TTextSpacing Spacing);
    // Advance from the character at Index to the next one, spacing included.
    float Advance(std::u32string_view Text, std::size_t Index, float DistanceFactor, float KerningFactor,
                  TTextSpacing Spacing);
    Status AddChar(TGPGraphicsPath& Path, char32_t C, const TGPFontFamily& Family, int Style, float Size,
                   const TGPPointF& Point, const TGPStringFormat* Format);

    std::vector<std::unique_ptr<TFontEntry>> FFonts;  // faces loaded so far, most recent first
    TFontEntry* FCurrent = nullptr;                   // the face of the running operation
    bool FHeld = false;                               // metrics of FCurrent may be read (a running operation)
    double FFontSizeFactor = 0;                       // em 1000 units to the current size
    std::uint64_t FMetricsLoads = 0;
    std::unique_ptr<TGPFont> FGPFont;  // font of Prepare
};

// The shared kerning object. Each thread gets its own instance, so documents may render on several
// threads without locking; it is created on first use and freed when its thread ends.
TGPKerningText& GetKerningText();

}  // namespace plumwick
