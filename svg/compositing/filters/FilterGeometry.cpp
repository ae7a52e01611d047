// Operations that move pixels: offset, tile, displacement map.

#include <cmath>

#include "svg/compositing/filters/FilterOps.h"

namespace plumwick::filters {

TFilterImage Offset(const TFilterImage& In, float DX, float DY)
{
    TFilterImage Out(In.Width(), In.Height());
    Out.SetLinear(In.Linear());
    if (!std::isfinite(DX) || !std::isfinite(DY)) return Out;
    // Whole pixels keep the shifted picture as sharp as it came in, as other renderers do.
    auto Snap = [](float V) { return std::round(V); };
    DX = Snap(DX);
    DY = Snap(DY);
    const float FX = std::floor(DX), FY = std::floor(DY);
    const float TX = DX - FX, TY = DY - FY;
    const int IX = static_cast<int>(std::clamp(FX, -1e6f, 1e6f)), IY = static_cast<int>(std::clamp(FY, -1e6f, 1e6f));
    const float W[4] = {(1 - TX) * (1 - TY), TX * (1 - TY), (1 - TX) * TY, TX * TY};
    for (int Y = 0; Y < Out.Height(); ++Y)
        for (int X = 0; X < Out.Width(); ++X) {
            // Output (X, Y) takes the source at (X - DX, Y - DY).
            float* D = Out.Pixel(X, Y);
            float S[4];
            const int SX[4] = {X - IX, X - IX - 1, X - IX, X - IX - 1};
            const int SY[4] = {Y - IY, Y - IY, Y - IY - 1, Y - IY - 1};
            for (int K = 0; K < 4; ++K) {
                if (W[K] == 0) continue;
                In.Sample(SX[K], SY[K], S);
                for (int C = 0; C < 4; ++C) D[C] += S[C] * W[K];
            }
        }
    return Out;
}

TFilterImage Tile(const TFilterImage& In, const TIntRect& Source)
{
    TFilterImage Out(In.Width(), In.Height());
    Out.SetLinear(In.Linear());
    if (Source.Empty()) return Out;
    auto Mod = [](int A, int N) { return ((A % N) + N) % N; };
    for (int Y = 0; Y < Out.Height(); ++Y)
        for (int X = 0; X < Out.Width(); ++X) {
            const int SX = Source.X + Mod(X - Source.X, Source.Width);
            const int SY = Source.Y + Mod(Y - Source.Y, Source.Height);
            In.Sample(SX, SY, Out.Pixel(X, Y));
        }
    return Out;
}

TFilterImage DisplacementMap(const TFilterImage& In, const TFilterImage& Map, const TDisplacementParams& P)
{
    TFilterImage Out(In.Width(), In.Height());
    Out.SetLinear(In.Linear());
    const int XC = static_cast<int>(P.XChannel), YC = static_cast<int>(P.YChannel);
    for (int Y = 0; Y < Out.Height(); ++Y)
        for (int X = 0; X < Out.Width(); ++X) {
            float M[4];
            Map.Sample(X, Y, M);
            // The map is read with straight colour.
            const float A = M[3];
            auto Channel = [&](int C) { return C == 3 ? A : (A > 0 ? M[C] / A : 0); };
            const float DX = P.ScaleX * (Channel(XC) - 0.5f), DY = P.ScaleY * (Channel(YC) - 0.5f);
            In.Sample(static_cast<int>(std::floor(X + 0.5f + DX)), static_cast<int>(std::floor(Y + 0.5f + DY)),
                      Out.Pixel(X, Y));
        }
    return Out;
}

}  // namespace plumwick::filters
