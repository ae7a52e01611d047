#include "app/CollectionId.h"

namespace plumwick {

namespace {

// The value of key=... among the query parameters, or nothing.
std::string_view QueryValue(std::string_view query, std::string_view key)
{
    while (!query.empty()) {
        const std::size_t end = query.find_first_of("&;");
        const std::string_view parameter = query.substr(0, end);
        if (parameter.size() > key.size() && parameter.starts_with(key) && parameter[key.size()] == '=')
            return parameter.substr(key.size() + 1);
        if (end == std::string_view::npos) break;
        query.remove_prefix(end + 1);
    }
    return {};
}

}  // namespace

std::string CollectionIdFromText(std::string_view text)
{
    const std::size_t question = text.find('?');
    if (question == std::string_view::npos) return std::string(text);
    std::string_view query = text.substr(question + 1);
    query = query.substr(0, query.find('#'));
    for (const std::string_view key : {"cid", "id"})
        if (const std::string_view value = QueryValue(query, key); !value.empty()) return std::string(value);
    return std::string(text);
}

}  // namespace plumwick
