#include "app/RasterExport.h"

namespace plumwick {

// Skeleton until the renderer's document and graphics exist.
bool SaveSvgAsImage(std::string_view, const std::string&, int, int)
{
    return false;
}

bool SaveSvgAsIcon(std::string_view, const std::string&, int, int)
{
    return false;
}

}  // namespace plumwick
