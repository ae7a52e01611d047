#pragma once

// The image element: a raster picture given inline as a base64 data URI or named as a local file,
// stretched into the element's box and painted with its fill opacity.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "svg/base/SVGAspectRatio.h"
#include "svg/base/SVGImageSource.h"
#include "svg/core/SVGBasic.h"

namespace plumwick {

class TGPImage;
class TSVG;

// How deeply SVG pictures may hold SVG pictures; deeper ones (an image that shows itself) draw nothing.
inline constexpr int SVGMaxImageDepth = 4;

// Largest picture file read for an image element.
inline constexpr std::uint64_t SVGMaxImageFileSize = 64ull * 1024 * 1024;

// Standard base64 (RFC 4648 alphabet); white space is skipped and padding may be missing. Nothing
// for any other character, misplaced padding or a dangling last character.
std::optional<std::vector<std::uint8_t>> DecodeBase64(std::string_view Text);

// Contents of a regular local file of at most MaxSize bytes; nothing for anything else (devices,
// FIFOs, directories, missing or larger files). Never blocks on special files.
std::optional<std::vector<std::uint8_t>> ReadRegularFile(const std::string& FileName, std::uint64_t MaxSize);

class TSVGImage : public TSVGBasic {
public:
    TSVGImage();
    ~TSVGImage() override;

    // Also the picture: the copy shares the decoded picture and its bytes.
    void AssignTo(TSVGObject& Dest) const override;
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    void UpdateBounds() override;
    void Clear() override;
    // Draws the picture into (x, y, width, height) as "preserveAspectRatio" asks: by default whole
    // and centred at its own proportions ("meet"), or filling the box and cut ("slice"), or
    // stretched ("none"); alpha times the fill opacity.
    void PaintToGraphics(TGPGraphics& Graphics) override;
    // Reads "xlink:href". A reference the document's image sources do not allow (a URL, a file in a
    // document from the network or outside the SVG file's folder) paints nothing and leaves a warning
    // in the document. An allowed reference that yields no bytes (no readable local file, malformed
    // base64) raises ESVGError. Bytes that are no picture (or too large a one, or past the
    // document's pixel budget) are kept and paint nothing. Equal references are decoded once. A missing (or "auto")
    // width or height comes from the picture: its own size, or the other side at its proportions.
    void ReadIn(const TXmlNode& Node) override;

    // The reference when it was not a base64 data URI, else empty.
    const std::string& GetFileName() const { return FFileName; }
    // The decoded picture; null before reading.
    TGPImage* GetImage() const { return FImage.get(); }
    // The SVG document the reference holds, drawn by this renderer; null for raster pictures.
    TSVG* GetDocument() const { return FDocument.get(); }
    const std::vector<std::uint8_t>& GetStream() const;

    // True for "data:<media type and parameters>;base64,<data>" (the marker ends the part before the
    // first comma), Text becoming the data. Otherwise false, with the leading "data:" removed when
    // it was there.
    [[nodiscard]] static bool ParseDataURI(std::string& Text);

    const TAspectRatio& GetAspect() const { return FAspect; }

private:
    // Reads the bytes as an SVG document when they hold one, within the nesting bound.
    void LoadDocument();
    void PaintDocument(TGPGraphics& Graphics, const TGPRectF& Box);

    TAspectRatio FAspect;
    std::shared_ptr<TSVG> FDocument;  // an SVG picture, shared with copies
    std::string FFileName;
    std::shared_ptr<TGPImage> FImage;                          // decoded from FStream, shared with copies
    std::shared_ptr<const std::vector<std::uint8_t>> FStream;  // the encoded bytes
};

}  // namespace plumwick
