// The path element: reading "d" into segments, the outline and the bounds.
#include "svg/shapes/SVGPath.h"

#include "gdip/GDIPOBJ2.h"
#include "svg/base/SVGCommon.h"
#include "svg/base/SVGError.h"
#include "svg/core/SVGDocument.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

namespace plumwick {

namespace {

// Creates the segment object of a command letter under Parent; nullptr for other characters.
TSVGPathElement* CreateSegment(char letter, TSVGPath& Parent)
{
    switch (letter) {
        case 'M':
        case 'm':
            return TSVGObject::CreateIn<TSVGPathMove>(&Parent);
        case 'L':
        case 'l':
        case 'H':
        case 'h':
        case 'V':
        case 'v':
            return TSVGObject::CreateIn<TSVGPathLine>(&Parent);
        case 'Z':
        case 'z':
            return TSVGObject::CreateIn<TSVGPathClose>(&Parent);
        case 'C':
        case 'c':
        case 'S':
        case 's':
        case 'Q':
        case 'q':
        case 'T':
        case 't':
            return TSVGObject::CreateIn<TSVGPathCurve>(&Parent);
        case 'A':
        case 'a':
            return TSVGObject::CreateIn<TSVGPathEllipticArc>(&Parent);
        default:
            return nullptr;
    }
}

// "fill-rule" as declared on the element or its nearest ancestor that declares it (it inherits).
FillMode DeclaredFillMode(const TSVGObject* Node)
{
    for (; Node; Node = Node->GetParent()) {
        const std::string rule = Node->GetStyle().GetValues("fill-rule");
        if (rule == "evenodd") return FillModeAlternate;
        if (rule == "nonzero") return FillModeWinding;
    }
    return FillModeWinding;
}

}  // namespace

TSVGObject* TSVGPath::NewLike(TSVGObject* Parent) const
{
    return TSVGObject::CreateIn<TSVGPath>(Parent);
}

void TSVGPath::ReadIn(const TXmlNode& Node)
{
    TSVGBasic::ReadIn(Node);
    std::string data;
    LoadString(Node, "d", data);
    LoadPathData(data);
}

void TSVGPath::LoadPathData(std::string_view Data)
{
    FreeChildren();
    std::string text(Data);
    std::replace(text.begin(), text.end(), ',', ' ');
    const TPathTokens tokens(pathdata::ParsePathData(text));
    if (TSVG* root = GetRoot()) {
        long segments = 0;
        for (int i = 0; i < tokens.Count(); ++i)
            segments += !tokens.Get(i).empty() && pathdata::IsCommandLetter(tokens.Get(i).front());
        root->CountLoadedObjects(segments);
    }
    const TSVGPathElement* previous = nullptr;
    for (int i = 0; i < tokens.Count(); ++i) {
        const std::string& token = tokens.Get(i);
        if (TSVGPathElement* segment = CreateSegment(token.empty() ? '\0' : token[0], *this)) {
            // Path data must begin with a move; anything else is an error before the first segment.
            if (!previous && !dynamic_cast<TSVGPathMove*>(segment)) {
                Delete(GetCount() - 1);
                break;
            }
            try {
                segment->Read(tokens, i, previous);
            } catch (const ESVGError&) {
                // Data that ends inside a command: what came before it is drawn, as SVG's error rule says,
                // and the unfinished segment is left out.
                Delete(GetCount() - 1);
                break;
            }
            previous = segment;
        }
    }
    BuildPath();
}

void TSVGPath::BuildPath()
{
    TSVGBasic::BuildPath();
    FPath = std::make_unique<TGPGraphicsPath2>(DeclaredFillMode(this));
    for (int i = 0; i < GetCount(); ++i)
        if (auto* segment = dynamic_cast<const TSVGPathElement*>(GetItem(i))) segment->AddToPath(*FPath);
}

void TSVGPath::PrePaint(TGPGraphics&, TGPBrush*, TGPPen*)
{
    if (const int rule = GetFillRule(); rule != FillRuleNotSet && FPath)
        FPath->SetFillMode(rule == FillRuleEvenOdd ? FillModeAlternate : FillModeWinding);
}

void TSVGPath::UpdateBounds()
{
    constexpr float Largest = std::numeric_limits<float>::max();
    float left = Largest, top = Largest, right = -Largest, bottom = -Largest;
    bool any = false;
    for (int i = 0; i < GetCount(); ++i) {
        auto* segment = dynamic_cast<const TSVGPathElement*>(GetItem(i));
        if (!segment) continue;
        const TRectF box = segment->GetBounds();
        if (box.Width() == 0 && box.Height() == 0) continue;
        any = true;
        left = std::min(left, box.Left);
        top = std::min(top, box.Top);
        right = std::max(right, box.Right);
        bottom = std::max(bottom, box.Bottom);
    }
    if (!any) left = top = right = bottom = 0;
    float w = GetStrokeWidth();
    if (w < 0 || std::isnan(w)) w = 0;
    const float h = w / 2;
    FBounds.TopLeft = TransformPoint(left - h, top - h);
    FBounds.TopRight = TransformPoint(right + h, top - h);
    FBounds.BottomRight = TransformPoint(right + h, bottom + h);
    FBounds.BottomLeft = TransformPoint(left - h, bottom + h);
}

}  // namespace plumwick
