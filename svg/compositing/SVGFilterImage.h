#pragma once

// Pictures for feImage: a local raster file fitted into the primitive subregion, or an element of
// the document painted where it stands.

#include "svg/compositing/SVGFilter.h"
#include "svg/compositing/SVGFilterBuild.h"
#include "svg/compositing/filters/FilterImage.h"

namespace plumwick {

class TGPGraphics;

// The picture feImage Node shows, on the canvas; transparent when it names nothing usable.
filters::TFilterImage FeImagePicture(const TFilterNode& Node, const TUserRect& Subregion, const TFilterTarget& Target,
                                     const TFilterCanvas& Canvas, const TGPGraphics& Like);

}  // namespace plumwick
