// Perlin turbulence and fractal noise, as the filter reference algorithm defines them (so the same
// seed gives the same picture as elsewhere).

#include <cmath>

#include "svg/compositing/filters/FilterOps.h"

namespace plumwick::filters {

namespace {

constexpr int BSize = 0x100;
constexpr int BM = 0xff;
constexpr int PerlinN = 0x1000;

struct TStitch {
    int Width = 0, Height = 0, WrapX = 0, WrapY = 0;
};

class TNoise {
public:
    explicit TNoise(long Seed)
    {
        Seed = SetupSeed(Seed);
        int I = 0;
        for (int K = 0; K < 4; ++K)
            for (I = 0; I < BSize; ++I) {
                Lattice[I] = I;
                for (int J = 0; J < 2; ++J) {
                    Seed = Random(Seed);
                    Gradient[K][I][J] = double((Seed % (BSize + BSize)) - BSize) / BSize;
                }
                const double S =
                    std::sqrt(Gradient[K][I][0] * Gradient[K][I][0] + Gradient[K][I][1] * Gradient[K][I][1]);
                if (S > 0) {
                    Gradient[K][I][0] /= S;
                    Gradient[K][I][1] /= S;
                }
            }
        while (--I) {
            const int K = Lattice[I];
            Seed = Random(Seed);
            const int J = static_cast<int>(Seed % BSize);
            Lattice[I] = Lattice[J];
            Lattice[J] = K;
        }
        for (I = 0; I < BSize + 2; ++I) {
            Lattice[BSize + I] = Lattice[I];
            for (int K = 0; K < 4; ++K)
                for (int J = 0; J < 2; ++J) Gradient[K][BSize + I][J] = Gradient[K][I][J];
        }
    }

    double Noise2(int Channel, double VX, double VY, const TStitch* Stitch) const
    {
        double T = VX + PerlinN;
        int BX0 = static_cast<int>(T) & BM;
        int BX1 = (BX0 + 1) & BM;
        const double RX0 = T - static_cast<long>(T), RX1 = RX0 - 1;
        T = VY + PerlinN;
        int BY0 = static_cast<int>(T) & BM;
        int BY1 = (BY0 + 1) & BM;
        const double RY0 = T - static_cast<long>(T), RY1 = RY0 - 1;
        if (Stitch) {
            if (BX0 >= Stitch->WrapX) BX0 -= Stitch->Width;
            if (BX1 >= Stitch->WrapX) BX1 -= Stitch->Width;
            if (BY0 >= Stitch->WrapY) BY0 -= Stitch->Height;
            if (BY1 >= Stitch->WrapY) BY1 -= Stitch->Height;
        }
        BX0 &= BM;
        BX1 &= BM;
        BY0 &= BM;
        BY1 &= BM;
        const int I = Lattice[BX0], J = Lattice[BX1];
        const int B00 = Lattice[I + BY0], B10 = Lattice[J + BY0], B01 = Lattice[I + BY1], B11 = Lattice[J + BY1];
        const double SX = RX0 * RX0 * (3 - 2 * RX0), SY = RY0 * RY0 * (3 - 2 * RY0);
        auto Lerp = [](double F, double A, double B) { return A + F * (B - A); };
        const double* Q = Gradient[Channel][B00];
        double U = RX0 * Q[0] + RY0 * Q[1];
        Q = Gradient[Channel][B10];
        double V = RX1 * Q[0] + RY0 * Q[1];
        const double A = Lerp(SX, U, V);
        Q = Gradient[Channel][B01];
        U = RX0 * Q[0] + RY1 * Q[1];
        Q = Gradient[Channel][B11];
        V = RX1 * Q[0] + RY1 * Q[1];
        const double B = Lerp(SX, U, V);
        return Lerp(SY, A, B);
    }

private:
    static constexpr long RandM = 2147483647, RandA = 16807, RandQ = 127773, RandR = 2836;
    static long SetupSeed(long Seed)
    {
        if (Seed <= 0) Seed = -(Seed % (RandM - 1)) + 1;
        if (Seed > RandM - 1) Seed = RandM - 1;
        return Seed;
    }
    static long Random(long Seed)
    {
        long Result = RandA * (Seed % RandQ) - RandR * (Seed / RandQ);
        if (Result <= 0) Result += RandM;
        return Result;
    }

    int Lattice[BSize + BSize + 2] = {};
    double Gradient[4][BSize + BSize + 2][2] = {};
};

double Turbulence(const TNoise& Noise, int Channel, double PX, double PY, const TTurbulenceParams& P)
{
    double FX = P.BaseFrequencyX, FY = P.BaseFrequencyY;
    TStitch Stitch;
    const TStitch* UseStitch = nullptr;
    if (P.Stitch) {
        // Frequencies move to the nearest ones that fit a whole number of cells into the tile.
        if (FX != 0 && P.TileWidth > 0) {
            const double Lo = std::floor(P.TileWidth * FX) / P.TileWidth,
                         Hi = std::ceil(P.TileWidth * FX) / P.TileWidth;
            FX = Lo > 0 && FX / Lo < Hi / FX ? Lo : Hi;
        }
        if (FY != 0 && P.TileHeight > 0) {
            const double Lo = std::floor(P.TileHeight * FY) / P.TileHeight,
                         Hi = std::ceil(P.TileHeight * FY) / P.TileHeight;
            FY = Lo > 0 && FY / Lo < Hi / FY ? Lo : Hi;
        }
        Stitch.Width = static_cast<int>(std::lround(P.TileWidth * FX));
        Stitch.WrapX = static_cast<int>(P.TileX * FX + PerlinN + Stitch.Width);
        Stitch.Height = static_cast<int>(std::lround(P.TileHeight * FY));
        Stitch.WrapY = static_cast<int>(P.TileY * FY + PerlinN + Stitch.Height);
        UseStitch = &Stitch;
    }
    double Sum = 0, VX = PX * FX, VY = PY * FY, Ratio = 1;
    for (int Octave = 0; Octave < P.Octaves; ++Octave) {
        const double N = Noise.Noise2(Channel, VX, VY, UseStitch);
        Sum += (P.FractalNoise ? N : std::abs(N)) / Ratio;
        VX *= 2;
        VY *= 2;
        Ratio *= 2;
        if (UseStitch) {
            Stitch.Width *= 2;
            Stitch.WrapX = 2 * Stitch.WrapX - PerlinN;
            Stitch.Height *= 2;
            Stitch.WrapY = 2 * Stitch.WrapY - PerlinN;
        }
    }
    return Sum;
}

}  // namespace

TFilterImage Turbulence(int Width, int Height, const TTurbulenceParams& P, const TIntRect& Rect)
{
    TFilterImage Out(Width, Height);
    const TIntRect Area = Rect.Intersect(Out.Bounds());
    if (Area.Empty() || P.Octaves <= 0 || P.BaseFrequencyX < 0 || P.BaseFrequencyY < 0) return Out;
    const TNoise Noise(static_cast<long>(std::trunc(std::clamp(P.Seed, -2e9f, 2e9f))));
    const auto& M = P.PixelToUser;
    for (int Y = Area.Y; Y < Area.Bottom(); ++Y)
        for (int X = Area.X; X < Area.Right(); ++X) {
            const double UX = M[0] * X + M[2] * Y + M[4], UY = M[1] * X + M[3] * Y + M[5];
            float C[4];
            for (int K = 0; K < 4; ++K) {
                const double V = Turbulence(Noise, K, UX, UY, P);
                C[K] = Clamp01(float(P.FractalNoise ? (V + 1) / 2 : V));
            }
            float* D = Out.Pixel(X, Y);
            for (int K = 0; K < 3; ++K) D[K] = C[K] * C[3];
            D[3] = C[3];
        }
    return Out;
}

}  // namespace plumwick::filters
