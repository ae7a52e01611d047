#include "platform/GdiPlusFont.h"

#include <QFont>
#include <QFontDatabase>
#include <QRawFont>
#include <QString>

#include <array>
#include <cmath>
#include <optional>

#include "platform/GdiPlusFontPrivate.h"
#include "platform/GdiPlusPrivate.h"
#include "platform/GuiSession.h"

namespace plumwick {

namespace {

// Qt marks families found in several foundries as "Family [Foundry]".
QString PlainFamily(const QString& family)
{
    qsizetype bracket = family.indexOf(QLatin1String(" ["));
    return bracket > 0 ? family.left(bracket) : family;
}

const QStringList& Families()
{
    // Without an application there are no fonts; the answer is not kept, one may come later.
    static const QStringList none;
    if (!HasGuiApplication()) return none;
    static const QStringList families = [] {
        QStringList list;
        for (const QString& f : QFontDatabase::families()) {
            QString plain = PlainFamily(f);
            if (!list.contains(plain)) list.append(plain);
        }
        return list;
    }();
    return families;
}

// Families that fontconfig serves with a metric-compatible face (same advances, so layouts keep
// their widths); they count as installed when that face is.
constexpr std::pair<const char*, const char*> MetricStandIns[] = {
    {"Arial", "Liberation Sans"},
    {"Helvetica", "Liberation Sans"},
    {"Arial Narrow", "Liberation Sans Narrow"},
    {"Times New Roman", "Liberation Serif"},
    {"Times", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
    {"Courier", "Liberation Mono"},
};

std::optional<QString> ExactName(const QString& wanted)
{
    for (const QString& f : Families())
        if (f.compare(wanted, Qt::CaseInsensitive) == 0) return f;
    return std::nullopt;
}

std::optional<QString> InstalledName(std::string_view name)
{
    QString wanted = QString::fromUtf8(name.data(), qsizetype(name.size()));
    if (wanted.isEmpty()) return std::nullopt;
    if (auto exact = ExactName(wanted)) return exact;
    for (const auto& [alias, family] : MetricStandIns)
        if (wanted.compare(QLatin1String(alias), Qt::CaseInsensitive) == 0) return ExactName(QLatin1String(family));
    return std::nullopt;
}

std::uint16_t ReadU16(const QByteArray& table, int offset)
{
    if (offset + 2 > table.size()) return 0;
    return std::uint16_t((std::uint8_t(table[offset]) << 8) | std::uint8_t(table[offset + 1]));
}

std::int16_t ReadS16(const QByteArray& table, int offset)
{
    return std::int16_t(ReadU16(table, offset));
}

std::unique_ptr<TGPFontFamily> FirstInstalled(std::initializer_list<const char*> names)
{
    for (const char* n : names)
        if (InstalledName(n)) return std::make_unique<TGPFontFamily>(n);
    const QStringList& all = Families();
    return std::make_unique<TGPFontFamily>(all.isEmpty() ? std::string() : all.front().toStdString());
}

}  // namespace

std::vector<std::string> GetInstalledFontFamilies()
{
    std::vector<std::string> out;
    for (const QString& f : Families()) out.push_back(f.toStdString());
    return out;
}

QFont FontFor(const QString& family, int style, double pixelSize)
{
    QFont f(family);
    f.setPixelSize(std::max(1, int(std::lround(pixelSize))));
    f.setWeight((style & FontStyleBold) ? QFont::Bold : QFont::Normal);
    f.setItalic(style & FontStyleItalic);
    f.setUnderline(style & FontStyleUnderline);
    f.setStrikeOut(style & FontStyleStrikeout);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    return f;
}

FaceMetrics FaceMetricsOf(const QString& family, int style)
{
    FaceMetrics m;
    if (!HasGuiApplication()) return m;
    QRawFont raw = QRawFont::fromFont(FontFor(family, style & FontStyleBoldItalic, 2048));
    if (!raw.isValid()) return m;
    m.UnitsPerEm = raw.unitsPerEm() > 0 ? raw.unitsPerEm() : 2048;
    double toUnits = m.UnitsPerEm / raw.pixelSize();
    QByteArray os2 = raw.fontTable("OS/2");
    QByteArray hhea = raw.fontTable("hhea");
    double hheaAscent = ReadS16(hhea, 4), hheaDescent = -ReadS16(hhea, 6), hheaGap = ReadS16(hhea, 8);
    if (os2.size() >= 78) {
        // The Windows metrics are what GDI+ reports as the cell.
        m.Ascent = ReadU16(os2, 74);
        m.Descent = ReadU16(os2, 76);
    } else if (hhea.size() >= 10) {
        m.Ascent = hheaAscent;
        m.Descent = hheaDescent;
    } else {
        m.Ascent = raw.ascent() * toUnits;
        m.Descent = raw.descent() * toUnits;
    }
    m.LineSpacing = std::max(m.Ascent + m.Descent, hheaAscent + hheaDescent + hheaGap);
    m.Valid = true;
    return m;
}

// Family.

struct TGPFontFamily::Impl {
    std::string Name;
    bool Installed = false;
    mutable std::array<std::optional<FaceMetrics>, 4> Metrics;  // by bold/italic bits

    const FaceMetrics& MetricsFor(int style) const
    {
        auto& slot = Metrics[style & FontStyleBoldItalic];
        if (!slot) slot = Installed ? FaceMetricsOf(QString::fromStdString(Name), style) : FaceMetrics{};
        return *slot;
    }
};

TGPFontFamily::TGPFontFamily(std::string_view name) : FImpl(std::make_unique<Impl>())
{
    if (auto installed = InstalledName(name)) {
        FImpl->Name = installed->toStdString();
        FImpl->Installed = true;
    } else {
        FImpl->Name = std::string(name);
        RecordStatus(FontFamilyNotFound);
    }
}

// A copy starts without the original's last error.
TGPFontFamily::TGPFontFamily(const TGPFontFamily& other)  // NOLINT(bugprone-copy-constructor-init)
    : TGPBase(), FImpl(std::make_unique<Impl>(*other.FImpl))
{
}

TGPFontFamily& TGPFontFamily::operator=(const TGPFontFamily& other)
{
    if (this != &other) *FImpl = *other.FImpl;
    return *this;
}

TGPFontFamily::~TGPFontFamily() = default;

std::unique_ptr<TGPFontFamily> TGPFontFamily::Clone() const
{
    return std::make_unique<TGPFontFamily>(*this);
}

std::string TGPFontFamily::GetFamilyName() const
{
    return FImpl->Name;
}
bool TGPFontFamily::IsAvailable() const
{
    return FImpl->Installed;
}

bool TGPFontFamily::IsStyleAvailable(int style) const
{
    return FImpl->Installed && FImpl->MetricsFor(style).Valid;
}

std::uint16_t TGPFontFamily::GetEmHeight(int style) const
{
    const auto& m = FImpl->MetricsFor(style);
    return m.Valid ? std::uint16_t(m.UnitsPerEm) : 0;
}

std::uint16_t TGPFontFamily::GetCellAscent(int style) const
{
    return std::uint16_t(std::lround(FImpl->MetricsFor(style).Ascent));
}

std::uint16_t TGPFontFamily::GetCellDescent(int style) const
{
    return std::uint16_t(std::lround(FImpl->MetricsFor(style).Descent));
}

std::uint16_t TGPFontFamily::GetLineSpacing(int style) const
{
    return std::uint16_t(std::lround(FImpl->MetricsFor(style).LineSpacing));
}

std::unique_ptr<TGPFontFamily> TGPFontFamily::GenericSansSerif()
{
    return FirstInstalled({"Liberation Sans", "Arial", "DejaVu Sans", "Helvetica"});
}

std::unique_ptr<TGPFontFamily> TGPFontFamily::GenericSerif()
{
    return FirstInstalled({"Liberation Serif", "Times New Roman", "DejaVu Serif", "Times"});
}

std::unique_ptr<TGPFontFamily> TGPFontFamily::GenericMonospace()
{
    return FirstInstalled({"Liberation Mono", "Courier New", "DejaVu Sans Mono", "Courier"});
}

const FaceMetrics& FamilyMetrics(const TGPFontFamily& family, int style)
{
    return GdiPlusAccess::Get(family).MetricsFor(style);
}

// Font.

struct TGPFont::Impl {
    // A copy of the caller's family, which starts without its last error.
    explicit Impl(const TGPFontFamily& family) : Family(family) {}
    TGPFontFamily Family;
    float Size = 0;
    int Style = 0;
    Unit SizeUnit = UnitPoint;
    bool Valid = false;
};

double UnitToPixels(Unit unit)
{
    switch (unit) {
        case UnitWorld:
        case UnitPixel:
            return 1.0;
        case UnitPoint:
            return 96.0 / 72.0;
        case UnitInch:
            return 96.0;
        case UnitDocument:
            return 96.0 / 300.0;
        case UnitMillimeter:
            return 96.0 / 25.4;
        default:
            return 0.0;
    }
}

TGPFont::TGPFont(const TGPFontFamily& family, float emSize, int style, Unit unit)
    : FImpl(std::make_unique<Impl>(family))
{
    FImpl->Size = emSize;
    FImpl->Style = style;
    FImpl->SizeUnit = unit;
    if (!family.IsAvailable())
        RecordStatus(FontFamilyNotFound);
    else if (!(emSize > 0) || std::isinf(emSize) || UnitToPixels(unit) == 0)
        RecordStatus(InvalidParameter);
    else
        FImpl->Valid = true;
}

TGPFont::TGPFont(std::string_view familyName, float emSize, int style, Unit unit)
    : TGPFont(TGPFontFamily(familyName), emSize, style, unit)
{
}

TGPFont::~TGPFont() = default;

std::unique_ptr<TGPFont> TGPFont::Clone() const
{
    return std::make_unique<TGPFont>(FImpl->Family, FImpl->Size, FImpl->Style, FImpl->SizeUnit);
}

float TGPFont::GetSize() const
{
    return FImpl->Size;
}
Unit TGPFont::GetUnit() const
{
    return FImpl->SizeUnit;
}
int TGPFont::GetStyle() const
{
    return FImpl->Style;
}

Status TGPFont::GetFamily(TGPFontFamily& family) const
{
    family = FImpl->Family;
    return FImpl->Valid ? Ok : SetStatus(FontFamilyNotFound);
}

bool TGPFont::IsAvailable() const
{
    return FImpl->Valid;
}

float TGPFont::GetEmSizeInPixels() const
{
    return float(FImpl->Size * UnitToPixels(FImpl->SizeUnit));
}

float TGPFont::GetHeight() const
{
    const auto& m = FamilyMetrics(FImpl->Family, FImpl->Style);
    if (!m.Valid || m.UnitsPerEm <= 0) return 0;
    return float(GetEmSizeInPixels() * m.LineSpacing / m.UnitsPerEm);
}

Status TGPFont::GetLogFontW(const TGPGraphics*, TLogFontW& logFont) const
{
    logFont = TLogFontW{};
    if (!FImpl->Valid) return SetStatus(FontFamilyNotFound);
    logFont.lfHeight = -std::int32_t(std::lround(GetEmSizeInPixels()));
    logFont.lfWeight = (FImpl->Style & FontStyleBold) ? 700 : 400;
    logFont.lfItalic = (FImpl->Style & FontStyleItalic) ? 1 : 0;
    logFont.lfUnderline = (FImpl->Style & FontStyleUnderline) ? 1 : 0;
    logFont.lfStrikeOut = (FImpl->Style & FontStyleStrikeout) ? 1 : 0;
    std::u16string face = QString::fromStdString(FImpl->Family.GetFamilyName()).toStdU16String();
    size_t n = std::min<size_t>(face.size(), 31);
    for (size_t i = 0; i < n; ++i) logFont.lfFaceName[i] = face[i];
    return Ok;
}

const TGPFontFamily& FontFamilyOf(const TGPFont& font)
{
    return GdiPlusAccess::Get(font).Family;
}

// String format.

TGPStringFormat::TGPStringFormat(int formatFlags, int language) : FFlags(formatFlags), FLanguage(language) {}

// A copy starts without the original's last error.
TGPStringFormat::TGPStringFormat(const TGPStringFormat& other)  // NOLINT(bugprone-copy-constructor-init)
    : TGPBase(),
      FFlags(other.FFlags),
      FLanguage(other.FLanguage),
      FAlignment(other.FAlignment),
      FLineAlignment(other.FLineAlignment),
      FTypographic(other.FTypographic)
{
}

const TGPStringFormat* TGPStringFormat::GenericTypographic()
{
    static const TGPStringFormat format = [] {
        TGPStringFormat f(StringFormatFlagsNoWrap | StringFormatFlagsLineLimit | StringFormatFlagsNoClip);
        f.FTypographic = true;
        return f;
    }();
    return &format;
}

const TGPStringFormat* TGPStringFormat::GenericDefault()
{
    static const TGPStringFormat format;
    return &format;
}

std::unique_ptr<TGPStringFormat> TGPStringFormat::Clone() const
{
    return std::make_unique<TGPStringFormat>(*this);
}

Status TGPStringFormat::SetFormatFlags(int flags)
{
    FFlags = flags;
    return Ok;
}

Status TGPStringFormat::SetAlignment(StringAlignment align)
{
    if (align < StringAlignmentNear || align > StringAlignmentFar) return SetStatus(InvalidParameter);
    FAlignment = align;
    return Ok;
}

Status TGPStringFormat::SetLineAlignment(StringAlignment align)
{
    if (align < StringAlignmentNear || align > StringAlignmentFar) return SetStatus(InvalidParameter);
    FLineAlignment = align;
    return Ok;
}

// Glyph metrics.

struct TGPFontMetrics::Impl {
    QRawFont Raw;
    float EmSize = 0;
    FaceMetrics Face;

    quint32 Glyph(char32_t ch) const
    {
        QString s = QString::fromUcs4(&ch, 1);
        QList<quint32> glyphs = Raw.glyphIndexesForString(s);
        return glyphs.isEmpty() ? 0 : glyphs.front();
    }
};

TGPFontMetrics::TGPFontMetrics(const TGPFontFamily& family, int style, float emSize) : FImpl(std::make_unique<Impl>())
{
    FImpl->EmSize = emSize;
    if (!family.IsAvailable()) {
        RecordStatus(FontFamilyNotFound);
        return;
    }
    if (!(emSize > 0) || std::isinf(emSize)) {
        RecordStatus(InvalidParameter);
        return;
    }
    QFont f = FontFor(QString::fromStdString(family.GetFamilyName()), style & FontStyleBoldItalic, 2048);
    FImpl->Raw = QRawFont::fromFont(f);
    if (!FImpl->Raw.isValid()) {
        RecordStatus(FontStyleNotFound);
        return;
    }
    FImpl->Raw.setPixelSize(emSize);
    FImpl->Face = FamilyMetrics(family, style);
}

TGPFontMetrics::~TGPFontMetrics() = default;

float TGPFontMetrics::GetEmSize() const
{
    return FImpl->EmSize;
}

namespace {
float Scaled(const FaceMetrics& m, double units, float em)
{
    return m.Valid && m.UnitsPerEm > 0 ? float(units * em / m.UnitsPerEm) : 0.0f;
}
}  // namespace

float TGPFontMetrics::GetAscent() const
{
    return Scaled(FImpl->Face, FImpl->Face.Ascent, FImpl->EmSize);
}
float TGPFontMetrics::GetDescent() const
{
    return Scaled(FImpl->Face, FImpl->Face.Descent, FImpl->EmSize);
}
float TGPFontMetrics::GetLineSpacing() const
{
    return Scaled(FImpl->Face, FImpl->Face.LineSpacing, FImpl->EmSize);
}

bool TGPFontMetrics::HasGlyph(char32_t ch) const
{
    return FImpl->Raw.isValid() && FImpl->Glyph(ch) != 0;
}

float TGPFontMetrics::GetAdvance(char32_t ch) const
{
    if (!FImpl->Raw.isValid()) return -1;
    quint32 g = FImpl->Glyph(ch);
    if (g == 0) return -1;
    QList<QPointF> adv = FImpl->Raw.advancesForGlyphIndexes(QList<quint32>{g}, QRawFont::SeparateAdvances);
    return adv.isEmpty() ? -1.0f : float(adv.front().x());
}

float TGPFontMetrics::GetKerning(char32_t first, char32_t second) const
{
    if (!FImpl->Raw.isValid()) return 0;
    quint32 a = FImpl->Glyph(first), b = FImpl->Glyph(second);
    if (a == 0 || b == 0) return 0;
    QList<quint32> pair{a, b};
    QList<QPointF> plain = FImpl->Raw.advancesForGlyphIndexes(pair, QRawFont::SeparateAdvances);
    QList<QPointF> kerned = FImpl->Raw.advancesForGlyphIndexes(pair, QRawFont::KernedAdvances);
    if (plain.isEmpty() || kerned.isEmpty()) return 0;
    return float(kerned.front().x() - plain.front().x());
}

}  // namespace plumwick
