#include "platform/GdiPlusImage.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/GdiPlusPrivate.h"
#include "platform/PngEncoder.h"

namespace plumwick {

namespace {

constexpr QImage::Format kFormat = QImage::Format_ARGB32_Premultiplied;

struct EncoderRow {
    std::uint32_t Data1;
    const char* Mime;
    const char* QtFormat;
    const char* Description;
    const char* Extensions;
};

// Class ids as GDI+ numbers its built-in encoders.
constexpr EncoderRow kEncoders[] = {
    {0x557CF400, "image/bmp", "bmp", "BMP", "*.BMP;*.DIB;*.RLE"},
    {0x557CF401, "image/jpeg", "jpeg", "JPEG", "*.JPG;*.JPEG;*.JPE;*.JFIF"},
    {0x557CF406, "image/png", "png", "PNG", "*.PNG"},
};

CLSID ClsidOf(const EncoderRow& row)
{
    CLSID id;
    id.Data1 = row.Data1;
    id.Data2 = 0x1A04;
    id.Data3 = 0x11D3;
    const std::uint8_t tail[8] = {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E};
    std::memcpy(id.Data4, tail, 8);
    return id;
}

bool Writable(const char* qtFormat)
{
    return QImageWriter::supportedImageFormats().contains(QByteArray(qtFormat));
}

const EncoderRow* FindEncoder(const CLSID& id)
{
    if (id.IsNull()) return nullptr;
    for (const auto& row : kEncoders)
        if (ClsidOf(row) == id && Writable(row.QtFormat)) return &row;
    return nullptr;
}

const EncoderRow* FindEncoder(std::string_view mime)
{
    for (const auto& row : kEncoders)
        if (mime == row.Mime && Writable(row.QtFormat)) return &row;
    return nullptr;
}

// Decodes bytes into a premultiplied ARGB image, refusing oversized pictures before decoding.
Status Decode(std::span<const std::uint8_t> bytes, QImage& out, std::int64_t maxPixels = MaxImagePixels)
{
    maxPixels = std::min(maxPixels, MaxImagePixels);
    if (bytes.empty()) return UnknownImageFormat;
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(int(MaxImagePixels * 4 / (1024 * 1024)));
    if (!reader.canRead()) return UnknownImageFormat;
    QSize size = reader.size();
    if (size.isValid() && std::int64_t(size.width()) * size.height() > maxPixels) return OutOfMemory;
    QImage image;
    if (!reader.read(&image) || image.isNull()) return UnknownImageFormat;
    if (std::int64_t(image.width()) * image.height() > maxPixels) return OutOfMemory;
    // In place where the formats allow, so a large picture is not held twice.
    image.convertTo(kFormat);
    if (image.isNull() || image.format() != kFormat) return OutOfMemory;
    out = std::move(image);
    return Ok;
}

// Qt's own conversion unpremultiplies with its vector code, faster than doing it per pixel here.
std::string EncodeAsPng(const QImage& image)
{
    const QImage straight = image.convertToFormat(QImage::Format_RGBA8888);
    const auto* bits = straight.constBits();
    return EncodePng({straight.width(), straight.height(), std::size_t(straight.bytesPerLine()),
                      std::span(bits, std::size_t(straight.sizeInBytes()))});
}

bool IsPng(const EncoderRow& row)
{
    return std::string_view(row.Mime) == "image/png";
}

}  // namespace

std::vector<TImageCodecInfo> GetImageEncoders()
{
    std::vector<TImageCodecInfo> list;
    for (const auto& row : kEncoders)
        if (Writable(row.QtFormat)) list.push_back({ClsidOf(row), row.Mime, row.Description, row.Extensions});
    return list;
}

TGPImageAttributes::TGPImageAttributes() = default;

Status TGPImageAttributes::SetColorMatrix(const TGPColorMatrix& matrix)
{
    for (const auto& row : matrix.m)
        for (float v : row)
            if (!std::isfinite(v)) return SetStatus(InvalidParameter);
    FMatrix = matrix;
    FHasMatrix = true;
    return Ok;
}

Status TGPImageAttributes::ClearColorMatrix()
{
    FHasMatrix = false;
    return Ok;
}

TGPImage::TGPImage() : FImpl(std::make_unique<Impl>()) {}

TGPImage::TGPImage(std::span<const std::uint8_t> stream, std::int64_t maxPixels) : TGPImage()
{
    RecordStatus(Decode(stream, FImpl->Image, maxPixels));
}

std::unique_ptr<TGPImage> TGPImage::FromFile(std::string_view fileName)
{
    QFile file(QString::fromUtf8(fileName.data(), qsizetype(fileName.size())));
    auto image = std::unique_ptr<TGPImage>(new TGPImage());
    if (!file.open(QIODevice::ReadOnly)) {
        image->RecordStatus(FileNotFound);
        return image;
    }
    QByteArray data = file.readAll();
    image->RecordStatus(Decode(std::span(reinterpret_cast<const std::uint8_t*>(data.constData()), size_t(data.size())),
                               image->FImpl->Image));
    return image;
}

TGPImage::~TGPImage() = default;

unsigned TGPImage::GetWidth() const
{
    return unsigned(FImpl->Image.width());
}
unsigned TGPImage::GetHeight() const
{
    return unsigned(FImpl->Image.height());
}
int TGPImage::GetPixelFormat() const
{
    return PixelFormat32bppARGB;
}

Status TGPImage::Save(std::string_view fileName, const CLSID& encoder)
{
    const EncoderRow* row = FindEncoder(encoder);
    if (!row) return SetStatus(UnknownImageFormat);
    if (FImpl->Image.isNull()) return SetStatus(InvalidParameter);
    // The new file replaces the old one only once it is complete.
    QSaveFile file(QString::fromUtf8(fileName.data(), qsizetype(fileName.size())));
    if (!file.open(QIODevice::WriteOnly)) return SetStatus(Win32Error);
    if (IsPng(*row)) {
        const std::string png = EncodeAsPng(FImpl->Image);
        if (png.empty() || file.write(png.data(), qint64(png.size())) != qint64(png.size())) {
            file.cancelWriting();
            return SetStatus(Win32Error);
        }
    } else if (QImageWriter writer(&file, row->QtFormat);
               !writer.write(FImpl->Image.convertToFormat(QImage::Format_ARGB32))) {
        file.cancelWriting();
        return SetStatus(Win32Error);
    }
    if (!file.commit()) return SetStatus(Win32Error);
    return Ok;
}

Status TGPImage::SaveToMemory(std::string_view mimeType, std::vector<std::uint8_t>& bytes) const
{
    bytes.clear();
    const EncoderRow* row = FindEncoder(mimeType);
    if (!row) return SetStatus(UnknownImageFormat);
    if (FImpl->Image.isNull()) return SetStatus(InvalidParameter);
    if (IsPng(*row)) {
        const std::string png = EncodeAsPng(FImpl->Image);
        if (png.empty()) return SetStatus(GenericError);
        bytes.assign(png.begin(), png.end());
        return Ok;
    }
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, row->QtFormat);
    if (!writer.write(FImpl->Image.convertToFormat(QImage::Format_ARGB32))) return SetStatus(GenericError);
    bytes.assign(data.begin(), data.end());
    return Ok;
}

TGPBitmap::TGPBitmap(int width, int height, int /*format*/)
{
    if (width <= 0 || height <= 0) {
        RecordStatus(InvalidParameter);
        return;
    }
    if (std::int64_t(width) * height > MaxImagePixels) {
        RecordStatus(OutOfMemory);
        return;
    }
    QImage& image = GdiPlusAccess::Get(static_cast<TGPImage&>(*this)).Image;
    image = QImage(width, height, kFormat);
    if (image.isNull()) {
        RecordStatus(OutOfMemory);
        return;
    }
    image.fill(Qt::transparent);
}

TGPBitmap::TGPBitmap(std::span<const std::uint8_t> stream) : TGPImage(stream) {}

bool TGPBitmap::GetPixels(std::vector<std::uint32_t>& pixels) const
{
    pixels.clear();
    const QImage& image = GdiPlusAccess::Get(static_cast<const TGPImage&>(*this)).Image;
    if (image.isNull()) return false;
    QImage straight = image.convertToFormat(QImage::Format_ARGB32);
    pixels.reserve(size_t(straight.width()) * straight.height());
    for (int y = 0; y < straight.height(); ++y) {
        auto* line = reinterpret_cast<const std::uint32_t*>(straight.constScanLine(y));
        pixels.insert(pixels.end(), line, line + straight.width());
    }
    return true;
}

bool TGPBitmap::GetRgbaBytes(std::vector<std::uint8_t>& bytes) const
{
    bytes.clear();
    const QImage& image = GdiPlusAccess::Get(static_cast<const TGPImage&>(*this)).Image;
    if (image.isNull()) return false;
    const QImage straight = image.convertToFormat(QImage::Format_RGBA8888);
    const std::size_t row = std::size_t(straight.width()) * 4;
    bytes.resize(row * std::size_t(straight.height()));
    for (int y = 0; y < straight.height(); ++y)
        std::memcpy(bytes.data() + row * std::size_t(y), straight.constScanLine(y), row);
    return true;
}

Status TGPBitmap::SetPixels(std::span<const std::uint32_t> pixels)
{
    QImage& image = GdiPlusAccess::Get(static_cast<TGPImage&>(*this)).Image;
    if (image.isNull() || pixels.size() != size_t(image.width()) * image.height()) return SetStatus(InvalidParameter);
    QImage straight(image.width(), image.height(), QImage::Format_ARGB32);
    for (int y = 0; y < straight.height(); ++y)
        std::memcpy(straight.scanLine(y), pixels.data() + size_t(y) * straight.width(), size_t(straight.width()) * 4);
    image = straight.convertToFormat(kFormat);
    return Ok;
}

bool TGPBitmap::GetPixelsOnBackground(ARGB background, std::vector<std::uint32_t>& pixels) const
{
    const QImage& image = GdiPlusAccess::Get(static_cast<const TGPImage&>(*this)).Image;
    pixels.clear();
    if (image.isNull()) return false;
    pixels.reserve(size_t(image.width()) * image.height());
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            std::uint32_t p = line[x];  // premultiplied
            std::uint32_t a = p >> 24, inv = 255 - a;
            auto ch = [&](int shift) {
                std::uint32_t v = ((p >> shift) & 0xFF) + (((background >> shift) & 0xFF) * inv + 127) / 255;
                return std::min<std::uint32_t>(v, 255) << shift;
            };
            pixels.push_back((a << 24) | ch(16) | ch(8) | ch(0));
        }
    }
    return true;
}

Status TGPBitmap::GetPixel(int x, int y, ARGB& color) const
{
    const QImage& image = GdiPlusAccess::Get(static_cast<const TGPImage&>(*this)).Image;
    if (image.isNull() || x < 0 || y < 0 || x >= image.width() || y >= image.height())
        return SetStatus(InvalidParameter);
    color = qUnpremultiply(image.pixel(x, y));  // the image holds premultiplied values
    return Ok;
}

Status TGPBitmap::SetPixel(int x, int y, ARGB color)
{
    QImage& image = GdiPlusAccess::Get(static_cast<TGPImage&>(*this)).Image;
    if (image.isNull() || x < 0 || y < 0 || x >= image.width() || y >= image.height())
        return SetStatus(InvalidParameter);
    image.setPixelColor(x, y, QColor::fromRgba(color));
    return Ok;
}

TGPBitmap::TPremultipliedPixels TGPBitmap::LockPremultiplied()
{
    QImage& image = GdiPlusAccess::Get(static_cast<TGPImage&>(*this)).Image;
    if (image.isNull() || image.format() != QImage::Format_ARGB32_Premultiplied) return {};
    auto* first = reinterpret_cast<std::uint32_t*>(image.bits());  // detaches a shared copy
    const int stride = int(image.bytesPerLine() / 4);
    const size_t count = size_t(stride) * (image.height() - 1) + image.width();
    return {std::span<std::uint32_t>(first, count), image.width(), image.height(), stride};
}

QImage* GdiPlusAccess::ImageOf(TGPImage* image)
{
    return image ? &Get(*image).Image : nullptr;
}

const QImage* GdiPlusAccess::ImageOf(const TGPImage* image)
{
    return image ? &Get(*image).Image : nullptr;
}

}  // namespace plumwick
