// Per-pixel colour operations: flood, colour matrix, component transfer, alpha extraction.

#include <cmath>

#include "svg/compositing/filters/FilterOps.h"

namespace plumwick::filters {

namespace {

// Runs Fn on every pixel's straight colour (r, g, b, a) and stores it back premultiplied.
template <class TFn>
TFilterImage MapStraight(const TFilterImage& In, TFn Fn)
{
    TFilterImage Out = In;
    auto Data = Out.Data();
    for (std::size_t I = 0; I < Data.size(); I += 4) {
        float* P = &Data[I];
        const float A = P[3];
        float C[4] = {0, 0, 0, A};
        if (A > 0)
            for (int K = 0; K < 3; ++K) C[K] = P[K] / A;
        Fn(C);
        const float NA = Clamp01(C[3]);
        for (int K = 0; K < 3; ++K) P[K] = Clamp01(C[K]) * NA;
        P[3] = NA;
    }
    return Out;
}

}  // namespace

TFilterImage Flood(int Width, int Height, bool Linear, const TFilterColor& Color, const TIntRect& Rect)
{
    TFilterImage Out(Width, Height);
    Out.SetLinear(Linear);
    const TIntRect Area = Rect.Intersect(Out.Bounds());
    if (Area.Empty()) return Out;
    const float A = Clamp01(Color.A);
    float P[4] = {Clamp01(Color.R), Clamp01(Color.G), Clamp01(Color.B), A};
    for (int K = 0; K < 3; ++K) P[K] = (Linear ? SrgbToLinear(P[K]) : P[K]) * A;
    for (int Y = Area.Y; Y < Area.Bottom(); ++Y)
        for (int X = Area.X; X < Area.Right(); ++X) std::copy(P, P + 4, Out.Pixel(X, Y));
    return Out;
}

TFilterImage ColorMatrix(const TFilterImage& In, const TColorMatrixParams& P)
{
    const auto& M = P.M;
    return MapStraight(In, [&M](float C[4]) {
        float R[4];
        for (int Row = 0; Row < 4; ++Row) {
            const float* K = &M[Row * 5];
            R[Row] = K[0] * C[0] + K[1] * C[1] + K[2] * C[2] + K[3] * C[3] + K[4];
        }
        std::copy(R, R + 4, C);
    });
}

namespace {

float Transfer(const TTransferFunction& F, float C)
{
    switch (F.Type) {
        case TTransferType::Identity:
            return C;
        case TTransferType::Table: {
            const std::size_t N = F.TableValues.size();
            if (N == 0) return C;
            if (N == 1) return F.TableValues[0];
            const float Pos = Clamp01(C) * float(N - 1);
            const std::size_t K = std::min(static_cast<std::size_t>(Pos), N - 2);
            return F.TableValues[K] + (Pos - float(K)) * (F.TableValues[K + 1] - F.TableValues[K]);
        }
        case TTransferType::Discrete: {
            const std::size_t N = F.TableValues.size();
            if (N == 0) return C;
            const std::size_t K = std::min(static_cast<std::size_t>(Clamp01(C) * float(N)), N - 1);
            return F.TableValues[K];
        }
        case TTransferType::Linear:
            return F.Slope * C + F.Intercept;
        case TTransferType::Gamma:
            return F.Amplitude * std::pow(C, F.Exponent) + F.Offset;
    }
    return C;
}

}  // namespace

TFilterImage ComponentTransfer(const TFilterImage& In, const TComponentTransferParams& P)
{
    // An 8-bit input needs no more than a table per channel.
    std::array<std::array<float, 256>, 4> Tables;
    for (int K = 0; K < 4; ++K)
        for (int V = 0; V < 256; ++V) Tables[K][V] = Clamp01(Transfer(P.Functions[K], float(V) / 255.0f));
    return MapStraight(In, [&Tables](float C[4]) {
        for (int K = 0; K < 4; ++K) C[K] = Tables[K][std::lround(Clamp01(C[K]) * 255.0f)];
    });
}

TFilterImage AlphaOnly(const TFilterImage& In)
{
    TFilterImage Out = In;
    auto Data = Out.Data();
    for (std::size_t I = 0; I < Data.size(); I += 4) Data[I] = Data[I + 1] = Data[I + 2] = 0;
    return Out;
}

TColorMatrixParams SaturateMatrix(float S)
{
    return {{0.213f + 0.787f * S,
             0.715f - 0.715f * S,
             0.072f - 0.072f * S,
             0,
             0,
             0.213f - 0.213f * S,
             0.715f + 0.285f * S,
             0.072f - 0.072f * S,
             0,
             0,
             0.213f - 0.213f * S,
             0.715f - 0.715f * S,
             0.072f + 0.928f * S,
             0,
             0,
             0,
             0,
             0,
             1,
             0}};
}

TColorMatrixParams HueRotateMatrix(float Degrees)
{
    const float A = Degrees * 3.14159265358979f / 180.0f;
    const float C = std::cos(A), S = std::sin(A);
    return {{0.213f + C * 0.787f - S * 0.213f,
             0.715f - C * 0.715f - S * 0.715f,
             0.072f - C * 0.072f + S * 0.928f,
             0,
             0,
             0.213f - C * 0.213f + S * 0.143f,
             0.715f + C * 0.285f + S * 0.140f,
             0.072f - C * 0.072f - S * 0.283f,
             0,
             0,
             0.213f - C * 0.213f - S * 0.787f,
             0.715f - C * 0.715f + S * 0.715f,
             0.072f + C * 0.928f + S * 0.072f,
             0,
             0,
             0,
             0,
             0,
             1,
             0}};
}

TColorMatrixParams LuminanceToAlphaMatrix()
{
    return {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.2125f, 0.7154f, 0.0721f, 0, 0}};
}

TColorMatrixParams GrayscaleMatrix(float Amount)
{
    const float G = 1 - Clamp01(Amount);
    return {{0.2126f + 0.7874f * G,
             0.7152f - 0.7152f * G,
             0.0722f - 0.0722f * G,
             0,
             0,
             0.2126f - 0.2126f * G,
             0.7152f + 0.2848f * G,
             0.0722f - 0.0722f * G,
             0,
             0,
             0.2126f - 0.2126f * G,
             0.7152f - 0.7152f * G,
             0.0722f + 0.9278f * G,
             0,
             0,
             0,
             0,
             0,
             1,
             0}};
}

TColorMatrixParams SepiaMatrix(float Amount)
{
    const float G = 1 - Clamp01(Amount);
    return {{0.393f + 0.607f * G,
             0.769f - 0.769f * G,
             0.189f - 0.189f * G,
             0,
             0,
             0.349f - 0.349f * G,
             0.686f + 0.314f * G,
             0.168f - 0.168f * G,
             0,
             0,
             0.272f - 0.272f * G,
             0.534f - 0.534f * G,
             0.131f + 0.869f * G,
             0,
             0,
             0,
             0,
             0,
             1,
             0}};
}

TColorMatrixParams InvertMatrix(float Amount)
{
    const float A = Clamp01(Amount), S = 1 - 2 * A;
    return {{S, 0, 0, 0, A, 0, S, 0, 0, A, 0, 0, S, 0, A, 0, 0, 0, 1, 0}};
}

TColorMatrixParams OpacityMatrix(float Amount)
{
    return {{1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, Clamp01(Amount), 0}};
}

TColorMatrixParams BrightnessMatrix(float Amount)
{
    const float A = std::max(Amount, 0.0f);
    return {{A, 0, 0, 0, 0, 0, A, 0, 0, 0, 0, 0, A, 0, 0, 0, 0, 0, 1, 0}};
}

TColorMatrixParams ContrastMatrix(float Amount)
{
    const float A = std::max(Amount, 0.0f), I = 0.5f - 0.5f * A;
    return {{A, 0, 0, 0, I, 0, A, 0, 0, I, 0, 0, A, 0, I, 0, 0, 0, 1, 0}};
}

}  // namespace plumwick::filters
