#pragma once

// Elements that establish a viewport: a nested svg and a symbol. Their content is mapped by the
// view box into the viewport (x, y, width, height) and, unless "overflow" is visible, clipped to it.

#include <optional>
#include <string>

#include "svg/base/SVGViewBox.h"
#include "svg/core/SVGBasic.h"

namespace plumwick {

// Whether "overflow" lets the content of a viewport-making element (nested svg, symbol, marker) show
// outside its viewport: "visible" and "auto" do, an unset value does not. "inherit" takes the parent's
// value, which is visible unless the parent makes a viewport of its own or says otherwise.
[[nodiscard]] bool OverflowVisible(const TSVGObject& Element);

class TSVGViewportElement : public TSVGBasic {
public:
    void AssignTo(TSVGObject& Dest) const override;
    void ReadIn(const TXmlNode& Node) override;
    [[nodiscard]] bool GetViewportClip(TRectF& Clip) const override;
    bool GetContentViewport(float& Width, float& Height) const override
    {
        Width = GetContentWidth();
        Height = GetContentHeight();
        return true;
    }

    // Lays the viewport out again: a use's width and height stand in for the element's own when given.
    // Percentages are of the nearest enclosing viewport.
    void Place(std::optional<float> UseWidth = std::nullopt, std::optional<float> UseHeight = std::nullopt);
    // Width and height of the content's coordinate system (the view box, else the viewport); what
    // percentages inside refer to.
    float GetContentWidth() const;
    float GetContentHeight() const;

protected:
    // Width and height when the attribute is absent: 100% for both elements.
    std::string FWidthText;
    std::string FHeightText;
    std::string FXText;
    std::string FYText;
    TRectF FViewBox{};
    TAspectRatio FAspect;
    TMatrix FOwnTransform{};  // the "transform" attribute, applied after the view box mapping
    bool FOverflowVisible = false;
    float FViewportWidth = 0;
    float FViewportHeight = 0;
    TRectF FClip{};  // the viewport in content coordinates
};

// A nested svg element.
class TSVGNestedSVG : public TSVGViewportElement {
public:
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    void ReadIn(const TXmlNode& Node) override;
};

// symbol: drawn only through a use, which lends it its width and height.
class TSVGSymbol : public TSVGViewportElement {
public:
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    void ReadIn(const TXmlNode& Node) override;
};

}  // namespace plumwick
