#pragma once

// The one way a document becomes pixels: painted once, at the target size, straight into the target.

#include <memory>

namespace plumwick {

class TGPBitmap;
class TSVG;

// Longest side RenderToBitmap paints.
inline constexpr int MaxRenderSide = 4096;

struct TRenderOptions {
    // Smooth (anti-aliased) edges.
    bool AntiAlias = true;
    // True: the document's own area (its width and height, or its view box when it gives none) is stretched
    // onto the whole target, whatever the aspect ratios. False: it is fitted into the target keeping its
    // aspect ratio and centred.
    bool Stretch = true;
};

// A Width x Height 32-bit ARGB bitmap, transparent where nothing is painted, with the document painted into
// it once. It takes the target's pixels plus the layers that groups with opacity or clips need while they
// paint (bounded to a few times the target). nullptr for a size outside 1..MaxRenderSide. Throws
// std::logic_error when no GUI application object exists (see platform/GuiSession.h), std::runtime_error
// when the target's pixels cannot be allocated.
std::unique_ptr<TGPBitmap> RenderToBitmap(TSVG& Document, int Width, int Height, const TRenderOptions& Options = {});

}  // namespace plumwick
