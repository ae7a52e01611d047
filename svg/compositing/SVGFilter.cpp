#include "svg/compositing/SVGFilter.h"

#include "svg/base/SVGParse.h"
#include "svg/core/SVGFactory.h"

namespace plumwick {

namespace {

// Deep enough for primitive > light source; anything deeper is no part of a filter.
constexpr int MaxNodeDepth = 3;

TFilterNode ReadNode(const TXmlNode& Node, int Depth)
{
    TFilterNode Result;
    Result.Name = SVGElementName(Node);
    for (const TXmlAttribute& A : Node.Attributes()) Result.Attributes[A.Name] = A.Value;
    if (auto Inline = Node.FindAttribute("style")) {
        TStyle Declarations;
        Declarations.SetValues(*Inline);
        for (int I = 0; I < Declarations.Count(); ++I)
            Result.Attributes[Declarations.GetKey(I)] = Declarations.GetValuesByNum(I);
    }
    if (Depth < MaxNodeDepth)
        for (const TXmlNode& Child : Node.ChildNodes())
            if (Child.IsElement()) Result.Children.push_back(ReadNode(Child, Depth + 1));
    return Result;
}

}  // namespace

std::string TFilterNode::Get(std::string_view Key) const
{
    auto It = Attributes.find(Key);
    return It == Attributes.end() ? std::string() : Trim(It->second);
}

TSVGObject* TSVGFilter::NewLike(TSVGObject* Parent) const
{
    return CreateIn<TSVGFilter>(Parent);
}

void TSVGFilter::AssignTo(TSVGObject& Dest) const
{
    TSVGBasic::AssignTo(Dest);
    if (auto* D = dynamic_cast<TSVGFilter*>(&Dest)) D->FPrimitives = FPrimitives;
}

void TSVGFilter::Clear()
{
    TSVGBasic::Clear();
    FPrimitives.clear();
}

void TSVGFilter::ReadIn(const TXmlNode& Node)
{
    TSVGBasic::ReadIn(Node);
    FDisplay = 0;
    FPrimitives.clear();
    for (const TXmlNode& Child : Node.ChildNodes())
        if (Child.IsElement()) FPrimitives.push_back(ReadNode(Child, 1));
}

}  // namespace plumwick
