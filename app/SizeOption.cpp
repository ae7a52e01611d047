#include "app/SizeOption.h"

#include "app/ExtractionJob.h"

#include <sstream>

namespace plumwick {

std::optional<std::pair<int, int>> ParseSize(const std::string& text)
{
    int width = 0;
    int height = 0;
    char x = 0;
    char rest = 0;
    std::istringstream in(text);
    if (!(in >> width >> x >> height) || (x != 'x' && x != 'X') || (in >> rest))
        return std::nullopt;
    if (width < kMinIconSize || width > kMaxIconSize || height < kMinIconSize || height > kMaxIconSize)
        return std::nullopt;
    return std::pair{width, height};
}

std::string CheckSize(const std::string& text)
{
    return ParseSize(text) ? std::string() : std::string("size must be WxH with each side 16..400");
}

}  // namespace plumwick
