// Images: decoded pictures, 32-bit ARGB bitmaps, encoders, image attributes.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/GdiPlusTypes.h"

namespace plumwick {

// Largest picture decoded or created, in pixels; bigger ones fail with OutOfMemory before any
// pixel memory is taken.
constexpr std::int64_t MaxImagePixels = 64ll * 1024 * 1024;

// An image encoder: its class id and the MIME type it writes.
struct TImageCodecInfo {
    CLSID Clsid;
    std::string MimeType;
    std::string FormatDescription;
    std::string FilenameExtension;
};

// The encoders available ("image/png", "image/bmp", "image/jpeg", ...).
std::vector<TImageCodecInfo> GetImageEncoders();

// 5 × 5 colour matrix applied to row vectors (r, g, b, a, 1), components 0..1.
struct TGPColorMatrix {
    float m[5][5] = {};
};

class TGPImageAttributes : public TGPBase {
public:
    TGPImageAttributes();
    Status SetColorMatrix(const TGPColorMatrix& matrix);
    Status ClearColorMatrix();
    bool HasColorMatrix() const { return FHasMatrix; }
    const TGPColorMatrix& GetColorMatrix() const { return FMatrix; }

private:
    TGPColorMatrix FMatrix;
    bool FHasMatrix = false;
};

class TGPImage : public TGPBase {
public:
    // Decodes a PNG, JPEG, GIF or BMP picture from its bytes (the first frame). The bytes are
    // decoded at once and need not outlive the image. UnknownImageFormat for undecodable data,
    // OutOfMemory for a picture above MaxPixels (at most MaxImagePixels), refused before its pixels
    // are decoded.
    explicit TGPImage(std::span<const std::uint8_t> stream, std::int64_t maxPixels = MaxImagePixels);
    static std::unique_ptr<TGPImage> FromFile(std::string_view fileName);
    virtual ~TGPImage();
    TGPImage(const TGPImage&) = delete;
    TGPImage& operator=(const TGPImage&) = delete;

    // 0 for an image that failed.
    unsigned GetWidth() const;
    unsigned GetHeight() const;
    int GetPixelFormat() const;

    // Writes the image with the encoder of that class id. The file is written beside its final
    // name and renamed into place, so a failed save leaves an existing file as it was.
    // UnknownImageFormat for an unknown (or zero) class id, Win32Error when writing fails,
    // InvalidParameter for an empty image.
    Status Save(std::string_view fileName, const CLSID& encoder);
    // Encodes into memory with the encoder of that MIME type ("image/png", "image/bmp"). PNG comes out as
    // 8-bit straight RGBA through the fast encoder of platform/PngEncoder.h.
    Status SaveToMemory(std::string_view mimeType, std::vector<std::uint8_t>& bytes) const;

protected:
    TGPImage();

public:
    struct Impl;  // defined by the platform sources

private:
    friend struct GdiPlusAccess;
    std::unique_ptr<Impl> FImpl;
};

// A 32-bit ARGB bitmap, fully transparent when created.
class TGPBitmap : public TGPImage {
public:
    // InvalidParameter for a size of zero or less (the bitmap then has no pixels and drawing into
    // it does nothing), OutOfMemory above MaxImagePixels. Every pixel format is held as 32-bit ARGB.
    TGPBitmap(int width, int height, int format = PixelFormat32bppARGB);
    explicit TGPBitmap(std::span<const std::uint8_t> stream);

    // Straight (not premultiplied) ARGB pixels, rows top-down, width × height values.
    [[nodiscard]] bool GetPixels(std::vector<std::uint32_t>& pixels) const;
    // Straight R, G, B, A bytes, rows top-down and packed (width × 4 bytes each).
    [[nodiscard]] bool GetRgbaBytes(std::vector<std::uint8_t>& bytes) const;
    // Replaces the pixels from straight ARGB values, width × height of them.
    Status SetPixels(std::span<const std::uint32_t> pixels);
    // As GetPixels with the colour channels composed over the background colour (red, green,
    // blue of background·(1 − alpha) added); alpha stays the pixel's own, as a GDI bitmap
    // conversion gives it.
    [[nodiscard]] bool GetPixelsOnBackground(ARGB background, std::vector<std::uint32_t>& pixels) const;
    Status GetPixel(int x, int y, ARGB& color) const;
    Status SetPixel(int x, int y, ARGB color);

    // The bitmap's own premultiplied ARGB pixels (0xAARRGGBB, colour channels already multiplied
    // by alpha), for code that works on a layer in place. Rows are Stride values apart. Empty
    // (Width 0) for a bitmap without pixels. Valid until the bitmap is drawn into or destroyed.
    struct TPremultipliedPixels {
        std::span<std::uint32_t> Data;
        int Width = 0;
        int Height = 0;
        int Stride = 0;  // in pixels
    };
    TPremultipliedPixels LockPremultiplied();
};

}  // namespace plumwick
