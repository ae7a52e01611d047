// The whole 2D graphics layer.
#pragma once

#include "platform/GdiPlusBrush.h"
#include "platform/GdiPlusFont.h"
#include "platform/GdiPlusGraphics.h"
#include "platform/GdiPlusImage.h"
#include "platform/GdiPlusMatrix.h"
#include "platform/GdiPlusPath.h"
#include "platform/GdiPlusPen.h"
#include "platform/GdiPlusTypes.h"
