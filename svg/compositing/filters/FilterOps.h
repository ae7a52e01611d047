#pragma once

// The image operations behind the filter primitives. Each takes whole canvases (pixels outside
// the canvas count as transparent black) and gives a new one of the same size and colour space.

#include "svg/compositing/filters/FilterPrimitive.h"

namespace plumwick::filters {

// Gaussian blur with separate deviations along x and y (pixels); 0 leaves that direction as it is.
// Small deviations use the exact kernel, larger ones three box blurs.
TFilterImage GaussianBlur(const TFilterImage& In, float SX, float SY);
// Each channel's minimum (erode) or maximum (dilate) over the (2·RX+1) × (2·RY+1) neighbourhood.
TFilterImage Morphology(const TFilterImage& In, const TMorphologyParams& P);

// The picture shifted by (DX, DY) pixels, rounded to whole ones.
TFilterImage Offset(const TFilterImage& In, float DX, float DY);
// Tile of In's pixels inside Source repeated over the whole canvas.
TFilterImage Tile(const TFilterImage& In, const TIntRect& Source);
// Pixels of In moved by the channels of Map.
TFilterImage DisplacementMap(const TFilterImage& In, const TFilterImage& Map, const TDisplacementParams& P);

// Color in the image's space over Rect.
TFilterImage Flood(int Width, int Height, bool Linear, const TFilterColor& Color, const TIntRect& Rect);
TFilterImage ColorMatrix(const TFilterImage& In, const TColorMatrixParams& P);
TFilterImage ComponentTransfer(const TFilterImage& In, const TComponentTransferParams& P);
// Alpha of In, black.
TFilterImage AlphaOnly(const TFilterImage& In);

// Matrices of the colour-matrix types and CSS colour functions (amounts as fractions, angles in degrees).
TColorMatrixParams SaturateMatrix(float S);
TColorMatrixParams HueRotateMatrix(float Degrees);
TColorMatrixParams LuminanceToAlphaMatrix();
TColorMatrixParams GrayscaleMatrix(float Amount);
TColorMatrixParams SepiaMatrix(float Amount);
TColorMatrixParams InvertMatrix(float Amount);
TColorMatrixParams OpacityMatrix(float Amount);
TColorMatrixParams BrightnessMatrix(float Amount);
TColorMatrixParams ContrastMatrix(float Amount);

// In placed over In2 (Porter-Duff) or combined by k1·i1·i2 + k2·i1 + k3·i2 + k4.
TFilterImage Composite(const TFilterImage& In, const TFilterImage& In2, const TCompositeParams& P);
// In (source) blended onto In2 (backdrop).
TFilterImage Blend(const TFilterImage& In, const TFilterImage& In2, TBlendMode Mode);
// Top over Bottom, in place.
void Over(TFilterImage& Bottom, const TFilterImage& Top);

TFilterImage ConvolveMatrix(const TFilterImage& In, const TConvolveParams& P);
// The alpha of In as a bump map lit by the light source; colour in Linear space when asked.
TFilterImage Lighting(const TFilterImage& In, const TLightingParams& P, bool Linear);
// Perlin turbulence or fractal noise over Rect, sampled at each pixel's centre in user space.
TFilterImage Turbulence(int Width, int Height, const TTurbulenceParams& P, const TIntRect& Rect);

}  // namespace plumwick::filters
