// Convolution with a kernel of the filter's own choosing.

#include <cmath>

#include "svg/compositing/filters/FilterOps.h"

namespace plumwick::filters {

TFilterImage ConvolveMatrix(const TFilterImage& In, const TConvolveParams& P)
{
    TFilterImage Out(In.Width(), In.Height());
    Out.SetLinear(In.Linear());
    const int W = In.Width(), H = In.Height();
    if (W == 0 || H == 0 || P.OrderX <= 0 || P.OrderY <= 0 ||
        P.Kernel.size() != static_cast<std::size_t>(P.OrderX) * P.OrderY)
        return Out;
    const float Divisor = P.Divisor == 0 ? 1 : P.Divisor;
    auto Fetch = [&](int X, int Y, float S[4]) {
        switch (P.EdgeMode) {
            case TEdgeMode::Duplicate:
                X = std::clamp(X, 0, W - 1);
                Y = std::clamp(Y, 0, H - 1);
                break;
            case TEdgeMode::Wrap:
                X = ((X % W) + W) % W;
                Y = ((Y % H) + H) % H;
                break;
            case TEdgeMode::None:
                break;
        }
        In.Sample(X, Y, S);
        if (P.PreserveAlpha && S[3] > 0)
            for (int C = 0; C < 3; ++C) S[C] /= S[3];
    };
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) {
            float Sum[4] = {0, 0, 0, 0};
            for (int I = 0; I < P.OrderY; ++I)
                for (int J = 0; J < P.OrderX; ++J) {
                    const float K = P.Kernel[(P.OrderY - I - 1) * P.OrderX + (P.OrderX - J - 1)];
                    if (K == 0) continue;
                    float S[4];
                    Fetch(X - P.TargetX + J, Y - P.TargetY + I, S);
                    for (int C = 0; C < 4; ++C) Sum[C] += S[C] * K;
                }
            float* D = Out.Pixel(X, Y);
            if (P.PreserveAlpha) {
                const float A = In.Pixel(X, Y)[3];
                for (int C = 0; C < 3; ++C) D[C] = Clamp01(Sum[C] / Divisor + P.Bias) * A;
                D[3] = A;
            } else {
                const float A = Clamp01(Sum[3] / Divisor + P.Bias);
                for (int C = 0; C < 3; ++C) D[C] = std::min(Clamp01(Sum[C] / Divisor + P.Bias * A), A);
                D[3] = A;
            }
        }
    return Out;
}

}  // namespace plumwick::filters
