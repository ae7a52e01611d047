// Diffuse and specular lighting of the input's alpha seen as a height map.

#include <cmath>

#include "svg/compositing/filters/FilterOps.h"

namespace plumwick::filters {

namespace {

constexpr float Pi = 3.14159265358979f;

struct TVec {
    float X, Y, Z;
};

TVec Normalize(TVec V)
{
    const float L = std::sqrt(V.X * V.X + V.Y * V.Y + V.Z * V.Z);
    return L > 0 ? TVec{V.X / L, V.Y / L, V.Z / L} : TVec{0, 0, 0};
}

float Dot(TVec A, TVec B)
{
    return A.X * B.X + A.Y * B.Y + A.Z * B.Z;
}

// Surface normal from a Sobel gradient of the alpha; at the edges only the neighbours that exist
// count, with the factor scaled to match.
TVec Normal(const TFilterImage& In, int X, int Y, float SurfaceScale)
{
    const int W = In.Width(), H = In.Height();
    auto A = [&](int PX, int PY) { return In.Pixel(PX, PY)[3]; };
    const int XL = X > 0 ? X - 1 : X, XR = X < W - 1 ? X + 1 : X;
    const int YT = Y > 0 ? Y - 1 : Y, YB = Y < H - 1 ? Y + 1 : Y;
    // The slope across the pixel between Lo and Hi, its rows (or columns) weighted 1-2-1 about Centre.
    auto Slope = [&](int Lo, int Hi, int From, int To, int Centre, bool AlongX) {
        if (Hi == Lo) return 0.0f;
        float Sum = 0, Weights = 0;
        for (int I = From; I <= To; ++I) {
            const float Wt = I == Centre ? 2.0f : 1.0f;
            Sum += Wt * (AlongX ? A(Hi, I) - A(Lo, I) : A(I, Hi) - A(I, Lo));
            Weights += Wt;
        }
        return -SurfaceScale * 2 / (Weights * float(Hi - Lo)) * Sum;
    };
    return Normalize({Slope(XL, XR, YT, YB, Y, true), Slope(YT, YB, XL, XR, X, false), 1});
}

}  // namespace

TFilterImage Lighting(const TFilterImage& In, const TLightingParams& P, bool Linear)
{
    TFilterImage Out(In.Width(), In.Height());
    Out.SetLinear(Linear);
    const TLightSource& L = P.Light;
    if (L.Kind == TLightSource::TKind::None) return Out;
    float Color[3] = {Clamp01(P.Color.R), Clamp01(P.Color.G), Clamp01(P.Color.B)};
    if (Linear)
        for (float& C : Color) C = SrgbToLinear(C);
    const TVec Distant{std::cos(L.Azimuth * Pi / 180) * std::cos(L.Elevation * Pi / 180),
                       std::sin(L.Azimuth * Pi / 180) * std::cos(L.Elevation * Pi / 180),
                       std::sin(L.Elevation * Pi / 180)};
    const TVec SpotAxis = Normalize({L.PointsAtX - L.X, L.PointsAtY - L.Y, L.PointsAtZ - L.Z});
    const float CosCone = L.LimitingConeAngle ? std::cos(std::abs(*L.LimitingConeAngle) * Pi / 180) : -2;
    for (int Y = 0; Y < In.Height(); ++Y)
        for (int X = 0; X < In.Width(); ++X) {
            const TVec N = Normal(In, X, Y, P.SurfaceScale);
            const float Z = P.SurfaceScale * In.Pixel(X, Y)[3];
            TVec V = Distant;
            if (L.Kind != TLightSource::TKind::Distant) V = Normalize({L.X - float(X), L.Y - float(Y), L.Z - Z});
            float Light[3] = {Color[0], Color[1], Color[2]};
            if (L.Kind == TLightSource::TKind::Spot) {
                const float Minus = -Dot(V, SpotAxis);
                float K = 0;
                if (Minus > 0 && Minus >= CosCone) K = std::pow(Minus, L.SpecularExponent);
                for (float& C : Light) C *= K;
            }
            float* D = Out.Pixel(X, Y);
            if (P.Specular) {
                const TVec Half = Normalize({V.X, V.Y, V.Z + 1});
                const float NH = Dot(N, Half);
                const float K = NH > 0 ? P.Constant * std::pow(NH, P.SpecularExponent) : 0;
                for (int C = 0; C < 3; ++C) D[C] = Clamp01(K * Light[C]);
                D[3] = std::max({D[0], D[1], D[2]});
            } else {
                const float K = std::max(0.0f, P.Constant * Dot(N, V));
                for (int C = 0; C < 3; ++C) D[C] = Clamp01(K * Light[C]);
                D[3] = 1;
            }
        }
    return Out;
}

}  // namespace plumwick::filters
