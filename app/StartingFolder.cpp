#include "app/StartingFolder.h"

#include <unistd.h>
#include <array>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace plumwick {

namespace {

constexpr std::array<std::string_view, 7> kSystemProgramFolders = {
    "/bin", "/sbin", "/usr/bin", "/usr/sbin", "/usr/local/bin", "/usr/local/sbin", "/usr/games"};

bool IsFolder(const std::string& path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(path, error);
}

bool IsSystemProgramFolder(const std::string& path)
{
    // Compared without a trailing separator and with links resolved (/bin is often a link to /usr/bin).
    std::error_code error;
    std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
    std::string text = error ? path : resolved.string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    for (const std::string_view folder : kSystemProgramFolders)
        if (text == folder) return true;
    return false;
}

}  // namespace

std::string StartingFolder(const std::string& programFolder, const std::string& picturesFolder,
                           const std::string& homeFolder)
{
    if (IsFolder(programFolder) && ::access(programFolder.c_str(), W_OK) == 0 && !IsSystemProgramFolder(programFolder))
        return programFolder;
    if (IsFolder(picturesFolder)) return picturesFolder;
    return homeFolder;
}

}  // namespace plumwick
