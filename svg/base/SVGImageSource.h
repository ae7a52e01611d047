#pragma once

// Where the pictures of image elements may come from, and the decoded pictures a document shares.

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plumwick {

class TGPImage;

struct TImageSources {
    enum class TKind {
        AnyFile,   // data: URIs and any readable local file, relative names from the current directory
        DataOnly,  // data: URIs only: text that came from the network must not read local files
        Folder,    // data: URIs, and files inside Folder's tree, relative names from Folder
    };
    TKind Kind = TKind::AnyFile;
    std::string Folder;
};

// Pixels of all the pictures one document decodes, together: 128 MiB of 32-bit pixels.
inline constexpr std::int64_t SVGDocumentImagePixels = 32ll * 1024 * 1024;

// The file a non-data reference names under Sources, or the reason it may not be read (Allowed false). A file
// that does not exist is allowed (reading it then fails as for any unreadable file).
struct TImageFileChoice {
    bool Allowed = false;
    std::string Path;
    std::string Reason;
};
TImageFileChoice ChooseImageFile(const TImageSources& Sources, std::string_view Reference);

// The most a compressed picture (an .svgz) may unpack to; a larger one is not drawn.
inline constexpr std::size_t SVGMaxUnpackedImageSize = 64ull * 1024 * 1024;

// A picture decoded once for its document: the encoded bytes and the decoded image, shared by every image
// element (and every copy made through use) with the same reference.
struct TSharedPicture {
    std::shared_ptr<const std::vector<std::uint8_t>> Bytes;
    std::shared_ptr<TGPImage> Image;  // empty (0 x 0) when it could not be decoded
    bool OverBudget = false;          // it was not decoded: the document's pixel budget was spent
};

class TImageCache {
public:
    // The picture of Reference, decoding Bytes only the first time. The decoded pixels count against the
    // document's budget; a picture that does not fit stays empty (OverBudget).
    TSharedPicture Get(const std::string& Reference, std::vector<std::uint8_t> Bytes);
    std::optional<TSharedPicture> Find(const std::string& Reference) const;
    void Clear();

private:
    std::map<std::string, TSharedPicture, std::less<>> FPictures;
    std::int64_t FPixelsLeft = SVGDocumentImagePixels;
};

}  // namespace plumwick
