#pragma once

// Cycles among patterns and masks (content that paints with, or is masked by, something that leads back to
// itself) are cut once, when the document is read: the same reference is then dropped wherever the content is
// drawn, as browsers do, instead of only where it happens to be reached a second time.

namespace plumwick {

class TSVGObject;

// Walks Root in document order, following each "fill", "stroke" and "mask" that names a pattern or a mask into
// that element's content. A reference that leads back to content still being walked is dropped: a paint falls
// back on its fallback colour (none without one), a mask masks nothing. References elsewhere stay as they are.
void BreakReferenceCycles(TSVGObject& Root);

}  // namespace plumwick
