#include "svg/compositing/filters/FilterImage.h"

#include <array>
#include <cmath>

namespace plumwick::filters {

TIntRect TIntRect::Intersect(const TIntRect& O) const
{
    const int L = std::max(X, O.X), T = std::max(Y, O.Y);
    const int R = std::min(Right(), O.Right()), B = std::min(Bottom(), O.Bottom());
    return R > L && B > T ? TIntRect{L, T, R - L, B - T} : TIntRect{L, T, 0, 0};
}

TIntRect TIntRect::Unite(const TIntRect& O) const
{
    if (Empty()) return O;
    if (O.Empty()) return *this;
    const int L = std::min(X, O.X), T = std::min(Y, O.Y);
    return {L, T, std::max(Right(), O.Right()) - L, std::max(Bottom(), O.Bottom()) - T};
}

TFilterImage::TFilterImage(int Width, int Height)
    : FWidth(std::max(Width, 0)),
      FHeight(std::max(Height, 0)),
      FData(static_cast<std::size_t>(FWidth) * FHeight * 4, 0.0f)
{
}

void TFilterImage::Sample(int X, int Y, float Out[4]) const
{
    if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight) {
        Out[0] = Out[1] = Out[2] = Out[3] = 0;
        return;
    }
    const float* P = Pixel(X, Y);
    std::copy(P, P + 4, Out);
}

void TFilterImage::ClipTo(const TIntRect& Rect)
{
    const TIntRect Keep = Rect.Intersect(Bounds());
    for (int Y = 0; Y < FHeight; ++Y) {
        float* Row = Pixel(0, Y);
        if (Keep.Empty() || Y < Keep.Y || Y >= Keep.Bottom()) {
            std::fill(Row, Row + FWidth * 4, 0.0f);
            continue;
        }
        std::fill(Row, Row + Keep.X * 4, 0.0f);
        std::fill(Row + Keep.Right() * 4, Row + FWidth * 4, 0.0f);
    }
}

namespace {

constexpr int TableSize = 4096;

// The transfer functions sampled finely enough for 8-bit output; linear interpolation between entries.
struct TTransferTables {
    std::array<float, TableSize + 1> ToLinear;
    std::array<float, TableSize + 1> ToSrgb;
    TTransferTables()
    {
        for (int I = 0; I <= TableSize; ++I) {
            const double V = double(I) / TableSize;
            ToLinear[I] = float(V <= 0.04045 ? V / 12.92 : std::pow((V + 0.055) / 1.055, 2.4));
            ToSrgb[I] = float(V <= 0.0031308 ? V * 12.92 : 1.055 * std::pow(V, 1 / 2.4) - 0.055);
        }
    }
};

const TTransferTables& Tables()
{
    static const TTransferTables T;
    return T;
}

float Lookup(const std::array<float, TableSize + 1>& Table, float V)
{
    const float Pos = Clamp01(V) * TableSize;
    const int I = std::min(static_cast<int>(Pos), TableSize - 1);
    const float F = Pos - I;
    return Table[I] + (Table[I + 1] - Table[I]) * F;
}

}  // namespace

float SrgbToLinear(float V)
{
    return Lookup(Tables().ToLinear, V);
}
float LinearToSrgb(float V)
{
    return Lookup(Tables().ToSrgb, V);
}

TFilterImage TFilterImage::InSpace(bool Linear) const
{
    TFilterImage Out = *this;
    if (Linear == FLinear) return Out;
    Out.FLinear = Linear;
    const auto& Table = Linear ? Tables().ToLinear : Tables().ToSrgb;
    for (std::size_t I = 0; I < Out.FData.size(); I += 4) {
        float* P = &Out.FData[I];
        const float A = P[3];
        if (A <= 0) continue;
        for (int C = 0; C < 3; ++C) P[C] = Lookup(Table, P[C] / A) * A;
    }
    return Out;
}

TFilterImage TFilterImage::FromPremultipliedArgb(std::span<const std::uint32_t> Pixels, int Width, int Height)
{
    TFilterImage Out(Width, Height);
    const std::size_t N = std::min(Pixels.size(), static_cast<std::size_t>(Out.FWidth) * Out.FHeight);
    for (std::size_t I = 0; I < N; ++I) {
        const std::uint32_t P = Pixels[I];
        float* D = &Out.FData[I * 4];
        D[0] = float((P >> 16) & 0xFF) / 255.0f;
        D[1] = float((P >> 8) & 0xFF) / 255.0f;
        D[2] = float(P & 0xFF) / 255.0f;
        D[3] = float(P >> 24) / 255.0f;
    }
    return Out;
}

TFilterImage TFilterImage::FromStraightArgb(std::span<const std::uint32_t> Pixels, int Width, int Height)
{
    TFilterImage Out = FromPremultipliedArgb(Pixels, Width, Height);
    for (std::size_t I = 0; I < Out.FData.size(); I += 4)
        for (int C = 0; C < 3; ++C) Out.FData[I + C] *= Out.FData[I + 3];
    return Out;
}

namespace {

std::uint32_t Byte(float V)
{
    return static_cast<std::uint32_t>(std::lround(Clamp01(V) * 255.0f));
}

}  // namespace

std::vector<std::uint32_t> TFilterImage::ToPremultipliedArgb() const
{
    const TFilterImage Srgb = InSpace(false);
    std::vector<std::uint32_t> Out(static_cast<std::size_t>(FWidth) * FHeight);
    for (std::size_t I = 0; I < Out.size(); ++I) {
        const float* P = &Srgb.FData[I * 4];
        const float A = Clamp01(P[3]);
        Out[I] = Byte(A) << 24 | Byte(std::min(P[0], A)) << 16 | Byte(std::min(P[1], A)) << 8 | Byte(std::min(P[2], A));
    }
    return Out;
}

std::vector<std::uint32_t> TFilterImage::ToStraightArgb() const
{
    const TFilterImage Srgb = InSpace(false);
    std::vector<std::uint32_t> Out(static_cast<std::size_t>(FWidth) * FHeight);
    for (std::size_t I = 0; I < Out.size(); ++I) {
        const float* P = &Srgb.FData[I * 4];
        const float A = Clamp01(P[3]);
        if (A <= 0) {
            Out[I] = 0;
            continue;
        }
        Out[I] = Byte(A) << 24 | Byte(P[0] / A) << 16 | Byte(P[1] / A) << 8 | Byte(P[2] / A);
    }
    return Out;
}

}  // namespace plumwick::filters
