#include "svg/images/SVGImage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <span>

#include "platform/GdiPlus.h"
#include "svg/base/SVGCommon.h"
#include "svg/base/SVGError.h"
#include "svg/base/SVGParse.h"
#include "svg/core/SVGDocument.h"

namespace plumwick {

namespace {

int Base64Value(unsigned char C)
{
    if (C >= 'A' && C <= 'Z') return C - 'A';
    if (C >= 'a' && C <= 'z') return C - 'a' + 26;
    if (C >= '0' && C <= '9') return C - '0' + 52;
    if (C == '+') return 62;
    if (C == '/') return 63;
    return -1;
}

// Names in messages stay short: a reference may be a whole picture's worth of text.
std::string ShortName(std::string_view Name)
{
    constexpr std::size_t limit = 120;
    if (Name.size() <= limit) return std::string(Name);
    return std::string(Name.substr(0, limit)) + "...";
}

class TFileDescriptor {
public:
    explicit TFileDescriptor(int Fd) : FFd(Fd) {}
    ~TFileDescriptor()
    {
        if (FFd >= 0) ::close(FFd);
    }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;
    int Get() const { return FFd; }

private:
    int FFd;
};

// Whether the bytes are markup (an SVG document) rather than a raster picture, whose formats all
// begin with a binary signature.
bool LooksLikeMarkup(const std::vector<std::uint8_t>& Bytes)
{
    std::size_t I = 0;
    if (Bytes.size() >= 3 && Bytes[0] == 0xEF && Bytes[1] == 0xBB && Bytes[2] == 0xBF) I = 3;
    while (I < Bytes.size() && Bytes[I] <= 32) ++I;
    return I < Bytes.size() && Bytes[I] == '<';
}

// "%3C" and the like decoded; other text kept.
std::string PercentDecode(std::string_view Text)
{
    std::string Out;
    Out.reserve(Text.size());
    auto Hex = [](char C) {
        return C >= '0' && C <= '9'   ? C - '0'
               : C >= 'a' && C <= 'f' ? C - 'a' + 10
               : C >= 'A' && C <= 'F' ? C - 'A' + 10
                                      : -1;
    };
    for (std::size_t I = 0; I < Text.size(); ++I) {
        if (Text[I] == '%' && I + 2 < Text.size() && Hex(Text[I + 1]) >= 0 && Hex(Text[I + 2]) >= 0) {
            Out += static_cast<char>(Hex(Text[I + 1]) * 16 + Hex(Text[I + 2]));
            I += 2;
        } else {
            Out += Text[I];
        }
    }
    return Out;
}

// Nesting of SVG pictures being read right now.
thread_local int ImageDepth = 0;

}  // namespace

std::optional<std::vector<std::uint8_t>> DecodeBase64(std::string_view Text)
{
    std::vector<std::uint8_t> out;
    out.reserve(Text.size() / 4 * 3 + 3);
    std::uint32_t bits = 0;
    int count = 0;  // sextets collected in the current quantum
    int padding = 0;
    for (const char ch : Text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= 32) continue;
        if (c == '=') {
            ++padding;
            continue;
        }
        const int value = Base64Value(c);
        if (value < 0 || padding > 0) return std::nullopt;  // a foreign character, or data after the padding
        bits = (bits << 6) | static_cast<std::uint32_t>(value);
        if (++count == 4) {
            out.push_back(static_cast<std::uint8_t>(bits >> 16));
            out.push_back(static_cast<std::uint8_t>(bits >> 8));
            out.push_back(static_cast<std::uint8_t>(bits));
            bits = 0;
            count = 0;
        }
    }
    if (count == 1 || padding > 2 || (padding > 0 && count + padding != 4)) return std::nullopt;
    if (count == 2) {
        out.push_back(static_cast<std::uint8_t>(bits >> 4));
    } else if (count == 3) {
        out.push_back(static_cast<std::uint8_t>(bits >> 10));
        out.push_back(static_cast<std::uint8_t>(bits >> 2));
    }
    return out;
}

std::optional<std::vector<std::uint8_t>> ReadRegularFile(const std::string& FileName, std::uint64_t MaxSize)
{
    if (FileName.empty() || FileName.find('\0') != std::string::npos) return std::nullopt;
    // Non-blocking, so that a FIFO put in the file's place cannot stall the open; the type is then
    // checked on the descriptor itself.
    TFileDescriptor fd(::open(FileName.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.Get() < 0) return std::nullopt;
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0 ||
        static_cast<std::uint64_t>(info.st_size) > MaxSize)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd.Get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::nullopt;
        if (n == 0) break;  // the file shrank meanwhile: keep what is there
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return bytes;
}

TSVGImage::TSVGImage() = default;
TSVGImage::~TSVGImage() = default;

bool TSVGImage::ParseDataURI(std::string& Text)
{
    if (Text.compare(0, 5, "data:") != 0) return false;
    Text.erase(0, 5);
    // The data start after the first comma; "base64" is the last parameter before it, so that a
    // media type with parameters (";charset=utf-8;base64,") is still base64.
    const std::size_t comma = Text.find(',');
    if (comma == std::string::npos || comma < 7 || Text.compare(comma - 7, 7, ";base64") != 0) return false;
    Text.erase(0, comma + 1);
    return true;
}

const std::vector<std::uint8_t>& TSVGImage::GetStream() const
{
    static const std::vector<std::uint8_t> none;
    return FStream ? *FStream : none;
}

void TSVGImage::ReadIn(const TXmlNode& Node)
{
    TSVGBasic::ReadIn(Node);
    std::string reference;
    // The plain SVG 2 "href" wins over "xlink:href".
    LoadString(Node, Node.HasAttribute("href") ? "href" : "xlink:href", reference);
    TSVG* document = GetRoot();
    static const TImageSources anyFile;
    const TImageSources& sources = document ? document->GetImageSources() : anyFile;
    // A picture that cannot be had draws nothing, as in a browser; the rest of the document still renders.
    auto skip = [&](std::string_view Why) {
        if (document) document->AddWarning("image \"" + ShortName(reference) + "\" not loaded: " + std::string(Why));
    };
    if (Trim(reference).empty()) return;  // nothing to draw, and nothing wrong
    std::optional<TSharedPicture> picture = document ? document->GetImageCache().Find(reference) : std::nullopt;
    std::string text = reference;
    if (picture) {
        // Decoded already for an element before this one.
    } else if (ParseDataURI(text)) {
        std::optional<std::vector<std::uint8_t>> bytes = DecodeBase64(text);
        if (!bytes) return skip("malformed base64 data");
        picture = document ? document->GetImageCache().Get(reference, std::move(*bytes))
                           : TImageCache().Get(reference, std::move(*bytes));
    } else if (reference.compare(0, 5, "data:") == 0 && text.compare(0, 13, "image/svg+xml") == 0 &&
               text.find(',') != std::string::npos) {
        // SVG written into the reference as (percent-encoded) text.
        const std::string markup = PercentDecode(std::string_view(text).substr(text.find(',') + 1));
        std::vector<std::uint8_t> bytes(markup.begin(), markup.end());
        picture = document ? document->GetImageCache().Get(reference, std::move(bytes))
                           : TImageCache().Get(reference, std::move(bytes));
    } else {
        FFileName = text;
        const TImageFileChoice file = ChooseImageFile(sources, reference);
        if (!file.Allowed) return skip(file.Reason);
        std::optional<std::vector<std::uint8_t>> bytes = ReadRegularFile(file.Path, SVGMaxImageFileSize);
        if (!bytes) return skip("no readable file of that name");
        picture = document ? document->GetImageCache().Get(reference, std::move(*bytes))
                           : TImageCache().Get(reference, std::move(*bytes));
    }
    if (picture->OverBudget && document)
        document->AddWarning("image \"" + ShortName(reference) + "\" not drawn: the document's pictures exceed " +
                             std::to_string(SVGDocumentImagePixels >> 20) + " million pixels");
    FStream = picture->Bytes;
    FImage = picture->Image;
    // The attribute copy in the style block would go into every use copy: a data URI of megabytes used a
    // thousand times would take gigabytes. The bytes are kept (shared) in FStream instead.
    if (reference.size() > 256) {
        GetStyle().Remove("xlink:href");
        GetStyle().Remove("href");
    }
    LoadDocument();
    if (auto aspect = Node.FindAttribute("preserveAspectRatio")) FAspect = ParseAspectRatio(*aspect);

    auto isAuto = [&Node](std::string_view Name) {
        const std::optional<std::string> value = Node.FindAttribute(Name);
        return !value || Trim(*value).empty() || Trim(*value) == "auto";
    };
    const bool autoWidth = isAuto("width");
    const bool autoHeight = isAuto("height");
    float width = static_cast<float>(FImage->GetWidth());
    float height = static_cast<float>(FImage->GetHeight());
    if (FDocument) {
        width = FDocument->GetWidth();
        height = FDocument->GetHeight();
    }
    if (width > 0 && height > 0) {
        if (autoWidth && autoHeight) {
            FWidth = width;
            FHeight = height;
        } else if (autoWidth) {
            FWidth = FHeight * width / height;
        } else if (autoHeight) {
            FHeight = FWidth * height / width;
        }
    }
}

void TSVGImage::LoadDocument()
{
    FDocument.reset();
    if (!FStream || !LooksLikeMarkup(*FStream) || ImageDepth >= SVGMaxImageDepth) return;
    struct TDepth {
        TDepth() { ++ImageDepth; }
        ~TDepth() { --ImageDepth; }
    } Depth;
    auto Document = std::make_unique<TSVG>();
    // A picture is self-contained, as browsers load it: its own references to files are not followed.
    TImageSources Sources;
    Sources.Kind = TImageSources::TKind::DataOnly;
    Document->SetImageSources(Sources);
    try {
        Document->LoadFromText(std::string_view(reinterpret_cast<const char*>(FStream->data()), FStream->size()));
    } catch (const std::exception&) {
        return;  // a picture that cannot be read draws nothing, as undecodable raster bytes do
    }
    if (Document->GetSource().empty()) return;
    // Its natural size: width and height, else the view box's, else the browsers' default.
    if (!(Document->GetWidth() > 0) || !(Document->GetHeight() > 0)) {
        const TRectF& Box = Document->GetViewBox();
        const float W = Box.Right - Box.Left, H = Box.Bottom - Box.Top;
        if (W > 0 && H > 0) {
            Document->SetWidth(Document->GetWidth() > 0 ? Document->GetWidth() : W);
            Document->SetHeight(Document->GetHeight() > 0 ? Document->GetHeight() : H);
        } else {
            Document->SetWidth(Document->GetWidth() > 0 ? Document->GetWidth() : 300);
            Document->SetHeight(Document->GetHeight() > 0 ? Document->GetHeight() : 150);
        }
    }
    FDocument = std::move(Document);
}

void TSVGImage::PaintDocument(TGPGraphics& Graphics, const TGPRectF& Box)
{
    // Drawn into a bitmap of the box's size on the device, which also clips it to the box.
    const TMatrix& m = GetMatrix();
    double scale = 1;
    if (m.IsTransform())
        scale = std::sqrt(std::abs(static_cast<double>(m.m11) * m.m22 - static_cast<double>(m.m12) * m.m21));
    if (!(scale > 0) || !std::isfinite(scale)) return;
    const double limit = 4096;
    const int pixelsX = static_cast<int>(std::clamp(std::ceil(FWidth * scale), 1.0, limit));
    const int pixelsY = static_cast<int>(std::clamp(std::ceil(FHeight * scale), 1.0, limit));
    TGPBitmap bitmap(pixelsX, pixelsY);
    if (bitmap.GetLastStatus() != Ok) return;
    {
        TGPGraphics layer(&bitmap);
        IgnoreStatus(layer.SetSmoothingMode(SmoothingModeAntiAlias));
        const float sx = pixelsX / FWidth, sy = pixelsY / FHeight;
        const float docWidth = FDocument->GetWidth(), docHeight = FDocument->GetHeight();
        const float kx = Box.Width / docWidth, ky = Box.Height / docHeight;
        const TGPMatrix place(kx * sx, 0, 0, ky * sy, (Box.X - FX) * sx, (Box.Y - FY) * sy);
        // A placement that is flat or not finite shows nothing of the document.
        if (layer.SetTransform(&place) != Ok || !place.IsInvertible()) return;
        FDocument->PaintTo(layer, TGPRectF{0, 0, docWidth, docHeight});
        IgnoreStatus(layer.Flush());
    }
    if (m.IsTransform()) {
        const TGPMatrix matrix(m.m11, m.m12, m.m21, m.m22, m.m31, m.m32);
        IgnoreStatus(Graphics.SetTransform(&matrix));
    }
    TGPColorMatrix colors;
    colors.m[0][0] = colors.m[1][1] = colors.m[2][2] = colors.m[4][4] = 1;
    colors.m[3][3] = GetFillOpacity();
    TGPImageAttributes attributes;
    // Without its opacity the picture would come out opaque; a picture that cannot be drawn leaves the surface.
    if (attributes.SetColorMatrix(colors) == Ok)
        IgnoreStatus(Graphics.DrawImage(&bitmap, TGPRectF{FX, FY, FWidth, FHeight}, 0, 0, static_cast<float>(pixelsX),
                                        static_cast<float>(pixelsY), UnitPixel, &attributes));
    IgnoreStatus(Graphics.ResetTransform());
    IgnoreStatus(Graphics.ResetClip());
}

void TSVGImage::PaintToGraphics(TGPGraphics& Graphics)
{
    if (FDocument && FWidth > 0 && FHeight > 0) {
        // The picture's box within the element's, as for a raster picture of the document's size.
        const float docWidth = FDocument->GetWidth(), docHeight = FDocument->GetHeight();
        ClipToViewports(Graphics);
        PaintDocument(Graphics, PlaceInBox(docWidth, docHeight, TGPRectF{FX, FY, FWidth, FHeight}, FAspect));
        return;
    }
    if (!FImage) return;
    const unsigned width = FImage->GetWidth();
    const unsigned height = FImage->GetHeight();
    if (width == 0 || height == 0) return;
    if (!(FWidth > 0) || !(FHeight > 0)) return;
    // The destination is the whole box; the source the part of the picture shown in it.
    TGPRectF target{FX, FY, FWidth, FHeight};
    TGPRectF source{0, 0, static_cast<float>(width), static_cast<float>(height)};
    if (!FAspect.Stretch) {
        const float sx = FWidth / source.Width;
        const float sy = FHeight / source.Height;
        if (FAspect.Slice) {
            const float scale = std::max(sx, sy);
            const float shownWidth = FWidth / scale;
            const float shownHeight = FHeight / scale;
            source.X = (source.Width - shownWidth) * FAspect.AlignX;
            source.Y = (source.Height - shownHeight) * FAspect.AlignY;
            source.Width = shownWidth;
            source.Height = shownHeight;
        } else {
            target = PlaceInBox(source.Width, source.Height, target, FAspect);
        }
    }
    ClipToViewports(Graphics);
    const TMatrix& m = GetMatrix();
    if (m.IsTransform()) {
        const TGPMatrix matrix(m.m11, m.m12, m.m21, m.m22, m.m31, m.m32);
        IgnoreStatus(Graphics.SetTransform(&matrix));
    } else {
        IgnoreStatus(Graphics.ResetTransform());  // no transform of its own: the identity, as for every element
    }
    TGPColorMatrix colors;
    colors.m[0][0] = 1;
    colors.m[1][1] = 1;
    colors.m[2][2] = 1;
    colors.m[3][3] = GetFillOpacity();
    colors.m[4][4] = 1;
    TGPImageAttributes attributes;
    // Without its opacity the picture would come out opaque; a picture that cannot be drawn leaves the surface.
    if (attributes.SetColorMatrix(colors) == Ok)
        IgnoreStatus(Graphics.DrawImage(FImage.get(), target, source.X, source.Y, source.Width, source.Height,
                                        UnitPixel, &attributes));
    IgnoreStatus(Graphics.ResetTransform());
    IgnoreStatus(Graphics.ResetClip());
}

void TSVGImage::UpdateBounds()
{
    const float stroke = GetStrokeWidth();
    const float h = std::isnan(stroke) ? 0 : std::max(stroke, 0.0f) / 2;
    FBounds.TopLeft = TransformPoint(FX - h, FY - h);
    FBounds.TopRight = TransformPoint(FX + FWidth + h, FY - h);
    FBounds.BottomRight = TransformPoint(FX + FWidth + h, FY + FHeight + h);
    FBounds.BottomLeft = TransformPoint(FX - h, FY + FHeight + h);
}

void TSVGImage::Clear()
{
    TSVGBasic::Clear();
    FImage.reset();
    FDocument.reset();
    FStream.reset();
    FFileName.clear();
    FAspect = TAspectRatio();
}

void TSVGImage::AssignTo(TSVGObject& Dest) const
{
    TSVGBasic::AssignTo(Dest);
    auto* image = dynamic_cast<TSVGImage*>(&Dest);
    if (image == nullptr || image == this) return;
    image->FFileName = FFileName;
    image->FAspect = FAspect;
    image->FStream = FStream;
    image->FImage = FImage;
    image->FDocument = FDocument;
}

TSVGObject* TSVGImage::NewLike(TSVGObject* Parent) const
{
    return CreateIn<TSVGImage>(Parent);
}

}  // namespace plumwick
