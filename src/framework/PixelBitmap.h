#pragma once
// Plain pixels as a GDI bitmap: the one layout every picture of the program
// takes on its way to the screen.
#include "framework/PixelImage.h"
#include "framework/Win32.h"

namespace tavelo {

// A 32-bit colour bitmap, rows from the top: its pixels read as 0x00RRGGBB.
BITMAPINFO TopDownRgbInfo(int width, int height);

// A DIB section with the picture's pixels, the transparent ones black; null
// when the system refuses it. The caller deletes it.
HBITMAP CreatePixelBitmap(const TPixelImage& picture);

}  // namespace tavelo
