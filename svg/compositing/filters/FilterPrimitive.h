#pragma once

// Plain descriptions of filter primitives in pixel terms: lengths are already mapped from user
// space into the pixels of the filter's canvas. The element layer builds them; FilterRun.h runs them.

#include <array>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "svg/compositing/filters/FilterImage.h"

namespace plumwick::filters {

// Where a primitive reads from.
struct TFilterInput {
    enum class TKind { Previous, SourceGraphic, SourceAlpha, Result, Empty };
    TKind Kind = TKind::Previous;
    int Index = -1;  // the primitive whose result it is, for Result
};

// Straight colour with its opacity, sRGB.
struct TFilterColor {
    float R = 0, G = 0, B = 0, A = 1;
};

struct TBlurParams {
    float SX = 0, SY = 0;  // standard deviations in pixels
};

struct TOffsetParams {
    float DX = 0, DY = 0;
};

struct TFloodParams {
    TFilterColor Color;
};

struct TDropShadowParams {
    float SX = 0, SY = 0, DX = 0, DY = 0;
    TFilterColor Color;
};

struct TMergeParams {
    std::vector<TFilterInput> Inputs;
};

enum class TCompositeOperator { Over, In, Out, Atop, Xor, Arithmetic };
struct TCompositeParams {
    TCompositeOperator Operator = TCompositeOperator::Over;
    float K1 = 0, K2 = 0, K3 = 0, K4 = 0;
};

enum class TBlendMode {
    Normal,
    Multiply,
    Screen,
    Overlay,
    Darken,
    Lighten,
    ColorDodge,
    ColorBurn,
    HardLight,
    SoftLight,
    Difference,
    Exclusion,
    Hue,
    Saturation,
    Color,
    Luminosity
};
struct TBlendParams {
    TBlendMode Mode = TBlendMode::Normal;
};

// Applied to straight (r, g, b, a) as rows of five: each output channel is row · (r, g, b, a, 1).
struct TColorMatrixParams {
    std::array<float, 20> M = {1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0};
};

enum class TTransferType { Identity, Table, Discrete, Linear, Gamma };
struct TTransferFunction {
    TTransferType Type = TTransferType::Identity;
    std::vector<float> TableValues;
    float Slope = 1, Intercept = 0, Amplitude = 1, Exponent = 1, Offset = 0;
};
struct TComponentTransferParams {
    std::array<TTransferFunction, 4> Functions;  // r, g, b, a
};

struct TMorphologyParams {
    bool Dilate = false;
    float RX = 0, RY = 0;
};

enum class TEdgeMode { Duplicate, Wrap, None };
struct TConvolveParams {
    int OrderX = 3, OrderY = 3;
    std::vector<float> Kernel;  // OrderX × OrderY, row-major as written
    float Divisor = 1, Bias = 0;
    int TargetX = 1, TargetY = 1;
    TEdgeMode EdgeMode = TEdgeMode::Duplicate;
    bool PreserveAlpha = false;
};

struct TTileParams {};

// A picture already placed on the canvas (outside it transparent).
struct TImageParams {
    TFilterImage Picture;
};

struct TTurbulenceParams {
    bool FractalNoise = false;
    float BaseFrequencyX = 0, BaseFrequencyY = 0;
    int Octaves = 1;
    float Seed = 0;
    bool Stitch = false;
    std::array<float, 6> PixelToUser = {1, 0, 0, 1, 0, 0};  // x' = a x + c y + e, y' = b x + d y + f
    // The tile stitched to, in user space.
    float TileX = 0, TileY = 0, TileWidth = 0, TileHeight = 0;
};

enum class TChannel { R, G, B, A };
struct TDisplacementParams {
    float ScaleX = 0, ScaleY = 0;  // in pixels
    TChannel XChannel = TChannel::A, YChannel = TChannel::A;
};

struct TLightSource {
    enum class TKind { None, Distant, Point, Spot };
    TKind Kind = TKind::None;
    float Azimuth = 0, Elevation = 0;                   // distant, degrees
    float X = 0, Y = 0, Z = 0;                          // point and spot, pixels
    float PointsAtX = 0, PointsAtY = 0, PointsAtZ = 0;  // spot
    float SpecularExponent = 1;                         // spot
    std::optional<float> LimitingConeAngle;             // spot, degrees
};
struct TLightingParams {
    bool Specular = false;
    float SurfaceScale = 1;
    float Constant = 1;          // diffuse or specular constant
    float SpecularExponent = 1;  // specular only
    TFilterColor Color{1, 1, 1, 1};
    TLightSource Light;
};

using TPrimitiveParams =
    std::variant<TBlurParams, TOffsetParams, TFloodParams, TDropShadowParams, TMergeParams, TCompositeParams,
                 TBlendParams, TColorMatrixParams, TComponentTransferParams, TMorphologyParams, TConvolveParams,
                 TTileParams, TImageParams, TTurbulenceParams, TDisplacementParams, TLightingParams>;

// One primitive: what it reads, where its result is kept (its subregion, each edge optional so
// that a missing one falls back to the inputs' union), the colour space it works in, what it does.
struct TFilterPrimitive {
    TFilterInput In;
    TFilterInput In2;
    std::optional<float> X, Y, Width, Height;  // subregion in canvas pixels
    bool Linear = true;
    TPrimitiveParams Params;
};

}  // namespace plumwick::filters
