#include "app/SizeOption.h"

#include "app/ExtractionJob.h"

#include <algorithm>
#include <sstream>

namespace plumwick {

std::optional<std::pair<int, int>> ParseSize(const std::string& text)
{
    int width = 0;
    int height = 0;
    char x = 0;
    char rest = 0;
    std::istringstream in(text);
    if (!(in >> width >> x >> height) || (x != 'x' && x != 'X') || (in >> rest)) return std::nullopt;
    if (width < kMinIconSize || width > kMaxIconSize || height < kMinIconSize || height > kMaxIconSize)
        return std::nullopt;
    return std::pair{width, height};
}

std::string CheckSize(const std::string& text)
{
    return ParseSize(text) ? std::string() : std::string("size must be WxH with each side 16..400");
}

std::optional<std::vector<TIconSize>> ParseIconSizes(const std::string& text)
{
    std::vector<TIconSize> sizes;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        std::string item = text.substr(start, comma - start);
        if (item.find_first_of("xX") == std::string::npos) item += "x" + item;
        const auto size = ParseSize(item);
        if (!size) return std::nullopt;
        for (const TIconSize& seen : sizes)
            if (seen.Width == size->first && seen.Height == size->second) return std::nullopt;
        sizes.push_back({size->first, size->second});
        start = comma + 1;
    }
    return sizes;
}

std::string CheckIconSizes(const std::string& text)
{
    return ParseIconSizes(text) ? std::string()
                                : std::string(
                                      "sizes must be a list like 16,32,256 (or WxH items), each side 16..400, "
                                      "none twice");
}

}  // namespace plumwick
