#include "svg/compositing/ReferenceCycles.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "svg/base/SVGParse.h"
#include "svg/compositing/SVGMask.h"
#include "svg/core/SVGBasic.h"
#include "svg/paint/SVGPattern.h"
#include "svg/style/SVGStyle.h"

namespace plumwick {

namespace {

// Deeper chains of content are left to the guards that refuse drawing something inside itself.
constexpr int MaxChain = 64;

constexpr std::string_view ReferenceProperties[] = {"fill", "stroke", "mask"};

bool IsReferencedContent(const TSVGObject& Node)
{
    return dynamic_cast<const TSVGPattern*>(&Node) || dynamic_cast<const TSVGMask*>(&Node);
}

// The id a property names; empty for anything but a url() reference.
std::string ReferencedID(std::string_view Value)
{
    Value = TrimView(Value);
    if (Value.substr(0, 4) != "url(") return {};
    const std::size_t Close = Value.find(')');
    if (Close == std::string_view::npos) return {};
    std::string_view Ref = TrimView(Value.substr(4, Close - 4));
    if (Ref.size() >= 2 && (Ref.front() == '"' || Ref.front() == '\'') && Ref.back() == Ref.front())
        Ref = TrimView(Ref.substr(1, Ref.size() - 2));
    if (Ref.size() < 2 || Ref.front() != '#') return {};
    return std::string(Ref.substr(1));
}

// What a paint is without its reference: the fallback written after it, else none.
std::string WithoutReference(std::string_view Property, std::string_view Value)
{
    if (Property == "mask") return "none";
    Value = TrimView(Value);
    const std::string_view Fallback = TrimView(Value.substr(Value.find(')') + 1));
    return Fallback.empty() ? std::string("none") : std::string(Fallback);
}

class TCycleBreaker {
public:
    explicit TCycleBreaker(TSVGObject& Root) : FRoot(Root) {}

    void Run()
    {
        // A resource met in the document is walked as a whole; its content is not walked a second time here.
        std::vector<TSVGObject*> Stack{&FRoot};
        while (!Stack.empty()) {
            TSVGObject* Node = Stack.back();
            Stack.pop_back();
            if (IsReferencedContent(*Node)) {
                Visit(*Node, 0);
                continue;
            }
            FollowReferences(*Node, 0);
            for (int I = Node->GetCount() - 1; I >= 0; --I) Stack.push_back(Node->GetItem(I));
        }
    }

private:
    enum class TState { Walking, Done };

    TSVGObject& FRoot;
    std::unordered_map<const TSVGObject*, TState> FStates;

    void Visit(TSVGObject& Resource, int Depth)
    {
        if (FStates.contains(&Resource) || Depth > MaxChain) return;
        FStates[&Resource] = TState::Walking;
        // The resource's own properties take part too: a mask on the mask, a fill its content inherits.
        FollowReferences(Resource, Depth);
        TSVGObject* Content = &Resource;
        if (const auto* Pattern = dynamic_cast<const TSVGPattern*>(&Resource))
            if (const TSVGPattern* Own = Pattern->ResolveTile().Content) Content = const_cast<TSVGPattern*>(Own);
        std::vector<TSVGObject*> Stack;
        if (Content != &Resource) FollowReferences(*Content, Depth);
        for (int I = Content->GetCount() - 1; I >= 0; --I) Stack.push_back(Content->GetItem(I));
        while (!Stack.empty()) {
            TSVGObject* Node = Stack.back();
            Stack.pop_back();
            // Resources defined inside content are not drawn as part of it.
            if (IsReferencedContent(*Node)) continue;
            FollowReferences(*Node, Depth);
            for (int I = Node->GetCount() - 1; I >= 0; --I) Stack.push_back(Node->GetItem(I));
        }
        FStates[&Resource] = TState::Done;
    }

    void FollowReferences(TSVGObject& Node, int Depth)
    {
        bool Dropped = false;
        for (const std::string_view Property : ReferenceProperties) {
            const std::string Value = Node.GetStyle().GetValues(Property);
            const std::string ID = ReferencedID(Value);
            if (ID.empty()) continue;
            TSVGObject* Target = FRoot.FindByID(ID);
            if (!Target || !IsReferencedContent(*Target)) continue;
            const auto State = FStates.find(Target);
            if (State != FStates.end() && State->second == TState::Walking) {
                Node.GetStyle().PutValues(Property, WithoutReference(Property, Value));
                Dropped = true;
            } else if (State == FStates.end()) {
                Visit(*Target, Depth + 1);
            }
        }
        if (auto* Basic = const_cast<TSVGBasic*>(Node.AsBasic()); Basic && Dropped) Basic->ResolveStyle();
    }
};

}  // namespace

void BreakReferenceCycles(TSVGObject& Root)
{
    TCycleBreaker(Root).Run();
}

}  // namespace plumwick
