// Value types, enumerations and the status base of the 2D graphics layer.
// The shapes follow the GDI+ flat API so the renderer reads like its Windows ancestor; the
// implementation behind them is Qt (see the GdiPlus*.cpp files). No Qt type appears here.
#pragma once

#include <cstdint>
#include <string>

namespace plumwick {

// Result of every graphics call. Values are those of GDI+. A dropped status is a compile warning: act on
// it, or pass it to IgnoreStatus where nothing depends on it.
enum [[nodiscard]] Status : int{
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    ObjectBusy = 4,
    InsufficientBuffer = 5,
    NotImplemented = 6,
    Win32Error = 7,
    WrongState = 8,
    Aborted = 9,
    FileNotFound = 10,
    ValueOverflow = 11,
    AccessDenied = 12,
    UnknownImageFormat = 13,
    FontFamilyNotFound = 14,
    FontStyleNotFound = 15,
    NotTrueTypeFont = 16,
    UnsupportedGdiplusVersion = 17,
    GdiplusNotInitialized = 18,
    PropertyNotFound = 19,
    PropertyNotSupported = 20,
};

// Drops a status on purpose. For calls that cannot fail where they are made (a reset, a getter, a mode
// given as a valid constant or copied from another surface), and for setters on a pen or brush, whose
// failure the object records: it is not used while its GetLastStatus is not Ok.
inline void IgnoreStatus(Status) {}

// 32-bit colour: alpha in the top byte, then red, green, blue.
using ARGB = std::uint32_t;

constexpr ARGB MakeARGB(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return (ARGB(a) << 24) | (ARGB(r) << 16) | (ARGB(g) << 8) | ARGB(b);
}
constexpr std::uint8_t GetAlpha(ARGB c)
{
    return std::uint8_t(c >> 24);
}
constexpr std::uint8_t GetRed(ARGB c)
{
    return std::uint8_t(c >> 16);
}
constexpr std::uint8_t GetGreen(ARGB c)
{
    return std::uint8_t(c >> 8);
}
constexpr std::uint8_t GetBlue(ARGB c)
{
    return std::uint8_t(c);
}

enum FillMode : int { FillModeAlternate = 0, FillModeWinding = 1 };

enum LineJoin : int {
    LineJoinMiter = 0,  // miter; beyond the miter limit its point is cut off
    LineJoinBevel = 1,
    LineJoinRound = 2,
    LineJoinMiterClipped = 3,  // miter; beyond the miter limit the corner is bevelled (SVG's miter)
};

enum LineCap : int { LineCapFlat = 0, LineCapSquare = 1, LineCapRound = 2, LineCapTriangle = 3 };

enum DashCap : int { DashCapFlat = 0, DashCapRound = 2, DashCapTriangle = 3 };

enum DashStyle : int {
    DashStyleSolid = 0,
    DashStyleDash = 1,
    DashStyleDot = 2,
    DashStyleDashDot = 3,
    DashStyleDashDotDot = 4,
    DashStyleCustom = 5,
};

// Prepend: the new operation is applied before the existing matrix (op × M).
// How a layer's colours mix with the pixels below it (the CSS blend modes); the alpha always composites as
// source-over.
enum BlendMode : int {
    BlendModeNormal = 0,
    BlendModeMultiply,
    BlendModeScreen,
    BlendModeOverlay,
    BlendModeDarken,
    BlendModeLighten,
    BlendModeColorDodge,
    BlendModeColorBurn,
    BlendModeHardLight,
    BlendModeSoftLight,
    BlendModeDifference,
    BlendModeExclusion,
    BlendModeHue,
    BlendModeSaturation,
    BlendModeColor,
    BlendModeLuminosity,
};

enum MatrixOrder : int { MatrixOrderPrepend = 0, MatrixOrderAppend = 1 };

enum SmoothingMode : int {
    SmoothingModeInvalid = -1,
    SmoothingModeDefault = 0,
    SmoothingModeHighSpeed = 1,
    SmoothingModeHighQuality = 2,
    SmoothingModeNone = 3,
    SmoothingModeAntiAlias = 4,
    SmoothingModeAntiAlias8x8 = 5,
};

enum InterpolationMode : int {
    InterpolationModeInvalid = -1,
    InterpolationModeDefault = 0,
    InterpolationModeLowQuality = 1,
    InterpolationModeHighQuality = 2,
    InterpolationModeBilinear = 3,
    InterpolationModeBicubic = 4,
    InterpolationModeNearestNeighbor = 5,
    InterpolationModeHighQualityBilinear = 6,
    InterpolationModeHighQualityBicubic = 7,
};

enum Unit : int {
    UnitWorld = 0,
    UnitDisplay = 1,
    UnitPixel = 2,
    UnitPoint = 3,
    UnitInch = 4,
    UnitDocument = 5,
    UnitMillimeter = 6,
};

// Style bits of fonts and of AddString.
enum FontStyle : int {
    FontStyleRegular = 0,
    FontStyleBold = 1,
    FontStyleItalic = 2,
    FontStyleBoldItalic = 3,
    FontStyleUnderline = 4,
    FontStyleStrikeout = 8,
};

enum WrapMode : int {
    WrapModeTile = 0,
    WrapModeTileFlipX = 1,
    WrapModeTileFlipY = 2,
    WrapModeTileFlipXY = 3,
    WrapModeClamp = 4,
};

enum CombineMode : int {
    CombineModeReplace = 0,
    CombineModeIntersect = 1,
    CombineModeUnion = 2,
    CombineModeXor = 3,
    CombineModeExclude = 4,
    CombineModeComplement = 5,
};

enum FlushIntention : int { FlushIntentionFlush = 0, FlushIntentionSync = 1 };

enum StringAlignment : int { StringAlignmentNear = 0, StringAlignmentCenter = 1, StringAlignmentFar = 2 };

// String format flags (bit values of GDI+).
constexpr int StringFormatFlagsDirectionRightToLeft = 0x0001;
constexpr int StringFormatFlagsNoFitBlackBox = 0x0004;
constexpr int StringFormatFlagsMeasureTrailingSpaces = 0x0800;
constexpr int StringFormatFlagsNoWrap = 0x1000;
constexpr int StringFormatFlagsLineLimit = 0x2000;
constexpr int StringFormatFlagsNoClip = 0x4000;
constexpr int LANG_NEUTRAL = 0;

// Point types of path data: the type in the low bits, flags above.
enum PathPointType : std::uint8_t {
    PathPointTypeStart = 0,
    PathPointTypeLine = 1,
    PathPointTypeBezier = 3,
    PathPointTypePathTypeMask = 0x07,
    PathPointTypeDashMode = 0x10,
    PathPointTypePathMarker = 0x20,
    PathPointTypeCloseSubpath = 0x80,
};

// 32 bits per pixel, alpha, red, green, blue (the GDI+ PixelFormat32bppARGB value).
constexpr int PixelFormat32bppARGB = 2498570;

struct TGPPointF {
    float X = 0;
    float Y = 0;
    friend bool operator==(const TGPPointF&, const TGPPointF&) = default;
};

struct TGPPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TGPPoint&, const TGPPoint&) = default;
};

struct TGPSizeF {
    float Width = 0;
    float Height = 0;
};

struct TGPRectF {
    float X = 0;
    float Y = 0;
    float Width = 0;
    float Height = 0;
    friend bool operator==(const TGPRectF&, const TGPRectF&) = default;
};

struct TGPRect {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    friend bool operator==(const TGPRect&, const TGPRect&) = default;
};

// Class id of an image encoder.
struct TGUID {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::uint8_t Data4[8] = {};
    friend bool operator==(const TGUID&, const TGUID&) = default;
    bool IsNull() const { return *this == TGUID{}; }
};
using CLSID = TGUID;

// Where graphics objects keep their last failure. Nothing in this layer throws: a failing call
// returns its status and records it; GetLastStatus hands the recorded status out once.
class TGPBase {
public:
    // The last failed status since the previous call (Ok when none); reading resets it to Ok.
    Status GetLastStatus() const
    {
        Status s = FLastResult;
        FLastResult = Ok;
        return s;
    }

protected:
    // Records a failure and passes the status through.
    Status SetStatus(Status s) const
    {
        RecordStatus(s);
        return s;
    }
    // Records a failure where there is no status to return (a constructor).
    void RecordStatus(Status s) const
    {
        if (s != Ok) FLastResult = s;
    }

private:
    mutable Status FLastResult = Ok;
};

// Grants the platform sources access to the private parts of the graphics objects.
struct GdiPlusAccess;

class TGPMatrix;
class TGPGraphicsPath;
class TGPBrush;
class TGPPen;
class TGPFontFamily;
class TGPFont;
class TGPStringFormat;
class TGPImage;
class TGPBitmap;
class TGPImageAttributes;
class TGPGraphics;

}  // namespace plumwick
