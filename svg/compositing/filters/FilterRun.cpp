#include "svg/compositing/filters/FilterRun.h"

#include <cmath>

#include "svg/compositing/filters/FilterOps.h"

namespace plumwick::filters {

namespace {

struct TResult {
    TFilterImage Image;
    TIntRect Subregion;
};

template <class... Ts>
struct TOverload : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
TOverload(Ts...) -> TOverload<Ts...>;

class TRunner {
public:
    TRunner(const TFilterImage& Source, const TIntRect& Region) : FSource(Source), FRegion(Region) {}

    void Run(std::span<const TFilterPrimitive> Primitives)
    {
        for (std::size_t I = 0; I < Primitives.size(); ++I)
            FResults.push_back(RunOne(Primitives[I], static_cast<int>(I)));
    }

    TFilterImage Final() const
    {
        if (FResults.empty()) return TFilterImage(FSource.Width(), FSource.Height());
        TFilterImage Out = FResults.back().Image.InSpace(false);
        Out.ClipTo(FRegion);
        return Out;
    }

private:
    // The subregion an input brings: a standard input covers the filter region.
    TIntRect InputRegion(const TFilterInput& In, int Self) const
    {
        if (const TResult* R = ResultOf(In, Self)) return R->Subregion;
        return FRegion;
    }

    const TResult* ResultOf(const TFilterInput& In, int Self) const
    {
        switch (In.Kind) {
            case TFilterInput::TKind::Previous:
                return Self > 0 ? &FResults[Self - 1] : nullptr;
            case TFilterInput::TKind::Result:
                return In.Index >= 0 && In.Index < Self ? &FResults[In.Index] : nullptr;
            default:
                return nullptr;
        }
    }

    TFilterImage Input(const TFilterInput& In, int Self, bool Linear) const
    {
        if (In.Kind == TFilterInput::TKind::SourceAlpha) return AlphaOnly(FSource);
        if (In.Kind == TFilterInput::TKind::Empty) return Blank(Linear);
        if (const TResult* R = ResultOf(In, Self)) return R->Image.InSpace(Linear);
        if (In.Kind == TFilterInput::TKind::Result) return Blank(Linear);
        return FSource.InSpace(Linear);
    }

    TFilterImage Blank(bool Linear) const
    {
        TFilterImage Out(FSource.Width(), FSource.Height());
        Out.SetLinear(Linear);
        return Out;
    }

    TIntRect Subregion(const TFilterPrimitive& P, int Self) const
    {
        TIntRect Default = FRegion;
        std::visit(TOverload{
                       [&](const TFloodParams&) {},
                       [&](const TImageParams&) {},
                       [&](const TTurbulenceParams&) {},
                       // A tile fills the region unless told otherwise: its input's area is only the pattern.
                       [&](const TTileParams&) {},
                       [&](const TMergeParams& M) {
                           TIntRect U{0, 0, 0, 0};
                           for (const TFilterInput& In : M.Inputs) U = U.Unite(InputRegion(In, Self));
                           if (!M.Inputs.empty()) Default = U;
                       },
                       [&](const auto& Other) {
                           using T = std::decay_t<decltype(Other)>;
                           Default = InputRegion(P.In, Self);
                           if constexpr (std::is_same_v<T, TCompositeParams> || std::is_same_v<T, TBlendParams> ||
                                         std::is_same_v<T, TDisplacementParams>)
                               Default = Default.Unite(InputRegion(P.In2, Self));
                       },
                   },
                   P.Params);
        const float X = P.X.value_or(float(Default.X)), Y = P.Y.value_or(float(Default.Y));
        const float W = P.Width.value_or(float(Default.Width)), H = P.Height.value_or(float(Default.Height));
        auto Edge = [](float V) { return static_cast<int>(std::lround(std::clamp(V, -1e7f, 1e7f))); };
        const int L = Edge(X), T = Edge(Y), R = Edge(X + W), B = Edge(Y + H);
        return TIntRect{L, T, std::max(R - L, 0), std::max(B - T, 0)}.Intersect(FRegion);
    }

    TResult RunOne(const TFilterPrimitive& P, int Self)
    {
        const TIntRect Sub = Subregion(P, Self);
        const bool Lin = P.Linear;
        const int W = FSource.Width(), H = FSource.Height();
        auto In = [&] { return Input(P.In, Self, Lin); };
        auto In2 = [&] { return Input(P.In2, Self, Lin); };
        TFilterImage Out = std::visit(TOverload{
                                          [&](const TBlurParams& B) { return GaussianBlur(In(), B.SX, B.SY); },
                                          [&](const TOffsetParams& O) { return Offset(In(), O.DX, O.DY); },
                                          [&](const TFloodParams& F) { return Flood(W, H, Lin, F.Color, Sub); },
                                          [&](const TDropShadowParams& D) {
                                              const TFilterImage Source = In();
                                              TFilterImage Shadow = Flood(W, H, Lin, D.Color, Source.Bounds());
                                              Shadow = Composite(Shadow, Source, {TCompositeOperator::In});
                                              Shadow = Offset(GaussianBlur(Shadow, D.SX, D.SY), D.DX, D.DY);
                                              Over(Shadow, Source);
                                              return Shadow;
                                          },
                                          [&](const TMergeParams& M) {
                                              TFilterImage Result = Blank(Lin);
                                              for (const TFilterInput& Layer : M.Inputs) {
                                                  TFilterImage Image = Input(Layer, Self, Lin);
                                                  // Each layer counts only within its own subregion.
                                                  if (const TResult* R = ResultOf(Layer, Self))
                                                      Image.ClipTo(R->Subregion);
                                                  Over(Result, Image);
                                              }
                                              return Result;
                                          },
                                          [&](const TCompositeParams& C) { return Composite(In(), In2(), C); },
                                          [&](const TBlendParams& B) { return Blend(In(), In2(), B.Mode); },
                                          [&](const TColorMatrixParams& M) { return ColorMatrix(In(), M); },
                                          [&](const TComponentTransferParams& T) { return ComponentTransfer(In(), T); },
                                          [&](const TMorphologyParams& M) { return Morphology(In(), M); },
                                          [&](const TConvolveParams& C) { return ConvolveMatrix(In(), C); },
                                          [&](const TTileParams&) {
                                              const TIntRect Tile = InputRegion(P.In, Self);
                                              return filters::Tile(In(), Tile);
                                          },
                                          [&](const TImageParams& I) { return I.Picture.InSpace(Lin); },
                                          [&](const TTurbulenceParams& T) {
                                              TFilterImage Noise = Turbulence(W, H, T, Sub);
                                              // The noise is made in the primitive's own space.
                                              Noise.SetLinear(Lin);
                                              return Noise;
                                          },
                                          [&](const TDisplacementParams& D) {
                                              // The map is read as it is, whatever space the primitive works in.
                                              const TResult* R = ResultOf(P.In2, Self);
                                              const TFilterImage Map = R ? R->Image : Input(P.In2, Self, false);
                                              return DisplacementMap(In(), Map, D);
                                          },
                                          [&](const TLightingParams& L) { return Lighting(In(), L, Lin); },
                                      },
                                      P.Params);
        Out.ClipTo(Sub);
        return {std::move(Out), Sub};
    }

    const TFilterImage& FSource;
    TIntRect FRegion;
    std::vector<TResult> FResults;
};

}  // namespace

TFilterImage RunFilter(std::span<const TFilterPrimitive> Primitives, const TFilterImage& Source, const TIntRect& Region)
{
    TRunner Runner(Source, Region);
    Runner.Run(Primitives);
    return Runner.Final();
}

}  // namespace plumwick::filters
