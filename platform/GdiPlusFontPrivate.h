// Private to the platform sources: font helpers shared by the font and text sources.
#pragma once

#include <QFont>
#include <QString>

#include "platform/GdiPlusFont.h"

namespace plumwick {

// Design metrics of a face in its own units.
struct FaceMetrics {
    bool Valid = false;
    double UnitsPerEm = 0;
    double Ascent = 0;
    double Descent = 0;
    double LineSpacing = 0;
};

// A Qt font of the family with the style bits at a pixel size, unhinted and unkerned.
QFont FontFor(const QString& family, int style, double pixelSize);
FaceMetrics FaceMetricsOf(const QString& family, int style);
const FaceMetrics& FamilyMetrics(const TGPFontFamily& family, int style);
const TGPFontFamily& FontFamilyOf(const TGPFont& font);
// Pixels (at 96 dpi) per unit of a font size; 0 for a unit fonts do not take.
double UnitToPixels(Unit unit);

}  // namespace plumwick
