#include "svg/base/SVGCommon.h"

#include <cmath>

#include "svg/base/SVGParse.h"

namespace plumwick {

TMatrix IdentityMatrix()
{
    TMatrix m;
    m.m11 = m.m22 = m.m33 = 1;
    return m;
}

TMatrix CreateTranslation(float ADeltaX, float ADeltaY)
{
    TMatrix m = IdentityMatrix();
    m.m31 = ADeltaX;
    m.m32 = ADeltaY;
    return m;
}

TMatrix CreateScaling(float AScaleX, float AScaleY)
{
    TMatrix m = IdentityMatrix();
    m.m11 = AScaleX;
    m.m22 = AScaleY;
    return m;
}

TMatrix CreateRotation(float AAngle)
{
    TMatrix m = IdentityMatrix();
    double c = std::cos(static_cast<double>(AAngle)), s = std::sin(static_cast<double>(AAngle));
    m.m11 = static_cast<float>(c);
    m.m12 = static_cast<float>(s);
    m.m21 = static_cast<float>(-s);
    m.m22 = static_cast<float>(c);
    return m;
}

TMatrix MatrixMultiply(const TMatrix& a, const TMatrix& b)
{
    TMatrix r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            double sum = 0;
            for (int k = 0; k < 3; ++k) sum += static_cast<double>(a.At(i, k)) * b.At(k, j);
            r.At(i, j) = static_cast<float>(sum);
        }
    return r;
}

TPointF TransformPoint(const TPointF& p, const TMatrix& m)
{
    double x = p.X, y = p.Y;
    return {static_cast<float>(x * m.m11 + y * m.m21 + m.m31), static_cast<float>(x * m.m12 + y * m.m22 + m.m32)};
}

std::unique_ptr<TGPMatrix> ToGPMatrix(const TMatrix& m)
{
    return std::make_unique<TGPMatrix>(m.m11, m.m12, m.m21, m.m22, m.m31, m.m32);
}

void FitRect(const TGPRectF& rect, std::uint8_t alignment, TGPRectF& result, double boxWidth, double boxHeight)
{
    double w = rect.Width, h = rect.Height;
    double ratio = !(boxHeight <= 0) ? boxWidth / boxHeight : 1.0;  // NaN heights divide too
    double rw, rh;
    if (h == 0 || ratio >= w / h) {
        rw = w;
        rh = w / ratio;
    } else {
        rw = h * ratio;
        rh = h;
    }
    double x = 0, y = 0;
    if (alignment <= 8) {
        switch (alignment % 3) {
            case 1:
                x = (w - rw) / 2;
                break;
            case 2:
                x = w - rw;
                break;
        }
        switch (alignment / 3) {
            case 1:
                y = (h - rh) / 2;
                break;
            case 2:
                y = h - rh;
                break;
        }
    }
    result.X = static_cast<float>(x + rect.X);
    result.Y = static_cast<float>(y + rect.Y);
    result.Width = static_cast<float>(rw);
    result.Height = static_cast<float>(rh);
}

// ---------------------------------------------------------------- attribute readers

namespace {

// Stores convert(value) when the attribute exists; an absent attribute leaves target alone.
template <typename T, typename F>
void LoadAttribute(const TXmlNode& node, std::string_view name, T& target, F convert)
{
    if (std::optional<std::string> value = node.FindAttribute(name)) target = convert(*value);
}

}  // namespace

void LoadLength(const TXmlNode& node, std::string_view name, float& target)
{
    LoadAttribute(node, name, target, [](const std::string& v) { return ParseLength(v); });
}

void LoadString(const TXmlNode& node, std::string_view name, std::string& target)
{
    LoadAttribute(node, name, target, [](const std::string& v) { return v; });
}

void LoadPercent(const TXmlNode& node, std::string_view name, float& target)
{
    LoadAttribute(node, name, target, [](const std::string& v) { return ParsePercent(v); });
}

void LoadTransform(const TXmlNode& node, std::string_view name, TMatrix& target)
{
    LoadAttribute(node, name, target, [](const std::string& v) { return ParseTransform(v); });
}

int DisplayCode(std::string_view v)
{
    return v == "inherit" ? -1 : v == "none" ? 0 : 1;
}

int VisibleCode(std::string_view v)
{
    return v == "inherit" ? -1 : v == "visible" ? 1 : 0;
}

void LoadDisplay(const TXmlNode& node, int& code)
{
    LoadAttribute(node, "display", code, [](const std::string& v) { return DisplayCode(v); });
}

void LoadVisible(const TXmlNode& node, int& code)
{
    LoadAttribute(node, "visibility", code, [](const std::string& v) { return VisibleCode(v); });
}

void LoadGradientUnits(const TXmlNode& node, TGradientUnits& units)
{
    units = guObjectBoundingBox;
    LoadAttribute(node, "gradientUnits", units,
                  [](const std::string& v) { return v == "userSpaceOnUse" ? guUserSpaceOnUse : guObjectBoundingBox; });
}

}  // namespace plumwick
