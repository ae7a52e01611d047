#pragma once

// The filter step of painting: an element with a "filter" is painted with its subtree into an
// offscreen canvas, filtered, and the result drawn onto the surface.

namespace plumwick {

class TGPGraphics;
class TSVGObject;

// Whether Node's own "filter" asks for filtering (and Node is not being filtered right now).
bool NeedsFilter(const TSVGObject& Node);
// Whether Node is being painted as the source of its own filter right now.
bool IsFilterSource(const TSVGObject& Node);
// Paints Node and its subtree through the filter list. An unreadable list paints unfiltered; a
// reference to no filter, an empty filter region or a filter without primitives paints nothing.
void PaintFiltered(TSVGObject& Node, TGPGraphics& Graphics);

}  // namespace plumwick
