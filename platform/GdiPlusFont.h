// Font families, fonts, string formats and glyph metrics for text layout.
// Fonts need a GUI application object (platform/GuiSession.h); without one no family is installed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/GdiPlusTypes.h"

namespace plumwick {

// The families that are installed (fontconfig's own names, no substitutes).
std::vector<std::string> GetInstalledFontFamilies();

// The part of a GDI font description that callers compare and create fonts from.
struct TLogFontW {
    std::int32_t lfHeight = 0;  // negative: em height in pixels
    std::int32_t lfWidth = 0;
    std::int32_t lfEscapement = 0;
    std::int32_t lfOrientation = 0;
    std::int32_t lfWeight = 400;  // 400 normal, 700 bold
    std::uint8_t lfItalic = 0;
    std::uint8_t lfUnderline = 0;
    std::uint8_t lfStrikeOut = 0;
    std::uint8_t lfCharSet = 1;
    std::uint8_t lfOutPrecision = 0;
    std::uint8_t lfClipPrecision = 0;
    std::uint8_t lfQuality = 0;
    std::uint8_t lfPitchAndFamily = 0;
    char16_t lfFaceName[32] = {};  // zero-terminated family name, cut to 31 code units
};

class TGPFontFamily : public TGPBase {
public:
    // Status Ok only for an installed family (compared without regard to case);
    // FontFamilyNotFound otherwise.
    explicit TGPFontFamily(std::string_view name);
    TGPFontFamily(const TGPFontFamily& other);
    TGPFontFamily& operator=(const TGPFontFamily& other);
    ~TGPFontFamily();

    std::unique_ptr<TGPFontFamily> Clone() const;
    // The installed family's name (as fontconfig spells it), or the name asked for.
    std::string GetFamilyName() const;
    bool IsAvailable() const;
    bool IsStyleAvailable(int style) const;

    // Design units of the face: units per em (2048 for most TrueType fonts), ascent, descent and
    // line spacing in those units. 0 for a family that is not installed.
    std::uint16_t GetEmHeight(int style) const;
    std::uint16_t GetCellAscent(int style) const;
    std::uint16_t GetCellDescent(int style) const;
    std::uint16_t GetLineSpacing(int style) const;

    static std::unique_ptr<TGPFontFamily> GenericSansSerif();
    static std::unique_ptr<TGPFontFamily> GenericSerif();
    static std::unique_ptr<TGPFontFamily> GenericMonospace();

public:
    struct Impl;  // defined by the platform sources

private:
    friend struct GdiPlusAccess;
    std::unique_ptr<Impl> FImpl;
};

class TGPFont : public TGPBase {
public:
    // emSize in the unit (UnitWorld and UnitPixel: pixels at 96 dpi; UnitPoint: 1/72 inch).
    // Fails with FontFamilyNotFound for a family that is not installed, InvalidParameter for a
    // size that is not positive or a unit of display.
    TGPFont(const TGPFontFamily& family, float emSize, int style = FontStyleRegular, Unit unit = UnitPoint);
    TGPFont(std::string_view familyName, float emSize, int style = FontStyleRegular, Unit unit = UnitPoint);
    ~TGPFont();
    TGPFont(const TGPFont&) = delete;
    TGPFont& operator=(const TGPFont&) = delete;

    std::unique_ptr<TGPFont> Clone() const;
    float GetSize() const;
    Unit GetUnit() const;
    int GetStyle() const;
    Status GetFamily(TGPFontFamily& family) const;
    bool IsAvailable() const;
    // Em size in pixels at 96 dpi.
    float GetEmSizeInPixels() const;
    // Line spacing in pixels at 96 dpi.
    float GetHeight() const;
    // The GDI description: face name, weight, italic, underline, strike-out, lfHeight = −em size
    // in pixels (rounded). The graphics argument is accepted for the GDI+ shape and may be null.
    Status GetLogFontW(const TGPGraphics* graphics, TLogFontW& logFont) const;

public:
    struct Impl;  // defined by the platform sources

private:
    friend struct GdiPlusAccess;
    std::unique_ptr<Impl> FImpl;
};

class TGPStringFormat : public TGPBase {
public:
    explicit TGPStringFormat(int formatFlags = 0, int language = LANG_NEUTRAL);
    TGPStringFormat(const TGPStringFormat& other);
    TGPStringFormat& operator=(const TGPStringFormat& other) = default;

    // The typographic format: no padding around the text, no wrapping, no clipping.
    static const TGPStringFormat* GenericTypographic();
    static const TGPStringFormat* GenericDefault();
    std::unique_ptr<TGPStringFormat> Clone() const;

    Status SetFormatFlags(int flags);
    int GetFormatFlags() const { return FFlags; }
    Status SetAlignment(StringAlignment align);
    StringAlignment GetAlignment() const { return FAlignment; }
    Status SetLineAlignment(StringAlignment align);
    StringAlignment GetLineAlignment() const { return FLineAlignment; }
    int GetLanguage() const { return FLanguage; }
    // True for the generic typographic format and its copies (no extra padding when measuring).
    bool IsTypographic() const { return FTypographic; }

private:
    int FFlags = 0;
    int FLanguage = LANG_NEUTRAL;
    StringAlignment FAlignment = StringAlignmentNear;
    StringAlignment FLineAlignment = StringAlignmentNear;
    bool FTypographic = false;
};

// Glyph metrics of one face at one em size, for callers that place characters themselves
// (the measuring context that stands in for a screen device context with a font selected).
class TGPFontMetrics : public TGPBase {
public:
    // FontFamilyNotFound when the family is not installed; InvalidParameter for emSize <= 0.
    TGPFontMetrics(const TGPFontFamily& family, int style, float emSize);
    ~TGPFontMetrics();
    TGPFontMetrics(const TGPFontMetrics&) = delete;
    TGPFontMetrics& operator=(const TGPFontMetrics&) = delete;

    float GetEmSize() const;
    float GetAscent() const;
    float GetDescent() const;
    float GetLineSpacing() const;
    // Whether the face has a glyph for the character.
    bool HasGlyph(char32_t ch) const;
    // Advance width of the character's glyph; -1 when the face has no glyph for it.
    float GetAdvance(char32_t ch) const;
    // Kerning adjustment between two characters (negative: closer); 0 when there is none.
    float GetKerning(char32_t first, char32_t second) const;

public:
    struct Impl;  // defined by the platform sources

private:
    std::unique_ptr<Impl> FImpl;
};

}  // namespace plumwick
