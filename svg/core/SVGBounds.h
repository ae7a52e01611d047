#pragma once

// Boxes of whole subtrees, as masks, filters and paint servers in bounding-box units measure a group.

#include <optional>

#include "platform/GdiPlusTypes.h"

namespace plumwick {

class TSVGObject;

// The bounding box of the outlines of Node and its displayed descendants, in Node's user space: each
// descendant's own box through its transforms below Node (a turned child counts by its box turned, as
// browsers measure a group). Strokes, clips and visibility do not count. Nothing when no outline in the
// subtree has an extent.
std::optional<TGPRectF> SubtreeBoundingBox(const TSVGObject& Node);

}  // namespace plumwick
