#include "svg/core/SVGBounds.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "gdip/GDIPOBJ2.h"
#include "platform/GdiPlus.h"
#include "svg/base/SVGCommon.h"
#include "svg/core/SVGBasic.h"

namespace plumwick {

std::optional<TGPRectF> SubtreeBoundingBox(const TSVGObject& Node)
{
    struct TEntry {
        const TSVGObject* Node;
        TMatrix ToTop;  // the node's user space → Node's; all zero for no change
    };
    std::optional<TGPRectF> Result;
    std::vector<TEntry> Stack{{&Node, TMatrix{}}};
    while (!Stack.empty()) {
        const TEntry Entry = Stack.back();
        Stack.pop_back();
        const TSVGBasic* Element = Entry.Node->AsBasic();
        // Text measures by its character cells, not by its glyph outlines.
        const std::optional<TGPRectF> Measure = Element ? Element->GetMeasureBox() : std::nullopt;
        TGPRectF Box = Measure.value_or(TGPRectF{});
        // A line has no area but still an extent; a lone point or an empty outline has neither.
        if (Element && (Measure || (Element->GetPath() && Element->GetPath()->GetBounds(Box) == Ok)) &&
            std::isfinite(Box.X) && std::isfinite(Box.Y) && std::isfinite(Box.Width) && std::isfinite(Box.Height) &&
            (Box.Width > 0 || Box.Height > 0)) {
            // The outline's own box, its corners taken through the transforms: a turned child counts by its
            // box turned, as browsers measure groups.
            for (const TPointF P :
                 {TPointF{Box.X, Box.Y}, TPointF{Box.X + Box.Width, Box.Y}, TPointF{Box.X, Box.Y + Box.Height},
                  TPointF{Box.X + Box.Width, Box.Y + Box.Height}}) {
                const TPointF Q = Entry.ToTop.IsTransform() ? TransformPoint(P, Entry.ToTop) : P;
                if (!Result) {
                    Result = TGPRectF{Q.X, Q.Y, 0, 0};
                    continue;
                }
                const float L = std::min(Result->X, Q.X), T = std::min(Result->Y, Q.Y);
                const float R = std::max(Result->X + Result->Width, Q.X);
                const float B = std::max(Result->Y + Result->Height, Q.Y);
                Result = TGPRectF{L, T, R - L, B - T};
            }
        }
        if (Measure) continue;  // the box already covers what lies below
        for (int I = Entry.Node->GetCount() - 1; I >= 0; --I) {
            const TSVGObject* Child = Entry.Node->GetItem(I);
            if (!OwnDisplayShows(*Child)) continue;
            TMatrix ToTop = Entry.ToTop;
            if (auto* M = dynamic_cast<const TSVGMatrix*>(Child); M && M->GetPureMatrix().IsTransform())
                ToTop = ToTop.IsTransform() ? M->GetPureMatrix() * ToTop : M->GetPureMatrix();
            Stack.push_back({Child, ToTop});
        }
    }
    return Result;
}

}  // namespace plumwick
