#include "platform/FontOutline.h"

#include "platform/GdiPlusFont.h"

#include <QFont>
#include <QGlyphRun>
#include <QPainterPath>
#include <QRawFont>
#include <QTextLayout>

#include <atomic>
#include <unordered_map>

namespace plumwick {

namespace {

std::atomic<std::uint64_t> GOpenCount{0};

QString FromUcs4(char32_t C)
{
    return QString::fromUcs4(&C, 1);
}

}  // namespace

struct TFontOutline::Impl {
    std::string Family;
    bool Bold = false;
    bool Italic = false;
    QRawFont Raw;
    QFont Merging;  // the same face with font merging on, to find fallback faces

    struct TGlyph {
        QRawFont Font;
        quint32 Index = 0;
        bool Found = false;
        bool Primary = false;
    };
    mutable std::unordered_map<char32_t, TGlyph> Glyphs;

    const TGlyph& Glyph(char32_t C) const
    {
        auto it = Glyphs.find(C);
        if (it != Glyphs.end()) return it->second;
        TGlyph g;
        const QString s = FromUcs4(C);
        if (Raw.supportsCharacter(static_cast<uint>(C))) {
            const QList<quint32> idx = Raw.glyphIndexesForString(s);
            if (!idx.isEmpty()) {
                g = {Raw, idx.first(), true, true};
            }
        }
        if (!g.Found && C >= 32) {
            QTextLayout layout(s, Merging);
            layout.beginLayout();
            layout.createLine();
            layout.endLayout();
            for (const QGlyphRun& run : layout.glyphRuns()) {
                const QList<quint32> idx = run.glyphIndexes();
                if (!idx.isEmpty() && idx.first() != 0 && run.rawFont().isValid()) {
                    QRawFont f = run.rawFont();
                    f.setPixelSize(EmHeight);
                    g = {f, idx.first(), true, false};
                    break;
                }
            }
        }
        if (!g.Found) g = {Raw, 0, false, true};    // the face's default glyph, as a missing character gets
        if (Glyphs.size() > 65536) Glyphs.clear();  // bounded: texts may use any number of distinct characters
        return Glyphs.emplace(C, std::move(g)).first->second;
    }
};

TFontOutline::TFontOutline(std::unique_ptr<Impl> Data) : FImpl(std::move(Data)) {}
TFontOutline::~TFontOutline() = default;

std::string TFontOutline::InstalledFamily(std::string_view Name)
{
    // One rule for the whole renderer: the graphics layer's font families decide what is installed.
    const TGPFontFamily family(Name);
    return family.GetLastStatus() == Ok ? family.GetFamilyName() : std::string();
}

std::unique_ptr<TFontOutline> TFontOutline::Open(std::string_view Name, bool Bold, bool Italic)
{
    const std::string family = InstalledFamily(Name);
    if (family.empty()) return nullptr;
    QFont font(QString::fromStdString(family));
    font.setPixelSize(static_cast<int>(EmHeight));
    font.setWeight(Bold ? QFont::Bold : QFont::Normal);
    font.setItalic(Italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(true);
    QFont primary = font;
    primary.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::PreferOutline));
    QRawFont raw = QRawFont::fromFont(primary);
    if (!raw.isValid()) return nullptr;
    auto data = std::make_unique<Impl>();
    data->Family = family;
    data->Bold = Bold;
    data->Italic = Italic;
    data->Raw = raw;
    data->Merging = font;
    ++GOpenCount;
    return std::unique_ptr<TFontOutline>(new TFontOutline(std::move(data)));
}

const std::string& TFontOutline::Family() const
{
    return FImpl->Family;
}
bool TFontOutline::Bold() const
{
    return FImpl->Bold;
}
bool TFontOutline::Italic() const
{
    return FImpl->Italic;
}
float TFontOutline::Ascent() const
{
    return static_cast<float>(FImpl->Raw.ascent());
}
float TFontOutline::Descent() const
{
    return static_cast<float>(FImpl->Raw.descent());
}
float TFontOutline::LineSpacing() const
{
    return static_cast<float>(FImpl->Raw.ascent() + FImpl->Raw.descent() + FImpl->Raw.leading());
}
float TFontOutline::XHeight() const
{
    return static_cast<float>(FImpl->Raw.xHeight());
}
float TFontOutline::UnderlinePosition() const
{
    return static_cast<float>(FImpl->Raw.underlinePosition());
}
float TFontOutline::LineThickness() const
{
    return static_cast<float>(FImpl->Raw.lineThickness());
}

float TFontOutline::Advance(char32_t C) const
{
    const Impl::TGlyph& g = FImpl->Glyph(C);
    QPointF adv;
    if (!g.Font.advancesForGlyphIndexes(&g.Index, &adv, 1, QRawFont::UseDesignMetrics)) return 0;
    return static_cast<float>(adv.x() + adv.y());
}

float TFontOutline::KernAmount(char32_t First, char32_t Second) const
{
    if (First == 0 || Second == 0) return 0;
    const Impl::TGlyph& a = FImpl->Glyph(First);
    if (!a.Found || !a.Primary) return 0;
    const quint32 ia = a.Index;  // copy: the second lookup may rehash the map
    const Impl::TGlyph& b = FImpl->Glyph(Second);
    if (!b.Found || !b.Primary) return 0;
    const quint32 glyphs[2] = {ia, b.Index};
    QPointF plain[2];
    QPointF kerned[2];
    const QRawFont& raw = FImpl->Raw;
    if (!raw.advancesForGlyphIndexes(glyphs, plain, 2, QRawFont::UseDesignMetrics) ||
        !raw.advancesForGlyphIndexes(glyphs, kerned, 2,
                                     QRawFont::LayoutFlags(QRawFont::KernedAdvances | QRawFont::UseDesignMetrics)))
        return 0;
    return static_cast<float>(kerned[0].x() - plain[0].x());
}

bool TFontOutline::AppendOutline(char32_t C, float OriginX, float BaselineY, float Scale,
                                 std::vector<TOutlinePoint>& Points) const
{
    const Impl::TGlyph& g = FImpl->Glyph(C);
    if (!g.Found) return false;
    const QPainterPath path = g.Font.pathForGlyph(g.Index);
    const std::size_t first = Points.size();
    std::size_t figureStart = first;
    auto closeFigure = [&] {
        if (Points.size() > figureStart) Points.back().Type |= OutlinePointClose;
    };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        std::uint8_t type = OutlinePointLine;
        if (e.type == QPainterPath::MoveToElement) {
            closeFigure();
            figureStart = Points.size();
            type = OutlinePointStart;
        } else if (e.type != QPainterPath::LineToElement) {
            type = OutlinePointBezier;
        }
        Points.push_back(
            {OriginX + static_cast<float>(e.x) * Scale, BaselineY + static_cast<float>(e.y) * Scale, type});
    }
    closeFigure();
    return true;
}

std::uint64_t TFontOutline::OpenCount()
{
    return GOpenCount.load();
}

}  // namespace plumwick
