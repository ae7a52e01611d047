#include "gdip/GDIPPathText.h"

#include <algorithm>
#include <cmath>

#include "gdip/GDIPKerning.h"
#include "platform/GdiPlusMatrix.h"
#include "platform/GdiPlusPath.h"
#include "svg/core/SVGError.h"

namespace plumwick {

namespace {

float Distance(const TGPPointF& A, const TGPPointF& B)
{
    return std::hypot(B.X - A.X, B.Y - A.Y);
}

std::vector<TGPPointF> FlattenedPoints(const TGPGraphicsPath& Path, float Flatness)
{
    std::unique_ptr<TGPGraphicsPath> copy = Path.Clone();
    std::vector<TGPPointF> points;
    if (!copy || copy->Flatten(nullptr, Flatness) != Ok || copy->GetPathPoints(points) != Ok)
        points.clear();  // an unreadable guide makes every position "not on the path"
    return points;
}

// Keeps the shared kerning object's font current for one text and releases it on every exit.
class TPreparedFont {
public:
    TPreparedFont(const TGPFontFamily& Family, int Style, float Size, const TGPStringFormat* Format)
    {
        GetKerningText().Prepare(Family, Style, Size, Format);
    }
    ~TPreparedFont() { GetKerningText().Unprepare(); }
    TPreparedFont(const TPreparedFont&) = delete;
    TPreparedFont& operator=(const TPreparedFont&) = delete;
};

}  // namespace

TGPPathText::TGPPathText(const TGPGraphicsPath* GuidePath, float Flatness)
{
    if (GuidePath == nullptr)
        throw ESVGError("Path is invalid");
    FPoints = FlattenedPoints(*GuidePath, Flatness);
}

TGPPathText::~TGPPathText() = default;

float TGPPathText::GetPathLength(const TGPGraphicsPath* Path)
{
    if (Path == nullptr)
        return 0;
    const std::vector<TGPPointF> points = FlattenedPoints(*Path, 2.5f);
    float length = 0;
    for (std::size_t i = 1; i < points.size(); ++i)
        length += Distance(points[i - 1], points[i]);
    return length;
}

float TGPPathText::SegmentLength(int Index) const
{
    return Distance(FPoints[Index], FPoints[Index + 1]);
}

float TGPPathText::PositionAtDistance(float Remaining) const
{
    const int n = static_cast<int>(FPoints.size());
    for (int k = 0; k + 1 < n; ++k) {
        const float length = SegmentLength(k);
        if (length > Remaining)
            return static_cast<float>(k) + Remaining / length;
        Remaining -= length;
    }
    return -1;
}

float TGPPathText::DistanceAtPosition(float Position) const
{
    const int n = static_cast<int>(FPoints.size());
    if (Position < 0 || Position > static_cast<float>(n - 1) || n < 2)
        return 0;
    // The very end of the guide (a glyph that fills it exactly) lies on its last segment.
    const int i = std::min(static_cast<int>(Position), n - 2);
    float distance = 0;
    for (int k = 0; k < i; ++k)
        distance += SegmentLength(k);
    return distance + SegmentLength(i) * (Position - static_cast<float>(i));
}

TGPPointF TGPPathText::PointAtPosition(float Position) const
{
    const int n = static_cast<int>(FPoints.size());
    if (Position < 0 || Position > static_cast<float>(n - 1) || n < 2)
        return {0, 0};
    const int i = std::min(static_cast<int>(Position), n - 2);
    const float f = Position - static_cast<float>(i);
    const TGPPointF& a = FPoints[i];
    const TGPPointF& b = FPoints[i + 1];
    return {a.X + f * (b.X - a.X), a.Y + f * (b.Y - a.Y)};
}

float TGPPathText::IntersectCircle(const TGPPointF& A, const TGPPointF& B, const TGPPointF& Centre,
                                   float RadiusSquared)
{
    const float ax = A.X - Centre.X, ay = A.Y - Centre.Y;
    const float bx = B.X - Centre.X, by = B.Y - Centre.Y;
    const float a2 = ax * ax + ay * ay;
    const float b2 = bx * bx + by * by;
    if ((a2 < RadiusSquared && b2 < RadiusSquared) || (a2 > RadiusSquared && b2 > RadiusSquared))
        return -1;
    const float dx = bx - ax, dy = by - ay;
    const float qa = dx * dx + dy * dy;
    if (qa == 0)
        return -1;  // a segment of no length meets the circle nowhere to go on from
    const float qb = 2 * (ax * dx + ay * dy);
    const float qc = a2 - RadiusSquared;
    const float disc = qb * qb - 4 * qa * qc;
    if (disc == 0)
        return -qb / (2 * qa);
    if (disc < 0)
        return -1;
    const float root = std::sqrt(disc);
    const float t1 = (-qb + root) / (2 * qa);
    const float t2 = (-qb - root) / (2 * qa);
    if (t1 >= 0 && t1 <= 1)
        return t2 > 0 ? t2 : t1;
    return (t2 >= 0 && t2 <= 1) ? t2 : -1;
}

float TGPPathText::NextPosition(float Width, float Position) const
{
    const int n = static_cast<int>(FPoints.size());
    if (Position < 0 || Position >= static_cast<float>(n - 1))
        return -1;
    const int i = static_cast<int>(Position);
    const TGPPointF c = PointAtPosition(Position);
    const float ahead = Distance(c, FPoints[i + 1]);
    if (ahead > Width)
        return static_cast<float>(i + 1) - (ahead - Width) / (ahead + Distance(c, FPoints[i]));
    const float r2 = Width * Width;
    for (int k = i + 1; k + 1 < n; ++k) {
        const float t = IntersectCircle(FPoints[k], FPoints[k + 1], c, r2);
        if (t >= 0)
            return static_cast<float>(k) + t;
    }
    return -1;
}

void TGPPathText::AddChar(char32_t C, TGPGraphicsPath& Path) const
{
    const std::string text = Ucs4ToUtf8(std::u32string_view(&C, 1));
    Path.AddString(text, *FFamily, FStyle, FSize, TGPPointF{0, -FSize}, FFormat);
}

float TGPPathText::AddGlyph(char32_t First, char32_t Second, float Position, TGPGraphicsPath& Path)
{
    const float w = GetKerningText().GetCellWidth(First, Second, FDistanceFactor, FKerningFactor);
    // A failed glyph (-1) ends the text like one without advance: a negative width would walk back.
    if (!(w > 0))
        return -1;
    const float next = NextPosition(w, Position);
    if (next < 0)
        return next;
    const TGPPointF c1 = PointAtPosition(Position);
    const TGPPointF c2 = PointAtPosition(next);
    const float cosA = (c2.X - c1.X) / w;
    const float sinA = (c2.Y - c1.Y) / w;

    TGPGraphicsPath glyph(FillModeAlternate);
    AddChar(First, glyph);
    if (FAdditionalMatrix != nullptr)
        glyph.Transform(FAdditionalMatrix);
    const TGPMatrix place(cosA, sinA, -FRotation * sinA, (cosA - 1) * FRotation + 1, c1.X, c1.Y);
    glyph.Transform(&place);
    Path.AddPath(glyph, false);
    return next;
}

float TGPPathText::AddPathText(TGPGraphicsPath& Path, std::string_view Text, float Indent,
                               const TGPFontFamily& Family, int Style, float Size, const TGPStringFormat* Format,
                               float DistanceFactor, float KerningFactor)
{
    Path.SetFillMode(FillModeWinding);
    const float p0 = PositionAtDistance(Indent);
    float p = p0;
    float last = 0;
    FFamily = &Family;
    FStyle = Style;
    FSize = Size;
    FFormat = Format;
    FDistanceFactor = DistanceFactor;
    FKerningFactor = KerningFactor;
    const std::u32string chars = Utf8ToUcs4(Text);
    {
        TPreparedFont prepared(Family, Style, Size, Format);
        for (std::size_t i = 0; i < chars.size() && p >= 0; ++i) {
            const char32_t second = i + 1 < chars.size() ? chars[i + 1] : U'\0';
            p = AddGlyph(chars[i], second, p, Path);
            if (p >= 0)
                last = p;
        }
    }
    FFamily = nullptr;
    FFormat = nullptr;
    // The distance covered between the start and the end of the placed glyphs. (Taking the
    // difference of the two positions as a position would misplace the following chunk wherever the
    // guide's segments differ in length, as on any flattened curve.)
    if (last > 0 && p0 >= 0)
        return DistanceAtPosition(last) - DistanceAtPosition(p0);
    return 0;
}

}  // namespace plumwick
