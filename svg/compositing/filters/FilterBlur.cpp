// Neighbourhood operations: Gaussian blur and morphology.

#include <cmath>
#include <vector>

#include "svg/compositing/filters/FilterOps.h"

namespace plumwick::filters {

namespace {

// One line of Count pixels at Base, Stride floats apart: its copy, and the way to put a result back.
struct TLine {
    float* Base;
    int Count;
    int Stride;
    float* At(int I) const { return Base + static_cast<std::ptrdiff_t>(I) * Stride; }
};

// Sum over [i - Left, i + Right] divided by the box size, from Src into Dst (both Count × 4).
void BoxPass(const float* Src, float* Dst, int Count, int Left, int Right)
{
    const float Scale = 1.0f / float(Left + Right + 1);
    float Sum[4] = {0, 0, 0, 0};
    // Window for i = 0 covers [-Left, Right].
    for (int J = 0; J <= std::min(Right, Count - 1); ++J)
        for (int C = 0; C < 4; ++C) Sum[C] += Src[J * 4 + C];
    for (int I = 0; I < Count; ++I) {
        for (int C = 0; C < 4; ++C) Dst[I * 4 + C] = Sum[C] * Scale;
        const int Enter = I + Right + 1, Leave = I - Left;
        if (Enter < Count)
            for (int C = 0; C < 4; ++C) Sum[C] += Src[Enter * 4 + C];
        if (Leave >= 0)
            for (int C = 0; C < 4; ++C) Sum[C] -= Src[Leave * 4 + C];
    }
}

void KernelPass(const float* Src, float* Dst, int Count, const std::vector<float>& Kernel)
{
    const int Radius = static_cast<int>(Kernel.size() / 2);
    for (int I = 0; I < Count; ++I) {
        float Sum[4] = {0, 0, 0, 0};
        const int From = std::max(0, I - Radius), To = std::min(Count - 1, I + Radius);
        for (int J = From; J <= To; ++J) {
            const float W = Kernel[J - I + Radius];
            for (int C = 0; C < 4; ++C) Sum[C] += Src[J * 4 + C] * W;
        }
        for (int C = 0; C < 4; ++C) Dst[I * 4 + C] = Sum[C];
    }
}

// Blurs one line in place with deviation S (pixels). The box passes run over the line padded by
// what they spread, so what the first pass pushes past an end comes back in the later ones.
void BlurLine(const TLine& Line, float S, std::vector<float>& A, std::vector<float>& B)
{
    const int Count = Line.Count;
    const int D = static_cast<int>(std::floor(S * 3 * std::sqrt(2 * 3.14159265358979) / 4 + 0.5));
    const int Pad = S < 2.0f ? 0 : std::min(3 * (D / 2 + 1), 1 << 20);
    const int N = Count + 2 * Pad;
    A.assign(static_cast<std::size_t>(N) * 4, 0.0f);
    B.resize(A.size());
    bool Any = false;
    for (int I = 0; I < Count; ++I) {
        const float* P = Line.At(I);
        for (int C = 0; C < 4; ++C) {
            A[(I + Pad) * 4 + C] = P[C];
            Any = Any || P[C] != 0;
        }
    }
    if (!Any) return;
    float* Result = nullptr;
    if (S < 2.0f) {
        // The box approximation is visibly off for small deviations.
        const int Radius = std::max(1, static_cast<int>(std::ceil(S * 3)));
        std::vector<float> Kernel(static_cast<std::size_t>(Radius) * 2 + 1);
        float Total = 0;
        for (int I = -Radius; I <= Radius; ++I) Total += Kernel[I + Radius] = std::exp(-float(I * I) / (2 * S * S));
        for (float& W : Kernel) W /= Total;
        KernelPass(A.data(), B.data(), N, Kernel);
        Result = B.data();
    } else {
        // Three boxes of size d approximate the Gaussian; an even d shifts the first two half a pixel
        // each way and makes the third one pixel wider, so the result stays centred.
        if (D % 2 == 1) {
            const int R = D / 2;
            BoxPass(A.data(), B.data(), N, R, R);
            BoxPass(B.data(), A.data(), N, R, R);
            BoxPass(A.data(), B.data(), N, R, R);
        } else {
            const int R = D / 2;
            BoxPass(A.data(), B.data(), N, R, R - 1);
            BoxPass(B.data(), A.data(), N, R - 1, R);
            BoxPass(A.data(), B.data(), N, R, R);
        }
        Result = B.data();
    }
    for (int I = 0; I < Count; ++I) {
        float* P = Line.At(I);
        for (int C = 0; C < 4; ++C) P[C] = Result[(I + Pad) * 4 + C];
    }
}

}  // namespace

TFilterImage GaussianBlur(const TFilterImage& In, float SX, float SY)
{
    TFilterImage Out = In;
    const int W = Out.Width(), H = Out.Height();
    if (W == 0 || H == 0) return Out;
    // Beyond the canvas's size a wider blur only spreads the picture thinner; capping it bounds the work.
    const float Cap = float(std::max(W, H));
    SX = std::min(SX, Cap);
    SY = std::min(SY, Cap);
    std::vector<float> A, B;
    if (SX > 0 && std::isfinite(SX))
        for (int Y = 0; Y < H; ++Y) BlurLine({Out.Pixel(0, Y), W, 4}, SX, A, B);
    if (SY > 0 && std::isfinite(SY))
        for (int X = 0; X < W; ++X) BlurLine({Out.Pixel(X, 0), H, W * 4}, SY, A, B);
    return Out;
}

namespace {

// Minimum or maximum of each channel over [i - Radius, i + Radius], in time linear in the line's
// length whatever the radius (a queue of candidates per channel).
void MorphLine(const TLine& Line, int Radius, bool Dilate, std::vector<float>& A)
{
    const int N = Line.Count;
    A.resize(static_cast<std::size_t>(N) * 4);
    for (int I = 0; I < N; ++I)
        for (int C = 0; C < 4; ++C) A[I * 4 + C] = Line.At(I)[C];
    auto Better = [Dilate](float X, float Y) { return Dilate ? X >= Y : X <= Y; };
    std::vector<int> Queue(static_cast<std::size_t>(N));
    for (int C = 0; C < 4; ++C) {
        int Head = 0, Tail = 0;  // Queue[Head..Tail) holds indices with worsening values
        int Next = 0;            // next index to enter the window
        for (int I = 0; I < N; ++I) {
            for (; Next < N && Next <= I + Radius; ++Next) {
                while (Tail > Head && Better(A[Next * 4 + C], A[Queue[Tail - 1] * 4 + C])) --Tail;
                Queue[Tail++] = Next;
            }
            while (Queue[Head] < I - Radius) ++Head;
            float V = A[Queue[Head] * 4 + C];
            // Beyond the canvas lies transparent black, which an erosion reaching it sees.
            if (!Dilate && (I - Radius < 0 || I + Radius >= N)) V = 0;
            Line.At(I)[C] = V;
        }
    }
}

}  // namespace

TFilterImage Morphology(const TFilterImage& In, const TMorphologyParams& P)
{
    TFilterImage Out = In;
    const int W = Out.Width(), H = Out.Height();
    const int RX = std::min(static_cast<int>(std::lround(P.RX)), W);
    const int RY = std::min(static_cast<int>(std::lround(P.RY)), H);
    std::vector<float> A;
    if (RX > 0)
        for (int Y = 0; Y < H; ++Y) MorphLine({Out.Pixel(0, Y), W, 4}, RX, P.Dilate, A);
    if (RY > 0)
        for (int X = 0; X < W; ++X) MorphLine({Out.Pixel(X, 0), H, W * 4}, RY, P.Dilate, A);
    return Out;
}

}  // namespace plumwick::filters
