#include "gdip/GDIPKerning.h"

#include <algorithm>

#include "platform/FontOutline.h"
#include "platform/GdiPlus.h"

namespace plumwick {

std::u32string Utf8ToUcs4(std::string_view Text)
{
    std::u32string out;
    out.reserve(Text.size());
    const auto* s = reinterpret_cast<const unsigned char*>(Text.data());
    const std::size_t n = Text.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = s[i];
        if (c == 0) break;
        int extra = 0;
        char32_t cp = 0;
        char32_t least = 0;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1, cp = c & 0x1F, least = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, cp = c & 0x0F, least = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, cp = c & 0x07, least = 0x10000;
        } else {
            out.push_back(U'\uFFFD');
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        for (; j < n && j <= i + static_cast<std::size_t>(extra) && (s[j] & 0xC0) == 0x80; ++j)
            cp = (cp << 6) | (s[j] & 0x3F);
        if (j != i + 1 + static_cast<std::size_t>(extra) || cp < least || cp > 0x10FFFF ||
            (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(U'\uFFFD');
            i = j > i + 1 ? j : i + 1;
            continue;
        }
        out.push_back(cp);
        i = j;
    }
    return out;
}

std::string Ucs4ToUtf8(std::u32string_view Text)
{
    std::string out;
    out.reserve(Text.size());
    for (char32_t cp : Text) {
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = U'\uFFFD';
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

namespace {

// Faces kept open at once; documents rarely use more, and each holds its own pair cache.
constexpr std::size_t MaxOpenFaces = 8;
// Pairs cached per face before the cache starts afresh (bounds memory for huge texts).
constexpr std::size_t MaxCachedPairs = 1u << 20;

std::uint64_t PairKey(char32_t First, char32_t Second)
{
    return (static_cast<std::uint64_t>(First) << 32) | Second;
}

// Keeps the current font "held" (metrics may be read) for one operation, released on every exit.
template <class Release>
class TScopeExit {
public:
    explicit TScopeExit(Release R) : FRelease(R) {}
    ~TScopeExit() { FRelease(); }
    TScopeExit(const TScopeExit&) = delete;
    TScopeExit& operator=(const TScopeExit&) = delete;

private:
    Release FRelease;
};

}  // namespace

struct TGPKerningText::TFontEntry {
    std::string Family;  // the family name asked for
    bool Bold = false;
    bool Italic = false;
    std::unique_ptr<TFontOutline> Outline;  // null when the family is not installed
    std::unordered_map<std::uint64_t, TKerningCacheEntry> Cache;
};

TGPKerningText::TGPKerningText() = default;

TGPKerningText::~TGPKerningText()
{
    ReleaseAll();
}

std::size_t TGPKerningText::CacheCount() const
{
    return FCurrent ? FCurrent->Cache.size() : 0;
}

void TGPKerningText::LoadFontMetrics(const std::string& Family, int Style, float Size)
{
    const bool bold = (Style & FontStyleBold) != 0;
    const bool italic = (Style & FontStyleItalic) != 0;
    FFontSizeFactor = static_cast<double>(Size) / TFontOutline::EmHeight;
    for (std::size_t i = 0; i < FFonts.size(); ++i) {
        TFontEntry& e = *FFonts[i];
        if (e.Family == Family && e.Bold == bold && e.Italic == italic) {
            if (i != 0)
                std::rotate(FFonts.begin(), FFonts.begin() + static_cast<std::ptrdiff_t>(i),
                            FFonts.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            FCurrent = FFonts.front().get();
            FHeld = FCurrent->Outline != nullptr;
            return;
        }
    }
    auto entry = std::make_unique<TFontEntry>();
    entry->Family = Family;
    entry->Bold = bold;
    entry->Italic = italic;
    entry->Outline = TFontOutline::Open(Family, bold, italic);
    ++FMetricsLoads;
    if (FFonts.size() >= MaxOpenFaces) FFonts.pop_back();
    FFonts.insert(FFonts.begin(), std::move(entry));
    FCurrent = FFonts.front().get();
    FHeld = FCurrent->Outline != nullptr;
}

void TGPKerningText::LoadFontMetrics(const TGPFont& Font, bool UseEmSize)
{
    TGPFontFamily family("");
    // A font that failed still gives its family; loading copes with a family that is not installed.
    IgnoreStatus(Font.GetFamily(family));
    float size = Font.GetSize();
    const Unit unit = Font.GetUnit();
    // Drawing directly takes the font's size in pixels; measuring always counts in em units.
    if (!UseEmSize && unit != UnitWorld && unit != UnitPixel) size = Font.GetEmSizeInPixels();
    LoadFontMetrics(family.GetFamilyName(), Font.GetStyle(), size);
}

void TGPKerningText::ReleaseFontDC()
{
    FHeld = false;
}

void TGPKerningText::ReleaseAll()
{
    ReleaseFontDC();
    FCurrent = nullptr;
    FFonts.clear();
    FGPFont.reset();
}

const TGPKerningText::TKerningCacheEntry* TGPKerningText::FindCacheEntry(char32_t First, char32_t Second)
{
    if (FCurrent == nullptr) return nullptr;
    const std::uint64_t key = PairKey(First, Second);
    auto it = FCurrent->Cache.find(key);
    if (it != FCurrent->Cache.end()) return &it->second;
    if (!FHeld || FCurrent->Outline == nullptr) return nullptr;
    const TFontOutline& font = *FCurrent->Outline;
    if (FCurrent->Cache.size() >= MaxCachedPairs) FCurrent->Cache.clear();
    TKerningCacheEntry entry{font.Advance(First), Second == 0 ? 0.0f : font.KernAmount(First, Second)};
    return &FCurrent->Cache.emplace(key, entry).first->second;
}

float TGPKerningText::GetCachedWidth(const TKerningCacheEntry& Entry, float DistanceFactor, float KerningFactor) const
{
    const float units = Entry.CellWidth * DistanceFactor + Entry.KernAmount * KerningFactor;
    return static_cast<float>(units * FFontSizeFactor);
}

float TGPKerningText::GetCellWidth(char32_t First, char32_t Second, float DistanceFactor, float KerningFactor)
{
    const TKerningCacheEntry* entry = FindCacheEntry(First, Second);
    if (entry == nullptr) return -1;
    return GetCachedWidth(*entry, DistanceFactor, KerningFactor);
}

float TGPKerningText::Advance(std::u32string_view Text, std::size_t Index, float DistanceFactor, float KerningFactor,
                              TTextSpacing Spacing)
{
    float advance =
        GetCellWidth(Text[Index], Index + 1 < Text.size() ? Text[Index + 1] : U'\0', DistanceFactor, KerningFactor);
    if (Spacing.Letter != 0 || Spacing.Word != 0) advance += Spacing.Letter + (Text[Index] == U' ' ? Spacing.Word : 0);
    return advance;
}

float TGPKerningText::Measure(std::u32string_view Text, float DistanceFactor, float KerningFactor, TTextSpacing Spacing)
{
    float width = 0;
    for (std::size_t i = 0; i < Text.size(); ++i) width += Advance(Text, i, DistanceFactor, KerningFactor, Spacing);
    return width;
}

float TGPKerningText::MeasureText(std::string_view Text, const TGPFont& Font, float DistanceFactor, float KerningFactor,
                                  TTextSpacing Spacing)
{
    const std::u32string chars = Utf8ToUcs4(Text);
    if (chars.empty()) return 0;
    TScopeExit release([this] { ReleaseFontDC(); });
    LoadFontMetrics(Font, true);
    return Measure(chars, DistanceFactor, KerningFactor, Spacing);
}

Status TGPKerningText::AddChar(TGPGraphicsPath& Path, char32_t C, const TGPFontFamily& Family, int Style, float Size,
                               const TGPPointF& Point, const TGPStringFormat* Format)
{
    return Path.AddString(Ucs4ToUtf8(std::u32string_view(&C, 1)), Family, Style, Size, Point, Format);
}

Status TGPKerningText::AddToPath(TGPGraphicsPath& Path, TGPGraphicsPath* UPath, TGPGraphicsPath* SPath,
                                 std::string_view Text, const TGPFontFamily& Family, int Style, float Size,
                                 const TGPPointF& Origin, const TGPStringFormat* Format, float DistanceFactor,
                                 float KerningFactor, TTextSpacing Spacing)
{
    const std::u32string chars = Utf8ToUcs4(Text);
    if (chars.empty()) return Ok;
    const bool underline = (Style & FontStyleUnderline) != 0;
    const bool strikeOut = (Style & FontStyleStrikeout) != 0;
    // The decorations are drawn here as rectangles, never by the font itself.
    Style &= ~(FontStyleUnderline | FontStyleStrikeout);

    Status status = Ok;
    Status decoration = Ok;  // the first failure of a decoration rectangle
    float width = 0;
    {
        TScopeExit release([this] { ReleaseFontDC(); });
        LoadFontMetrics(Family.GetFamilyName(), Style, Size);
        if (underline || strikeOut)
            width = Measure(chars, DistanceFactor, KerningFactor, Spacing);  // also fills the cache for the loop
        if (strikeOut && SPath != nullptr) {
            IgnoreStatus(SPath->SetFillMode(FillModeWinding));
            decoration = SPath->AddRectangle(Origin.X, Origin.Y + Size / 2, width, Size / 10);
        }
        TGPPointF point = Origin;
        for (std::size_t i = 0; i < chars.size(); ++i) {
            status = AddChar(Path, chars[i], Family, Style, Size, point, Format);
            if (status != Ok) break;
            point.X += Advance(chars, i, DistanceFactor, KerningFactor, Spacing);
        }
    }
    if (underline && UPath != nullptr) {
        IgnoreStatus(UPath->SetFillMode(FillModeWinding));
        const Status s = UPath->AddRectangle(Origin.X, Origin.Y + Size, width, Size / 10);
        if (decoration == Ok) decoration = s;
    }
    return status != Ok ? status : decoration;
}

Status TGPKerningText::AddToPath(TGPGraphicsPath& Path, std::string_view Text, const TGPFontFamily& Family, int Style,
                                 float Size, const TGPPointF& Origin, const TGPStringFormat* Format,
                                 float DistanceFactor, float KerningFactor)
{
    return AddToPath(Path, &Path, &Path, Text, Family, Style, Size, Origin, Format, DistanceFactor, KerningFactor);
}

Status TGPKerningText::AddToPath(TGPGraphicsPath& Path, TGPGraphicsPath* UPath, TGPGraphicsPath* SPath,
                                 std::string_view Text, const TGPFontFamily& Family, int Style, float Size,
                                 const TGPPoint& Origin, const TGPStringFormat* Format, float DistanceFactor,
                                 float KerningFactor)
{
    const TGPPointF origin{static_cast<float>(Origin.X), static_cast<float>(Origin.Y)};
    return AddToPath(Path, UPath, SPath, Text, Family, Style, Size, origin, Format, DistanceFactor, KerningFactor);
}

Status TGPKerningText::AddToPath(TGPGraphicsPath& Path, std::string_view Text, const TGPFontFamily& Family, int Style,
                                 float Size, const TGPPoint& Origin, const TGPStringFormat* Format,
                                 float DistanceFactor, float KerningFactor)
{
    return AddToPath(Path, &Path, &Path, Text, Family, Style, Size, Origin, Format, DistanceFactor, KerningFactor);
}

Status TGPKerningText::AddToGraphics(TGPGraphics& Graphics, std::string_view Text, const TGPFont& Font,
                                     const TGPPointF& Origin, const TGPStringFormat* Format, const TGPBrush& Brush,
                                     float DistanceFactor, float KerningFactor)
{
    const std::u32string chars = Utf8ToUcs4(Text);
    if (chars.empty()) return Ok;
    TScopeExit release([this] { ReleaseFontDC(); });
    LoadFontMetrics(Font, false);
    Status status = Ok;
    TGPPointF point = Origin;
    for (std::size_t i = 0; i < chars.size(); ++i) {
        status = Graphics.DrawString(Ucs4ToUtf8(std::u32string_view(&chars[i], 1)), &Font, point, Format, &Brush);
        if (status != Ok) break;
        point.X += GetCellWidth(chars[i], i + 1 < chars.size() ? chars[i + 1] : U'\0', DistanceFactor, KerningFactor);
    }
    return status;
}

Status TGPKerningText::AddToGraphics(TGPGraphics& Graphics, std::string_view Text, const TGPFont& Font,
                                     const TGPPoint& Origin, const TGPStringFormat* Format, const TGPBrush& Brush,
                                     float DistanceFactor, float KerningFactor)
{
    const TGPPointF origin{static_cast<float>(Origin.X), static_cast<float>(Origin.Y)};
    return AddToGraphics(Graphics, Text, Font, origin, Format, Brush, DistanceFactor, KerningFactor);
}

void TGPKerningText::Prepare(const TGPFontFamily& Family, int Style, float Size, const TGPStringFormat*)
{
    FGPFont = std::make_unique<TGPFont>(Family, Size, Style, UnitPoint);
    LoadFontMetrics(Family.GetFamilyName(), Style, Size);
}

void TGPKerningText::Unprepare()
{
    ReleaseFontDC();
    FGPFont.reset();
}

TGPKerningText& GetKerningText()
{
    thread_local TGPKerningText instance;
    return instance;
}

}  // namespace plumwick
