#pragma once

// Test-only element classes: a rectangle outline ("box") and a group that reads its children
// ("g"), registered per document so the core is tested without the real element classes.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "gdip/GDIPOBJ2.h"
#include "platform/GdiPlus.h"
#include "svg/core/SVGDocument.h"

namespace plumwick::testing {

class TTestBox : public TSVGBasic {
public:
    TSVGObject* NewLike(TSVGObject* Parent) const override { return CreateIn<TTestBox>(Parent); }
    void ReadIn(const TXmlNode& Node) override
    {
        TSVGBasic::ReadIn(Node);
        BuildPath();
    }
    void BuildPath() override
    {
        TSVGBasic::BuildPath();
        FPath = std::make_unique<TGPGraphicsPath2>(FillModeAlternate);
        EXPECT_EQ(FPath->AddRectangle(FX, FY, FWidth, FHeight), Ok);
    }
    void UpdateBounds() override
    {
        FBounds.TopLeft = TransformPoint(FX, FY);
        FBounds.TopRight = TransformPoint(FX + FWidth, FY);
        FBounds.BottomLeft = TransformPoint(FX, FY + FHeight);
        FBounds.BottomRight = TransformPoint(FX + FWidth, FY + FHeight);
    }
};

class TTestGroup : public TSVGBasic {
public:
    TSVGObject* NewLike(TSVGObject* Parent) const override { return CreateIn<TTestGroup>(Parent); }
    // Without recomposing, unlike SetPureMatrix (which looks up the ancestors).
    void SetOwnTransform(const TMatrix& M) { FPureMatrix = M; }
    void ReadIn(const TXmlNode& Node) override
    {
        TSVGBasic::ReadIn(Node);
        LoadChildNodes(Node);
    }
};

inline std::unique_ptr<TSVG> NewTestDocument()
{
    auto Svg = std::make_unique<TSVG>();
    Svg->RegisterElement("g", &CreateElement<TTestGroup>);
    Svg->RegisterElement("box", &CreateElement<TTestBox>);
    return Svg;
}

inline std::unique_ptr<TSVG> LoadTestDocument(std::string_view Text)
{
    auto Svg = NewTestDocument();
    Svg->LoadFromText(Text);
    return Svg;
}

template <class T = TSVGBasic>
T* Find(TSVG& Svg, std::string_view ID)
{
    return dynamic_cast<T*>(Svg.FindByID(ID));
}

// A painted picture with straight ARGB pixel reads.
struct TPicture {
    TGPBitmap Bitmap;
    TPicture(int W, int H) : Bitmap(W, H) {}
    ARGB At(int X, int Y) const
    {
        ARGB C = 0;
        EXPECT_EQ(Bitmap.GetPixel(X, Y, C), Ok);
        return C;
    }
};

inline std::unique_ptr<TPicture> Paint(TSVG& Svg, int W, int H, std::span<const TRect> Rects = {})
{
    auto Picture = std::make_unique<TPicture>(W, H);
    {
        TGPGraphics Graphics(&Picture->Bitmap);
        Svg.PaintTo(Graphics, TGPRectF{0, 0, float(W), float(H)}, Rects);
        EXPECT_EQ(Graphics.Flush(), Ok);
    }
    return Picture;
}

}  // namespace plumwick::testing
