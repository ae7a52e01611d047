#include "svg/base/SVGImageSource.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <span>

#include "platform/GdiPlusImage.h"
#include "platform/Gzip.h"

namespace plumwick {

namespace {

// "http:", "https:", "file:" and the like. Two characters at least, so a drive letter is no scheme.
bool HasUrlScheme(std::string_view Text)
{
    const std::size_t colon = Text.find(':');
    if (colon == std::string_view::npos || colon < 2 || !std::isalpha(static_cast<unsigned char>(Text[0])))
        return false;
    return std::all_of(Text.begin(), Text.begin() + static_cast<std::ptrdiff_t>(colon), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
    });
}

// The real path (links followed) of an existing file or folder, nothing when it does not exist.
std::optional<std::string> RealPath(const std::string& Path)
{
    char buffer[PATH_MAX];
    if (::realpath(Path.c_str(), buffer) == nullptr) return std::nullopt;
    return std::string(buffer);
}

bool Inside(const std::string& Path, const std::string& Folder)
{
    if (Folder == "/") return true;
    return Path.size() > Folder.size() && Path.compare(0, Folder.size(), Folder) == 0 && Path[Folder.size()] == '/';
}

// The absolute, dot-free spelling of Path, without a trailing separator; the file system is not asked.
std::string Spelled(const std::string& Path)
{
    std::error_code error;
    std::string text = std::filesystem::absolute(Path, error).lexically_normal().string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

TImageFileChoice Refused(std::string Reason)
{
    TImageFileChoice choice;
    choice.Reason = std::move(Reason);
    return choice;
}

}  // namespace

TImageFileChoice ChooseImageFile(const TImageSources& Sources, std::string_view Reference)
{
    using TKind = TImageSources::TKind;
    if (Sources.Kind == TKind::DataOnly)
        return Refused("only data: URIs are read for an icon that came from the network");
    if (Reference.starts_with("data:")) {
        if (Sources.Kind != TKind::AnyFile) return Refused("not a base64 data: URI");
        // The plain reading: what follows "data:" names a file (which will hardly exist).
        Reference.remove_prefix(5);
    } else if (HasUrlScheme(Reference)) {
        if (Sources.Kind != TKind::AnyFile) return Refused("only data: URIs and local files are read, no URLs");
        // Never fetched: an empty path fails to read, as an unreadable file does.
        return TImageFileChoice{true, {}, {}};
    }
    TImageFileChoice choice;
    choice.Allowed = true;
    choice.Path = std::string(Reference);
    if (Sources.Kind == TKind::AnyFile || Reference.empty()) return choice;

    const std::string folder = Sources.Folder.empty() ? std::string(".") : Sources.Folder;
    if (!Reference.starts_with('/')) choice.Path = folder + "/" + choice.Path;
    // A name that climbs out is refused before anything is looked up, whether or not the file exists.
    if (!Inside(Spelled(choice.Path), Spelled(folder))) return Refused("it lies outside the folder of the SVG file");
    const std::optional<std::string> realFolder = RealPath(folder);
    const std::optional<std::string> realFile = RealPath(choice.Path);
    if (!realFile) return choice;  // reading it fails with the usual message
    // Links count where they lead: one out of the tree is refused like a path that climbs out of it.
    if (!realFolder || !Inside(*realFile, *realFolder)) return Refused("it lies outside the folder of the SVG file");
    choice.Path = *realFile;
    return choice;
}

TSharedPicture TImageCache::Get(const std::string& Reference, std::vector<std::uint8_t> Bytes)
{
    if (const auto found = FPictures.find(Reference); found != FPictures.end()) return found->second;
    // Compressed SVG (.svgz) is read as the SVG it holds.
    if (IsGzip(Bytes)) Bytes = Gunzip(Bytes, SVGMaxUnpackedImageSize).value_or(std::vector<std::uint8_t>{});
    TSharedPicture picture;
    picture.Bytes = std::make_shared<const std::vector<std::uint8_t>>(std::move(Bytes));
    picture.Image = std::make_shared<TGPImage>(std::span<const std::uint8_t>(*picture.Bytes), FPixelsLeft);
    if (picture.Image->GetLastStatus() == OutOfMemory)
        picture.OverBudget = true;
    else
        FPixelsLeft -= std::int64_t(picture.Image->GetWidth()) * picture.Image->GetHeight();
    FPictures.emplace(Reference, picture);
    return picture;
}

std::optional<TSharedPicture> TImageCache::Find(const std::string& Reference) const
{
    const auto found = FPictures.find(Reference);
    if (found == FPictures.end()) return std::nullopt;
    return found->second;
}

void TImageCache::Clear()
{
    FPictures.clear();
    FPixelsLeft = SVGDocumentImagePixels;
}

}  // namespace plumwick
