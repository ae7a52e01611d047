#include "svg/compositing/SVGFilterBuild.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "svg/base/SVGColor.h"
#include "svg/base/SVGCommon.h"
#include "svg/base/SVGParse.h"
#include "svg/compositing/SVGFilter.h"
#include "svg/compositing/filters/FilterOps.h"
#include "svg/core/SVGDocument.h"

namespace plumwick {

using namespace filters;

namespace {

// Longest href chain followed; longer ones are treated as loops.
constexpr int MaxHrefChain = 32;
// Turbulence octaves beyond this add nothing visible.
constexpr int MaxOctaves = 24;
// Largest convolution kernel side.
constexpr int MaxKernelOrder = 64;

std::string Href(const TSVGObject& O)
{
    std::string Ref = O.GetStyle().GetValues("xlink:href");
    if (Ref.empty()) Ref = O.GetStyle().GetValues("href");
    Ref = Trim(Ref);
    return Ref.size() > 1 && Ref[0] == '#' ? Ref : std::string();
}

std::optional<float> Number(std::string_view Text)
{
    float V = 0;
    const std::string_view T = TrimView(Text);
    if (T.empty() || !TryParseNumber(T, V) || !std::isfinite(V)) return std::nullopt;
    return V;
}

std::vector<float> Numbers(std::string_view Text, bool& Ok)
{
    std::vector<float> Out;
    Ok = true;
    for (const std::string& Item : SplitValues(Text, ',')) {
        auto V = Number(Item);
        if (!V) {
            Ok = false;
            return {};
        }
        Out.push_back(*V);
    }
    return Out;
}

// A coordinate or length of the filter or a primitive: for bounding-box units a fraction (or a
// percentage of it) of the box, otherwise a user length (a percentage of the viewport's side).
std::optional<float> Length(std::string_view Text, bool BoxUnits, float ViewportSide)
{
    const std::string_view T = TrimView(Text);
    if (T.empty()) return std::nullopt;
    if (T.back() == '%') {
        auto V = Number(T.substr(0, T.size() - 1));
        if (!V) return std::nullopt;
        return BoxUnits ? *V / 100 : *V / 100 * ViewportSide;
    }
    if (BoxUnits) return Number(T);
    float V = 0;
    if (!TryParseNumber(T, V)) {
        V = ParseLength(T);  // with a unit
        if (V == 0 && !T.starts_with("0")) return std::nullopt;
    }
    return std::isfinite(V) ? std::optional<float>(V) : std::nullopt;
}

float ScaleX(const TMatrix& M)
{
    return std::hypot(M.m11, M.m12);
}
float ScaleY(const TMatrix& M)
{
    return std::hypot(M.m21, M.m22);
}

}  // namespace

std::optional<TFilterColor> ParseCssColor(std::string_view Text)
{
    const std::string T = Trim(Text);
    if (T == "transparent") return TFilterColor{0, 0, 0, 0};
    const std::size_t Open = T.find('(');
    if (Open != std::string::npos && T.back() == ')') {
        const std::string Name = T.substr(0, Open);
        std::vector<std::string> Args = SplitValues(std::string_view(T).substr(Open + 1, T.size() - Open - 2), ',');
        if (Args.size() == 4 && (Args[3] == "/")) Args.erase(Args.begin() + 3);
        auto Part = [](const std::string& A, float Full) -> std::optional<float> {
            if (!A.empty() && A.back() == '%') {
                auto V = Number(A.substr(0, A.size() - 1));
                return V ? std::optional<float>(*V / 100 * Full) : std::nullopt;
            }
            return Number(A);
        };
        if ((Name == "rgb" || Name == "rgba" || Name == "hsl" || Name == "hsla") &&
            (Args.size() == 3 || Args.size() == 4)) {
            float Alpha = 1;
            if (Args.size() == 4) {
                auto A = Part(Args[3], 1);
                if (!A) return std::nullopt;
                Alpha = Clamp01(*A);
            }
            if (Name[0] == 'r') {
                float V[3];
                for (int K = 0; K < 3; ++K) {
                    auto P = Part(Args[K], 255);
                    if (!P) return std::nullopt;
                    V[K] = Clamp01(*P / 255);
                }
                return TFilterColor{V[0], V[1], V[2], Alpha};
            }
            std::string HueText = Args[0];
            if (HueText.ends_with("deg")) HueText.resize(HueText.size() - 3);
            auto H = Number(HueText);
            auto S = Part(Args[1], 1), L = Part(Args[2], 1);
            if (!H || !S || !L) return std::nullopt;
            const float Hue = std::fmod(std::fmod(*H, 360.0f) + 360.0f, 360.0f) / 360.0f;
            const float Sat = Clamp01(*S), Light = Clamp01(*L);
            const float Q = Light < 0.5f ? Light * (1 + Sat) : Light + Sat - Light * Sat, P = 2 * Light - Q;
            auto Channel = [&](float X) {
                X = X < 0 ? X + 1 : X > 1 ? X - 1 : X;
                if (X < 1.0f / 6) return P + (Q - P) * 6 * X;
                if (X < 0.5f) return Q;
                if (X < 2.0f / 3) return P + (Q - P) * (2.0f / 3 - X) * 6;
                return P;
            };
            return TFilterColor{Channel(Hue + 1.0f / 3), Channel(Hue), Channel(Hue - 1.0f / 3), Alpha};
        }
    }
    const TColor V = ParseColor(T);
    if (V < 0) return std::nullopt;
    return TFilterColor{float(V & 0xFF) / 255, float((V >> 8) & 0xFF) / 255, float((V >> 16) & 0xFF) / 255, 1};
}

TUserRect DeviceBox(const TUserRect& R, const TMatrix& M)
{
    const TPointF P[4] = {TransformPoint({R.X, R.Y}, M), TransformPoint({R.X + R.Width, R.Y}, M),
                          TransformPoint({R.X, R.Y + R.Height}, M), TransformPoint({R.X + R.Width, R.Y + R.Height}, M)};
    float L = P[0].X, T = P[0].Y, Rt = P[0].X, B = P[0].Y;
    for (const TPointF& Q : P) {
        L = std::min(L, Q.X);
        T = std::min(T, Q.Y);
        Rt = std::max(Rt, Q.X);
        B = std::max(B, Q.Y);
    }
    return {L, T, Rt - L, B - T};
}

TResolvedFilter ResolveFilter(const TSVGFilter& Filter, TSVG* Root)
{
    TResolvedFilter R;
    std::set<const TSVGObject*> Seen;
    const TSVGObject* Current = &Filter;
    for (int Step = 0; Current && Step < MaxHrefChain && Seen.insert(Current).second; ++Step) {
        const auto* F = dynamic_cast<const TSVGFilter*>(Current);
        if (!F) break;
        const TStyle& S = F->GetStyle();
        auto Take = [&S](std::string& Field, std::string_view Key) {
            if (Field.empty()) Field = Trim(S.GetValues(Key));
        };
        Take(R.X, "x");
        Take(R.Y, "y");
        Take(R.Width, "width");
        Take(R.Height, "height");
        Take(R.FilterUnits, "filterUnits");
        Take(R.PrimitiveUnits, "primitiveUnits");
        if (!R.Primitives && !F->GetPrimitives().empty()) R.Primitives = F;
        const std::string Ref = Href(*F);
        Current = Ref.empty() || !Root ? nullptr : Root->FindByID(Ref.substr(1));
    }
    return R;
}

std::optional<TUserRect> FilterRegion(const TResolvedFilter& Filter, const TFilterTarget& Target)
{
    const bool Box = Filter.FilterUnits != "userSpaceOnUse";
    TUserRect Ref{0, 0, Target.ViewportWidth, Target.ViewportHeight};
    if (Box) {
        if (!Target.BBox || !(Target.BBox->Width > 0) || !(Target.BBox->Height > 0)) return std::nullopt;
        Ref = *Target.BBox;
    }
    auto Get = [&](const std::string& Text, float Default, float Side) {
        auto V = Length(Text, Box, Side);
        return V ? *V : Default;
    };
    TUserRect R;
    if (Box) {
        R.X = Ref.X + Get(Filter.X, -0.1f, 0) * Ref.Width;
        R.Y = Ref.Y + Get(Filter.Y, -0.1f, 0) * Ref.Height;
        R.Width = Get(Filter.Width, 1.2f, 0) * Ref.Width;
        R.Height = Get(Filter.Height, 1.2f, 0) * Ref.Height;
    } else {
        R.X = Get(Filter.X, -0.1f * Ref.Width, Ref.Width);
        R.Y = Get(Filter.Y, -0.1f * Ref.Height, Ref.Height);
        R.Width = Get(Filter.Width, 1.2f * Ref.Width, Ref.Width);
        R.Height = Get(Filter.Height, 1.2f * Ref.Height, Ref.Height);
    }
    if (!(R.Width > 0) || !(R.Height > 0) || !std::isfinite(R.X + R.Y + R.Width + R.Height)) return std::nullopt;
    return R;
}

namespace {

class TPrimitiveBuilder {
public:
    TPrimitiveBuilder(const TResolvedFilter& F, const TFilterTarget& T, const TUserRect& Region, const TFilterCanvas& C)
        : FFilter(F), FTarget(T), FRegion(Region), FCanvas(C), FBox(F.PrimitiveUnits == "objectBoundingBox")
    {
        FBBox = T.BBox.value_or(TUserRect{0, 0, 0, 0});
        FCanvasMatrix = T.UserToDevice * CreateTranslation(-float(C.OriginX), -float(C.OriginY));
    }

    std::vector<TFilterPrimitive> Build()
    {
        std::vector<TFilterPrimitive> Out;
        if (!FFilter.Primitives) return Out;
        for (const TFilterNode& Node : FFilter.Primitives->GetPrimitives()) {
            std::optional<TFilterPrimitive> P = Primitive(Node, static_cast<int>(Out.size()));
            if (!P) continue;  // not a primitive: skipped
            const std::string Result = Node.Get("result");
            Out.push_back(std::move(*P));
            if (!Result.empty()) FResults[Result] = static_cast<int>(Out.size()) - 1;
        }
        return Out;
    }

private:
    // A length along x or y of primitive units in user units.
    float UserLengthX(float V) const { return FBox ? V * FBBox.Width : V; }
    float UserLengthY(float V) const { return FBox ? V * FBBox.Height : V; }
    float PixelsX(float V) const { return UserLengthX(V) * ScaleX(FCanvasMatrix); }
    float PixelsY(float V) const { return UserLengthY(V) * ScaleY(FCanvasMatrix); }

    TFilterInput Input(const std::string& Text, int Self) const
    {
        if (Text == "SourceGraphic") return {TFilterInput::TKind::SourceGraphic};
        if (Text == "SourceAlpha") return {TFilterInput::TKind::SourceAlpha};
        if (Text == "BackgroundImage" || Text == "BackgroundAlpha" || Text == "FillPaint" || Text == "StrokePaint")
            return {TFilterInput::TKind::Empty};
        auto It = FResults.find(Text);
        if (It != FResults.end() && It->second < Self) return {TFilterInput::TKind::Result, It->second};
        // No such result: as if the input were not given.
        return {Self == 0 ? TFilterInput::TKind::SourceGraphic : TFilterInput::TKind::Previous};
    }

    // A property of a primitive, or inherited from the filter element and its ancestors.
    std::string Inherited(const TFilterNode& Node, std::string_view Key) const
    {
        std::string V = Node.Get(Key);
        for (const TSVGObject* P = FFilter.Primitives; (V.empty() || V == "inherit") && P; P = P->GetParent())
            V = Trim(P->GetStyle().GetValues(Key));
        return V == "inherit" ? std::string() : V;
    }

    TFilterColor Color(const TFilterNode& Node, std::string_view ColorKey, std::string_view OpacityKey,
                       TFilterColor Default) const
    {
        TFilterColor C = Default;
        std::string Text = Node.Get(ColorKey);
        if (Text == "inherit") Text = Inherited(Node, ColorKey);
        if (Text == "currentColor") Text = Inherited(Node, "color");
        if (auto Parsed = ParseCssColor(Text)) C = *Parsed;
        if (!OpacityKey.empty() && Node.Has(OpacityKey)) {
            const std::string O = Node.Get(OpacityKey);
            const float A = !O.empty() && O.back() == '%' ? Number(O.substr(0, O.size() - 1)).value_or(100) / 100
                                                          : Number(O).value_or(1);
            C.A *= Clamp01(A);
        }
        return C;
    }

    bool LinearSpace(const TFilterNode& Node) const
    {
        std::string V = Node.Get("color-interpolation-filters");
        if (V.empty() || V == "inherit" || V == "auto")
            V = Trim(FFilter.Primitives->GetStyle().GetValues("color-interpolation-filters"));
        for (const TSVGObject* P = FFilter.Primitives->GetParent(); (V.empty() || V == "inherit") && P;
             P = P->GetParent())
            V = Trim(P->GetStyle().GetValues("color-interpolation-filters"));
        return V != "sRGB";
    }

    void Subregion(const TFilterNode& Node, TFilterPrimitive& P) const
    {
        auto Get = [&](std::string_view Key, float Side) { return Length(Node.Get(Key), FBox, Side); };
        const auto X = Get("x", FTarget.ViewportWidth), Y = Get("y", FTarget.ViewportHeight);
        const auto W = Get("width", FTarget.ViewportWidth), H = Get("height", FTarget.ViewportHeight);
        if (!X && !Y && !W && !H) return;
        TUserRect U = FRegion;
        if (X) U.X = FBox ? FBBox.X + *X * FBBox.Width : *X;
        if (Y) U.Y = FBox ? FBBox.Y + *Y * FBBox.Height : *Y;
        if (W) U.Width = FBox ? *W * FBBox.Width : *W;
        if (H) U.Height = FBox ? *H * FBBox.Height : *H;
        const TUserRect D = DeviceBox(U, FCanvasMatrix);
        if (X) P.X = D.X;
        if (Y) P.Y = D.Y;
        if (W) P.Width = U.Width <= 0 ? 0 : D.Width;
        if (H) P.Height = U.Height <= 0 ? 0 : D.Height;
        FLastUserSubregion = U;
    }

    std::optional<TFilterPrimitive> Primitive(const TFilterNode& Node, int Self);
    std::optional<TPrimitiveParams> Params(const TFilterNode& Node, TFilterPrimitive& P, int Self);
    TLightSource Light(const TFilterNode& Node) const;

    const TResolvedFilter& FFilter;
    const TFilterTarget& FTarget;
    TUserRect FRegion;
    TFilterCanvas FCanvas;
    bool FBox;
    TUserRect FBBox;
    TMatrix FCanvasMatrix;
    std::map<std::string, int, std::less<>> FResults;
    mutable TUserRect FLastUserSubregion;
};

std::optional<TFilterPrimitive> TPrimitiveBuilder::Primitive(const TFilterNode& Node, int Self)
{
    TFilterPrimitive P;
    P.In = Node.Has("in")
               ? Input(Node.Get("in"), Self)
               : TFilterInput{Self == 0 ? TFilterInput::TKind::SourceGraphic : TFilterInput::TKind::Previous};
    P.In2 = Node.Has("in2")
                ? Input(Node.Get("in2"), Self)
                : TFilterInput{Self == 0 ? TFilterInput::TKind::SourceGraphic : TFilterInput::TKind::Previous};
    P.Linear = LinearSpace(Node);
    FLastUserSubregion = FRegion;
    Subregion(Node, P);
    std::optional<TPrimitiveParams> Made = Params(Node, P, Self);
    if (!Made) return std::nullopt;
    P.Params = std::move(*Made);
    return P;
}

TLightSource TPrimitiveBuilder::Light(const TFilterNode& Node) const
{
    TLightSource L;
    for (const TFilterNode& C : Node.Children) {
        auto Num = [&C](std::string_view Key, float Default) { return Number(C.Get(Key)).value_or(Default); };
        auto Point = [&](float X, float Y) {
            if (FBox) {
                X = FBBox.X + X * FBBox.Width;
                Y = FBBox.Y + Y * FBBox.Height;
            }
            return TransformPoint({X, Y}, FCanvasMatrix);
        };
        auto Depth = [&](float Z) {
            if (FBox) Z *= std::sqrt((FBBox.Width * FBBox.Width + FBBox.Height * FBBox.Height) / 2);
            return Z *
                   std::sqrt(std::abs(FCanvasMatrix.m11 * FCanvasMatrix.m22 - FCanvasMatrix.m12 * FCanvasMatrix.m21));
        };
        if (C.Name == "feDistantLight") {
            L.Kind = TLightSource::TKind::Distant;
            L.Azimuth = Num("azimuth", 0);
            L.Elevation = Num("elevation", 0);
            return L;
        }
        if (C.Name == "fePointLight" || C.Name == "feSpotLight") {
            L.Kind = C.Name == "fePointLight" ? TLightSource::TKind::Point : TLightSource::TKind::Spot;
            const TPointF P = Point(Num("x", 0), Num("y", 0));
            L.X = P.X;
            L.Y = P.Y;
            L.Z = Depth(Num("z", 0));
            const TPointF At = Point(Num("pointsAtX", 0), Num("pointsAtY", 0));
            L.PointsAtX = At.X;
            L.PointsAtY = At.Y;
            L.PointsAtZ = Depth(Num("pointsAtZ", 0));
            L.SpecularExponent = Num("specularExponent", 1);
            if (auto Cone = Number(C.Get("limitingConeAngle"))) L.LimitingConeAngle = *Cone;
            return L;
        }
    }
    return L;
}

std::optional<TPrimitiveParams> TPrimitiveBuilder::Params(const TFilterNode& Node, TFilterPrimitive& P, int Self)
{
    const std::string& Name = Node.Name;
    bool Ok = true;
    if (Name == "feGaussianBlur" || Name == "feDropShadow") {
        std::vector<float> D = Numbers(Node.Get("stdDeviation"), Ok);
        float SX = Name == "feDropShadow" ? 2 : 0, SY = SX;
        if (Ok && D.size() == 1)
            SX = SY = D[0];
        else if (Ok && D.size() == 2)
            SX = D[0], SY = D[1];
        const TOffsetParams Pass{};
        if (SX < 0 || SY < 0) {
            // A negative deviation leaves the input as it is.
            if (Name == "feGaussianBlur") return Pass;
            SX = SY = 0;
        }
        if (Name == "feGaussianBlur") return TBlurParams{PixelsX(SX), PixelsY(SY)};
        TDropShadowParams S;
        S.SX = PixelsX(SX);
        S.SY = PixelsY(SY);
        const float DX = UserLengthX(Number(Node.Get("dx")).value_or(2)),
                    DY = UserLengthY(Number(Node.Get("dy")).value_or(2));
        const TPointF O = TransformPoint({DX, DY}, FCanvasMatrix), Z = TransformPoint({0, 0}, FCanvasMatrix);
        S.DX = O.X - Z.X;
        S.DY = O.Y - Z.Y;
        S.Color = Color(Node, "flood-color", "flood-opacity", {0, 0, 0, 1});
        return S;
    }
    if (Name == "feOffset") {
        const float DX = UserLengthX(Number(Node.Get("dx")).value_or(0)),
                    DY = UserLengthY(Number(Node.Get("dy")).value_or(0));
        const TPointF O = TransformPoint({DX, DY}, FCanvasMatrix), Z = TransformPoint({0, 0}, FCanvasMatrix);
        return TOffsetParams{O.X - Z.X, O.Y - Z.Y};
    }
    if (Name == "feFlood") return TFloodParams{Color(Node, "flood-color", "flood-opacity", {0, 0, 0, 1})};
    if (Name == "feMerge") {
        TMergeParams M;
        for (const TFilterNode& C : Node.Children)
            if (C.Name == "feMergeNode")
                M.Inputs.push_back(C.Has("in") ? Input(C.Get("in"), Self)
                                               : TFilterInput{Self == 0 ? TFilterInput::TKind::SourceGraphic
                                                                        : TFilterInput::TKind::Previous});
        return M;
    }
    if (Name == "feComposite") {
        static const std::map<std::string, TCompositeOperator, std::less<>> Ops = {
            {"over", TCompositeOperator::Over}, {"in", TCompositeOperator::In},
            {"out", TCompositeOperator::Out},   {"atop", TCompositeOperator::Atop},
            {"xor", TCompositeOperator::Xor},   {"arithmetic", TCompositeOperator::Arithmetic}};
        TCompositeParams C;
        auto It = Ops.find(Node.Get("operator"));
        if (It != Ops.end()) C.Operator = It->second;
        C.K1 = Number(Node.Get("k1")).value_or(0);
        C.K2 = Number(Node.Get("k2")).value_or(0);
        C.K3 = Number(Node.Get("k3")).value_or(0);
        C.K4 = Number(Node.Get("k4")).value_or(0);
        return C;
    }
    if (Name == "feBlend") {
        static const std::map<std::string, TBlendMode, std::less<>> Modes = {{"normal", TBlendMode::Normal},
                                                                             {"multiply", TBlendMode::Multiply},
                                                                             {"screen", TBlendMode::Screen},
                                                                             {"overlay", TBlendMode::Overlay},
                                                                             {"darken", TBlendMode::Darken},
                                                                             {"lighten", TBlendMode::Lighten},
                                                                             {"color-dodge", TBlendMode::ColorDodge},
                                                                             {"color-burn", TBlendMode::ColorBurn},
                                                                             {"hard-light", TBlendMode::HardLight},
                                                                             {"soft-light", TBlendMode::SoftLight},
                                                                             {"difference", TBlendMode::Difference},
                                                                             {"exclusion", TBlendMode::Exclusion},
                                                                             {"hue", TBlendMode::Hue},
                                                                             {"saturation", TBlendMode::Saturation},
                                                                             {"color", TBlendMode::Color},
                                                                             {"luminosity", TBlendMode::Luminosity}};
        auto It = Modes.find(Node.Get("mode"));
        return TBlendParams{It != Modes.end() ? It->second : TBlendMode::Normal};
    }
    if (Name == "feColorMatrix") {
        const std::string Type = Node.Get("type");
        const bool HasValues = Node.Has("values");
        std::vector<float> V = Numbers(Node.Get("values"), Ok);
        if (Type == "saturate") return HasValues && Ok && V.size() == 1 ? SaturateMatrix(V[0]) : TColorMatrixParams{};
        if (Type == "hueRotate") return HasValues && Ok && V.size() == 1 ? HueRotateMatrix(V[0]) : TColorMatrixParams{};
        if (Type == "luminanceToAlpha") return LuminanceToAlphaMatrix();
        TColorMatrixParams M;
        if (Ok && V.size() == 20) std::copy(V.begin(), V.end(), M.M.begin());
        return M;
    }
    if (Name == "feComponentTransfer") {
        TComponentTransferParams T;
        static constexpr std::string_view Funcs[4] = {"feFuncR", "feFuncG", "feFuncB", "feFuncA"};
        for (const TFilterNode& C : Node.Children)
            for (int K = 0; K < 4; ++K) {
                if (C.Name != Funcs[K]) continue;
                TTransferFunction F;
                const std::string Type = C.Get("type");
                bool ListOk = true;
                F.TableValues = Numbers(C.Get("tableValues"), ListOk);
                if (Type == "table" && ListOk)
                    F.Type = TTransferType::Table;
                else if (Type == "discrete" && ListOk)
                    F.Type = TTransferType::Discrete;
                else if (Type == "linear")
                    F.Type = TTransferType::Linear;
                else if (Type == "gamma")
                    F.Type = TTransferType::Gamma;
                F.Slope = Number(C.Get("slope")).value_or(1);
                F.Intercept = Number(C.Get("intercept")).value_or(0);
                F.Amplitude = Number(C.Get("amplitude")).value_or(1);
                F.Exponent = Number(C.Get("exponent")).value_or(1);
                F.Offset = Number(C.Get("offset")).value_or(0);
                T.Functions[K] = std::move(F);
            }
        return T;
    }
    if (Name == "feMorphology") {
        std::vector<float> R = Numbers(Node.Get("radius"), Ok);
        float RX = 0, RY = 0;
        if (!Node.Has("radius")) R.clear();
        if (Ok && R.size() == 1)
            RX = RY = R[0];
        else if (Ok && R.size() == 2)
            RX = R[0], RY = R[1];
        if (RX < 0 || RY < 0 || (RX == 0 && RY == 0)) return TOffsetParams{};  // nothing to do: the input as it is
        return TMorphologyParams{Node.Get("operator") == "dilate", PixelsX(RX), PixelsY(RY)};
    }
    if (Name == "feConvolveMatrix") {
        TConvolveParams C;
        std::vector<float> Order = Numbers(Node.Get("order"), Ok);
        if (!Node.Has("order")) Order = {3};
        if (!Ok || Order.empty() || Order.size() > 2) return TFloodParams{{0, 0, 0, 0}};
        const float OX = Order[0], OY = Order.size() == 2 ? Order[1] : Order[0];
        if (OX < 1 || OY < 1 || OX != std::floor(OX) || OY != std::floor(OY) || OX > MaxKernelOrder ||
            OY > MaxKernelOrder)
            return TFloodParams{{0, 0, 0, 0}};
        C.OrderX = int(OX);
        C.OrderY = int(OY);
        C.Kernel = Numbers(Node.Get("kernelMatrix"), Ok);
        if (!Ok || C.Kernel.size() != std::size_t(C.OrderX) * std::size_t(C.OrderY)) return TFloodParams{{0, 0, 0, 0}};
        float Sum = 0;
        for (float K : C.Kernel) Sum += K;
        C.Divisor = Number(Node.Get("divisor")).value_or(Sum == 0 ? 1 : Sum);
        if (C.Divisor == 0) C.Divisor = 1;
        C.Bias = Number(Node.Get("bias")).value_or(0);
        C.TargetX = Node.Has("targetX") ? int(Number(Node.Get("targetX")).value_or(-1)) : C.OrderX / 2;
        C.TargetY = Node.Has("targetY") ? int(Number(Node.Get("targetY")).value_or(-1)) : C.OrderY / 2;
        if (C.TargetX < 0 || C.TargetX >= C.OrderX || C.TargetY < 0 || C.TargetY >= C.OrderY)
            return TFloodParams{{0, 0, 0, 0}};
        const std::string Edge = Node.Get("edgeMode");
        C.EdgeMode = Edge == "wrap" ? TEdgeMode::Wrap : Edge == "none" ? TEdgeMode::None : TEdgeMode::Duplicate;
        C.PreserveAlpha = Node.Get("preserveAlpha") == "true";
        return C;
    }
    if (Name == "feTile") return TTileParams{};
    if (Name == "feTurbulence") {
        TTurbulenceParams T;
        std::vector<float> F = Numbers(Node.Get("baseFrequency"), Ok);
        if (Ok && F.size() == 1)
            T.BaseFrequencyX = T.BaseFrequencyY = F[0];
        else if (Ok && F.size() == 2)
            T.BaseFrequencyX = F[0], T.BaseFrequencyY = F[1];
        if (T.BaseFrequencyX < 0 || T.BaseFrequencyY < 0) return TFloodParams{{0, 0, 0, 0}};
        T.Octaves = std::clamp(static_cast<int>(Number(Node.Get("numOctaves")).value_or(1)), 0, MaxOctaves);
        T.Seed = Number(Node.Get("seed")).value_or(0);
        T.Stitch = Node.Get("stitchTiles") == "stitch";
        T.FractalNoise = Node.Get("type") == "fractalNoise";
        // Canvas pixel → user space.
        const TMatrix& M = FCanvasMatrix;
        const float Det = M.m11 * M.m22 - M.m12 * M.m21;
        if (Det == 0 || !std::isfinite(Det)) return TFloodParams{{0, 0, 0, 0}};
        const float A = M.m22 / Det, B = -M.m12 / Det, C = -M.m21 / Det, D = M.m11 / Det;
        T.PixelToUser = {A, B, C, D, -(M.m31 * A + M.m32 * C), -(M.m31 * B + M.m32 * D)};
        T.TileX = FLastUserSubregion.X;
        T.TileY = FLastUserSubregion.Y;
        T.TileWidth = FLastUserSubregion.Width;
        T.TileHeight = FLastUserSubregion.Height;
        return T;
    }
    if (Name == "feDisplacementMap") {
        TDisplacementParams D;
        const float S = Number(Node.Get("scale")).value_or(0);
        D.ScaleX = PixelsX(S);
        D.ScaleY = PixelsY(S);
        auto Channel = [](const std::string& V) {
            return V == "R" ? TChannel::R : V == "G" ? TChannel::G : V == "B" ? TChannel::B : TChannel::A;
        };
        D.XChannel = Channel(Node.Get("xChannelSelector"));
        D.YChannel = Channel(Node.Get("yChannelSelector"));
        return D;
    }
    if (Name == "feDiffuseLighting" || Name == "feSpecularLighting") {
        TLightingParams L;
        L.Specular = Name == "feSpecularLighting";
        L.SurfaceScale = Number(Node.Get("surfaceScale")).value_or(1);
        L.Constant = Number(Node.Get(L.Specular ? "specularConstant" : "diffuseConstant")).value_or(1);
        L.SpecularExponent = Number(Node.Get("specularExponent")).value_or(1);
        L.Color = Color(Node, "lighting-color", "", {1, 1, 1, 1});
        L.Light = Light(Node);
        if (L.Specular && (L.SpecularExponent < 1 || L.SpecularExponent > 128)) return TFloodParams{{0, 0, 0, 0}};
        return L;
    }
    if (Name == "feImage") {
        if (!FTarget.ImageSource) return TFloodParams{{0, 0, 0, 0}};
        return TImageParams{FTarget.ImageSource(Node, FLastUserSubregion)};
    }
    (void)P;
    return std::nullopt;
}

}  // namespace

std::vector<TFilterPrimitive> BuildPrimitives(const TResolvedFilter& Filter, const TFilterTarget& Target,
                                              const TUserRect& Region, const TFilterCanvas& Canvas)
{
    return TPrimitiveBuilder(Filter, Target, Region, Canvas).Build();
}

}  // namespace plumwick
