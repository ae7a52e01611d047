// Text as outlines: AddString, and MeasureString / DrawString on a graphics.
#include <QFontMetricsF>
#include <QPainterPath>

#include <cmath>

#include "platform/GdiPlusFontPrivate.h"
#include "platform/GdiPlusPrivate.h"
#include "platform/GuiSession.h"

namespace plumwick {

namespace {

// Outlines are made at this pixel size and scaled, so any em size keeps its exact shape.
constexpr double kDesignSize = 2048;

QString ToQString(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}
QString ToQString(std::u16string_view s)
{
    return QString(reinterpret_cast<const QChar*>(s.data()), qsizetype(s.size()));
}

bool Typographic(const TGPStringFormat* format)
{
    return format && format->IsTypographic();
}

// Space a default (non-typographic) layout leaves before the text, as GDI+ does.
double LeadingPad(const TGPStringFormat* format, double emSize)
{
    return Typographic(format) ? 0.0 : emSize / 6.0;
}

QString MeasuredPart(const QString& text, const TGPStringFormat* format)
{
    if (format && (format->GetFormatFlags() & StringFormatFlagsMeasureTrailingSpaces)) return text;
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == QLatin1Char(' ')) --n;
    return text.left(n);
}

struct Layout {
    double Width = 0;  // advance of the text, em units scaled
    double Ascent = 0, LineSpacing = 0;
};

Layout Measure(const QString& text, const QFont& designFont, const FaceMetrics& m, double emSize,
               const TGPStringFormat* format)
{
    Layout l;
    double k = emSize / kDesignSize;
    l.Width = QFontMetricsF(designFont).horizontalAdvance(MeasuredPart(text, format)) * k;
    if (m.Valid && m.UnitsPerEm > 0) {
        l.Ascent = emSize * m.Ascent / m.UnitsPerEm;
        l.LineSpacing = emSize * m.LineSpacing / m.UnitsPerEm;
    }
    return l;
}

Status AddText(TGPGraphicsPath& path, const QString& text, const TGPFontFamily& family, int style, float emSize,
               const TGPRectF& box, bool inBox, const TGPStringFormat* format)
{
    if (!family.IsAvailable()) return FontFamilyNotFound;
    if (!(emSize > 0) || std::isinf(emSize)) return InvalidParameter;
    if (!HasGuiApplication()) return GenericError;
    if (text.isEmpty()) return Ok;
    QFont font = FontFor(QString::fromStdString(family.GetFamilyName()), style, kDesignSize);
    const FaceMetrics& m = FamilyMetrics(family, style);
    Layout l = Measure(text, font, m, emSize, format);
    double x = box.X + LeadingPad(format, emSize), y = box.Y;
    if (inBox && format) {
        double pad = 2 * LeadingPad(format, emSize);
        if (format->GetAlignment() == StringAlignmentCenter) x = box.X + (box.Width - l.Width - pad) / 2 + pad / 2;
        if (format->GetAlignment() == StringAlignmentFar) x = box.X + box.Width - l.Width - pad / 2;
        if (format->GetLineAlignment() == StringAlignmentCenter) y = box.Y + (box.Height - l.LineSpacing) / 2;
        if (format->GetLineAlignment() == StringAlignmentFar) y = box.Y + box.Height - l.LineSpacing;
    }
    QPainterPath glyphs;
    glyphs.addText(QPointF(0, 0), font, text);
    double k = emSize / kDesignSize;
    QTransform place(k, 0, 0, k, x, y + l.Ascent);
    GdiPlusAccess::AppendQt(path, place.map(glyphs), true);
    return Ok;
}

}  // namespace

Status TGPGraphicsPath::AddString(std::string_view text, const TGPFontFamily& family, int style, float emSize,
                                  const TGPPointF& origin, const TGPStringFormat* format)
{
    return SetStatus(AddText(*this, ToQString(text), family, style, emSize, {origin.X, origin.Y, 0, 0}, false, format));
}

Status TGPGraphicsPath::AddString(std::u16string_view text, const TGPFontFamily& family, int style, float emSize,
                                  const TGPPointF& origin, const TGPStringFormat* format)
{
    return SetStatus(AddText(*this, ToQString(text), family, style, emSize, {origin.X, origin.Y, 0, 0}, false, format));
}

Status TGPGraphicsPath::AddString(std::string_view text, const TGPFontFamily& family, int style, float emSize,
                                  const TGPRectF& layoutRect, const TGPStringFormat* format)
{
    return SetStatus(AddText(*this, ToQString(text), family, style, emSize, layoutRect, true, format));
}

Status TGPGraphicsPath::AddString(std::u16string_view text, const TGPFontFamily& family, int style, float emSize,
                                  const TGPRectF& layoutRect, const TGPStringFormat* format)
{
    return SetStatus(AddText(*this, ToQString(text), family, style, emSize, layoutRect, true, format));
}

namespace {

Status MeasureText(const QString& text, const TGPFont* font, const TGPPointF& origin, const TGPStringFormat* format,
                   TGPRectF& box)
{
    box = {origin.X, origin.Y, 0, 0};
    if (!font || !font->IsAvailable()) return InvalidParameter;
    if (!HasGuiApplication()) return GenericError;
    const TGPFontFamily& family = FontFamilyOf(*font);
    double em = font->GetEmSizeInPixels();
    QFont design = FontFor(QString::fromStdString(family.GetFamilyName()), font->GetStyle(), kDesignSize);
    Layout l = Measure(text, design, FamilyMetrics(family, font->GetStyle()), em, format);
    box.Width = float(l.Width + 2 * LeadingPad(format, em));
    box.Height = float(l.LineSpacing);
    return Ok;
}

}  // namespace

Status TGPGraphics::MeasureString(std::string_view text, const TGPFont* font, const TGPPointF& origin,
                                  const TGPStringFormat* format, TGPRectF& boundingBox) const
{
    return SetStatus(MeasureText(ToQString(text), font, origin, format, boundingBox));
}

Status TGPGraphics::MeasureString(std::u16string_view text, const TGPFont* font, const TGPPointF& origin,
                                  const TGPStringFormat* format, TGPRectF& boundingBox) const
{
    return SetStatus(MeasureText(ToQString(text), font, origin, format, boundingBox));
}

Status TGPGraphics::DrawString(std::string_view text, const TGPFont* font, const TGPPointF& origin,
                               const TGPStringFormat* format, const TGPBrush* brush)
{
    std::u16string wide = ToQString(text).toStdU16String();
    return DrawString(std::u16string_view(wide), font, origin, format, brush);
}

Status TGPGraphics::DrawString(std::u16string_view text, const TGPFont* font, const TGPPointF& origin,
                               const TGPStringFormat* format, const TGPBrush* brush)
{
    if (!font || !font->IsAvailable() || !brush) return SetStatus(InvalidParameter);
    TGPGraphicsPath path(FillModeWinding);
    Status s = path.AddString(text, FontFamilyOf(*font), font->GetStyle(), font->GetEmSizeInPixels(), origin, format);
    if (s != Ok) return SetStatus(s);
    return FillPath(brush, &path);
}

}  // namespace plumwick
