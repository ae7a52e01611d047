// Two-input operations: Porter-Duff and arithmetic composite, blend modes, merge.

#include <cmath>

#include "svg/compositing/filters/FilterOps.h"

namespace plumwick::filters {

TFilterImage Composite(const TFilterImage& In, const TFilterImage& In2, const TCompositeParams& P)
{
    TFilterImage Out(In.Width(), In.Height());
    Out.SetLinear(In.Linear());
    auto D = Out.Data();
    const auto S = In.Data(), B = In2.Data();
    for (std::size_t I = 0; I + 3 < D.size() && I + 3 < B.size(); I += 4) {
        const float As = S[I + 3], Ab = B[I + 3];
        float Fs = 0, Fb = 0;  // factors of source and backdrop
        switch (P.Operator) {
            case TCompositeOperator::Over:
                Fs = 1;
                Fb = 1 - As;
                break;
            case TCompositeOperator::In:
                Fs = Ab;
                Fb = 0;
                break;
            case TCompositeOperator::Out:
                Fs = 1 - Ab;
                Fb = 0;
                break;
            case TCompositeOperator::Atop:
                Fs = Ab;
                Fb = 1 - As;
                break;
            case TCompositeOperator::Xor:
                Fs = 1 - Ab;
                Fb = 1 - As;
                break;
            case TCompositeOperator::Arithmetic: {
                float R[4];
                for (int C = 0; C < 4; ++C)
                    R[C] = Clamp01(P.K1 * S[I + C] * B[I + C] + P.K2 * S[I + C] + P.K3 * B[I + C] + P.K4);
                for (int C = 0; C < 3; ++C) D[I + C] = std::min(R[C], R[3]);  // keep the colour valid for its alpha
                D[I + 3] = R[3];
                continue;
            }
        }
        for (int C = 0; C < 4; ++C) D[I + C] = S[I + C] * Fs + B[I + C] * Fb;
    }
    return Out;
}

void Over(TFilterImage& Bottom, const TFilterImage& Top)
{
    auto D = Bottom.Data();
    const auto S = Top.Data();
    for (std::size_t I = 0; I + 3 < D.size() && I + 3 < S.size(); I += 4) {
        const float K = 1 - S[I + 3];
        for (int C = 0; C < 4; ++C) D[I + C] = S[I + C] + D[I + C] * K;
    }
}

namespace {

// Separable blend functions of straight backdrop Cb and source Cs.
float Separable(TBlendMode Mode, float Cb, float Cs)
{
    switch (Mode) {
        case TBlendMode::Multiply:
            return Cb * Cs;
        case TBlendMode::Screen:
            return Cb + Cs - Cb * Cs;
        case TBlendMode::Overlay:
            return Separable(TBlendMode::HardLight, Cs, Cb);
        case TBlendMode::Darken:
            return std::min(Cb, Cs);
        case TBlendMode::Lighten:
            return std::max(Cb, Cs);
        case TBlendMode::ColorDodge:
            if (Cb == 0) return 0;
            return Cs >= 1 ? 1 : std::min(1.0f, Cb / (1 - Cs));
        case TBlendMode::ColorBurn:
            if (Cb >= 1) return 1;
            return Cs <= 0 ? 0 : 1 - std::min(1.0f, (1 - Cb) / Cs);
        case TBlendMode::HardLight:
            return Cs <= 0.5f ? Cb * 2 * Cs : Separable(TBlendMode::Screen, Cb, 2 * Cs - 1);
        case TBlendMode::SoftLight: {
            if (Cs <= 0.5f) return Cb - (1 - 2 * Cs) * Cb * (1 - Cb);
            const float D = Cb <= 0.25f ? ((16 * Cb - 12) * Cb + 4) * Cb : std::sqrt(Cb);
            return Cb + (2 * Cs - 1) * (D - Cb);
        }
        case TBlendMode::Difference:
            return std::abs(Cb - Cs);
        case TBlendMode::Exclusion:
            return Cb + Cs - 2 * Cb * Cs;
        default:
            return Cs;
    }
}

struct TRgb {
    float R, G, B;
};

float Lum(TRgb C)
{
    return 0.3f * C.R + 0.59f * C.G + 0.11f * C.B;
}

TRgb ClipColor(TRgb C)
{
    const float L = Lum(C);
    const float N = std::min({C.R, C.G, C.B}), X = std::max({C.R, C.G, C.B});
    auto Fix = [&](float V) {
        if (N < 0) V = L + (V - L) * L / (L - N);
        if (X > 1) V = L + (V - L) * (1 - L) / (X - L);
        return V;
    };
    return {Fix(C.R), Fix(C.G), Fix(C.B)};
}

TRgb SetLum(TRgb C, float L)
{
    const float D = L - Lum(C);
    return ClipColor({C.R + D, C.G + D, C.B + D});
}

float Sat(TRgb C)
{
    return std::max({C.R, C.G, C.B}) - std::min({C.R, C.G, C.B});
}

TRgb SetSat(TRgb C, float S)
{
    float* V[3] = {&C.R, &C.G, &C.B};
    // Sort pointers so that *V[0] <= *V[1] <= *V[2].
    if (*V[0] > *V[1]) std::swap(V[0], V[1]);
    if (*V[1] > *V[2]) std::swap(V[1], V[2]);
    if (*V[0] > *V[1]) std::swap(V[0], V[1]);
    if (*V[2] > *V[0]) {
        *V[1] = (*V[1] - *V[0]) * S / (*V[2] - *V[0]);
        *V[2] = S;
    } else {
        *V[1] = *V[2] = 0;
    }
    *V[0] = 0;
    return C;
}

TRgb NonSeparable(TBlendMode Mode, TRgb Cb, TRgb Cs)
{
    switch (Mode) {
        case TBlendMode::Hue:
            return SetLum(SetSat(Cs, Sat(Cb)), Lum(Cb));
        case TBlendMode::Saturation:
            return SetLum(SetSat(Cb, Sat(Cs)), Lum(Cb));
        case TBlendMode::Color:
            return SetLum(Cs, Lum(Cb));
        default:
            return SetLum(Cb, Lum(Cs));  // luminosity
    }
}

}  // namespace

TFilterImage Blend(const TFilterImage& In, const TFilterImage& In2, TBlendMode Mode)
{
    TFilterImage Out(In.Width(), In.Height());
    Out.SetLinear(In.Linear());
    auto D = Out.Data();
    const auto S = In.Data(), B = In2.Data();
    const bool NonSep = Mode >= TBlendMode::Hue;
    for (std::size_t I = 0; I + 3 < D.size() && I + 3 < B.size(); I += 4) {
        const float As = S[I + 3], Ab = B[I + 3];
        float Cs[3], Cb[3], Mix[3];
        for (int C = 0; C < 3; ++C) {
            Cs[C] = As > 0 ? S[I + C] / As : 0;
            Cb[C] = Ab > 0 ? B[I + C] / Ab : 0;
        }
        if (NonSep) {
            const TRgb R = NonSeparable(Mode, {Cb[0], Cb[1], Cb[2]}, {Cs[0], Cs[1], Cs[2]});
            Mix[0] = R.R, Mix[1] = R.G, Mix[2] = R.B;
        } else {
            for (int C = 0; C < 3; ++C) Mix[C] = Separable(Mode, Cb[C], Cs[C]);
        }
        for (int C = 0; C < 3; ++C)
            D[I + C] = Clamp01((1 - Ab) * S[I + C] + (1 - As) * B[I + C] + As * Ab * Clamp01(Mix[C]));
        D[I + 3] = As + Ab - As * Ab;
    }
    return Out;
}

}  // namespace plumwick::filters
