#pragma once

// Boxes of whole subtrees, as masks and paint servers in bounding-box units measure a group.

#include "platform/GdiPlusTypes.h"

namespace plumwick {

class TSVGObject;

// The bounding box of Node's outlines in its own user space (descendants through their transforms);
// empty (width and height 0) when there is none.
TGPRectF SubtreeBoundingBox(const TSVGObject& Node);

}  // namespace plumwick
