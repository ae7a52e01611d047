#include "svg/structure/SVGNesting.h"

#include "svg/core/SVGBasic.h"

namespace plumwick {

namespace {
thread_local int ReferenceDepth = 0;
}

TReferenceGuard::TReferenceGuard(bool& Busy) : FBusy(Busy)
{
    if (FBusy || ReferenceDepth >= SVGMaxReferenceDepth) return;
    FBusy = true;
    ++ReferenceDepth;
    FEntered = true;
}

TReferenceGuard::~TReferenceGuard()
{
    if (!FEntered) return;
    FBusy = false;
    --ReferenceDepth;
}

void PaintChildren(TSVGObject& Parent, TGPGraphics& Graphics)
{
    for (int I = 0; I < Parent.GetCount(); ++I) {
        TSVGObject* Child = Parent.GetItem(I);
        auto Shown = [](int Code) { return Code == -1 || Code == 1; };
        if (!Shown(Child->GetDisplayCode()) || !Shown(Child->GetVisibleCode()) ||
            Child->GetStyle().GetValues("display") == "none")
            continue;
        PaintTree(*Child, Graphics);
    }
}

}  // namespace plumwick
