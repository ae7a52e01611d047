#include "svg/core/SVGBounds.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "gdip/GDIPOBJ2.h"
#include "platform/GdiPlus.h"
#include "svg/base/SVGCommon.h"
#include "svg/core/SVGBasic.h"

namespace plumwick {

namespace {

TMatrix Below(const TSVGObject& Node, const TSVGObject& Top)
{
    TMatrix Result = IdentityMatrix();
    for (const TSVGObject* N = &Node; N && N != &Top; N = N->GetParent())
        if (auto* M = dynamic_cast<const TSVGMatrix*>(N); M && M->GetPureMatrix().IsTransform())
            Result = Result * M->GetPureMatrix();
    return Result;
}

}  // namespace

TGPRectF SubtreeBoundingBox(const TSVGObject& Node)
{
    float L = INFINITY, T = INFINITY, R = -INFINITY, B = -INFINITY;
    std::vector<const TSVGObject*> Stack{&Node};
    while (!Stack.empty()) {
        const TSVGObject* N = Stack.back();
        Stack.pop_back();
        const TSVGBasic* E = N->AsBasic();
        if (E && E->GetPath() && E->GetDisplayCode() != 0) {
            TGPRectF Box;
            if (E->GetPath()->GetBounds(Box) == Ok && std::isfinite(Box.Width) && std::isfinite(Box.Height)) {
                const TMatrix M = Below(*N, Node);
                for (const TPointF P :
                     {TPointF{Box.X, Box.Y}, TPointF{Box.X + Box.Width, Box.Y}, TPointF{Box.X, Box.Y + Box.Height},
                      TPointF{Box.X + Box.Width, Box.Y + Box.Height}}) {
                    const TPointF Q = TransformPoint(P, M);
                    L = std::min(L, Q.X);
                    T = std::min(T, Q.Y);
                    R = std::max(R, Q.X);
                    B = std::max(B, Q.Y);
                }
            }
        }
        for (int I = 0; I < N->GetCount(); ++I)
            if (N->GetItem(I)->GetDisplayCode() != 0) Stack.push_back(N->GetItem(I));
    }
    if (!(R >= L) || !(B >= T)) return TGPRectF{};
    return TGPRectF{L, T, R - L, B - T};
}

}  // namespace plumwick
