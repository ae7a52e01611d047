#pragma once

// filter: never painted; keeps the primitive elements below it as plain descriptions (name,
// attributes with the inline style folded in, child elements) that are turned into pixel terms
// for each element the filter is applied to.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "svg/core/SVGBasic.h"

namespace plumwick {

// One primitive element (or a light source, merge node or transfer function inside one).
struct TFilterNode {
    std::string Name;
    std::map<std::string, std::string, std::less<>> Attributes;
    std::vector<TFilterNode> Children;

    // The attribute's text, "" when absent.
    std::string Get(std::string_view Key) const;
    bool Has(std::string_view Key) const { return Attributes.find(Key) != Attributes.end(); }
};

class TSVGFilter : public TSVGBasic {
public:
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    void AssignTo(TSVGObject& Dest) const override;
    void Clear() override;
    void PaintToGraphics(TGPGraphics&) override {}
    void PaintToPath(TGPGraphicsPath&) override {}
    // Reads the filter's attributes and its primitive elements; nothing below it joins the tree.
    void ReadIn(const TXmlNode& Node) override;

    const std::vector<TFilterNode>& GetPrimitives() const { return FPrimitives; }

private:
    std::vector<TFilterNode> FPrimitives;
};

}  // namespace plumwick
