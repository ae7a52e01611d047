// Drawing surface on a bitmap: transform, clip, fill, stroke, images and text.
#pragma once

#include <memory>
#include <string_view>

#include "platform/GdiPlusTypes.h"

namespace plumwick {

class TGPGraphics : public TGPBase {
public:
    // A surface on the image's pixels. The image must outlive the graphics. On an image without
    // pixels (a failed or zero-size bitmap) the status is InvalidParameter and drawing does nothing.
    explicit TGPGraphics(TGPImage* image);
    // A measuring surface (96 dpi) with no pixels of its own: measuring works, drawing does nothing.
    // It stands in for a graphics object on the screen's device context.
    TGPGraphics();
    static std::unique_ptr<TGPGraphics> FromImage(TGPImage* image);
    ~TGPGraphics();
    TGPGraphics(const TGPGraphics&) = delete;
    TGPGraphics& operator=(const TGPGraphics&) = delete;

    // Default: no anti-aliasing; SmoothingModeAntiAlias (and HighQuality) turn it on.
    Status SetSmoothingMode(SmoothingMode mode);
    SmoothingMode GetSmoothingMode() const;
    // High quality: smooth filtering, and an area-averaging resample when an image is reduced.
    Status SetInterpolationMode(InterpolationMode mode);
    InterpolationMode GetInterpolationMode() const;
    // Maps device space onto the target's pixels (the identity by default), so a bitmap can hold one
    // part of a larger surface, or that part in another orientation: transforms and clips stay in
    // the larger surface's device space.
    Status SetDeviceTransform(const TGPMatrix& matrix);
    const TGPMatrix& GetDeviceTransform() const;
    // Completes pending drawing; the pixels are final afterwards.
    Status Flush(FlushIntention intention = FlushIntentionFlush);

    // World → device transform.
    Status SetTransform(const TGPMatrix* matrix);
    Status GetTransform(TGPMatrix* matrix) const;
    Status ResetTransform();
    Status MultiplyTransform(const TGPMatrix* matrix, MatrixOrder order = MatrixOrderPrepend);
    Status TranslateTransform(float dx, float dy, MatrixOrder order = MatrixOrderPrepend);
    Status ScaleTransform(float sx, float sy, MatrixOrder order = MatrixOrderPrepend);
    Status RotateTransform(float angle, MatrixOrder order = MatrixOrderPrepend);

    // The path is mapped by the current transform and then fixed in device space: later
    // transform changes do not move the clip.
    Status SetClip(const TGPGraphicsPath* path, CombineMode mode = CombineModeReplace);
    Status SetClip(const TGPRectF& rect, CombineMode mode = CombineModeReplace);
    Status ResetClip();
    bool IsClipEmpty() const;

    Status Clear(ARGB color);
    Status FillPath(const TGPBrush* brush, const TGPGraphicsPath* path);
    Status DrawPath(const TGPPen* pen, const TGPGraphicsPath* path);
    Status FillRectangle(const TGPBrush* brush, const TGPRectF& rect);
    Status FillRectangle(const TGPBrush* brush, float x, float y, float width, float height);
    Status FillEllipse(const TGPBrush* brush, const TGPRectF& rect);
    Status DrawLine(const TGPPen* pen, float x1, float y1, float x2, float y2);
    Status DrawRectangle(const TGPPen* pen, const TGPRectF& rect);

    // The whole image at (x, y) at its pixel size.
    Status DrawImage(TGPImage* image, float x, float y);
    // The whole image stretched into the rectangle.
    Status DrawImage(TGPImage* image, const TGPRectF& destRect);
    Status DrawImage(TGPImage* image, float x, float y, float width, float height);
    // The source rectangle (in the unit, pixels) of the image into the destination rectangle,
    // with an optional colour matrix.
    Status DrawImage(TGPImage* image, const TGPRectF& destRect, float srcX, float srcY, float srcWidth, float srcHeight,
                     Unit srcUnit, const TGPImageAttributes* attributes = nullptr);

    // Layout box of a text set in the font from the origin (single line, no wrap).
    Status MeasureString(std::string_view text, const TGPFont* font, const TGPPointF& origin,
                         const TGPStringFormat* format, TGPRectF& boundingBox) const;
    Status MeasureString(std::u16string_view text, const TGPFont* font, const TGPPointF& origin,
                         const TGPStringFormat* format, TGPRectF& boundingBox) const;
    Status DrawString(std::string_view text, const TGPFont* font, const TGPPointF& origin,
                      const TGPStringFormat* format, const TGPBrush* brush);
    Status DrawString(std::u16string_view text, const TGPFont* font, const TGPPointF& origin,
                      const TGPStringFormat* format, const TGPBrush* brush);

    // Pixel size of the image drawn on; false for a surface without pixels.
    [[nodiscard]] bool GetSurfaceSize(int& width, int& height) const;
    // Composites a layer of the surface's own pixel size pixel for pixel (device space, whatever the
    // transform), scaled by opacity (0..1), its colours mixed with the pixels below by blend, and cut by
    // the clip in force.
    Status DrawLayer(TGPBitmap* layer, float opacity, BlendMode blend = BlendModeNormal);

    float GetDpiX() const { return 96.0f; }
    float GetDpiY() const { return 96.0f; }

public:
    struct Impl;  // defined by the platform sources

private:
    friend struct GdiPlusAccess;
    std::unique_ptr<Impl> FImpl;
};

}  // namespace plumwick
