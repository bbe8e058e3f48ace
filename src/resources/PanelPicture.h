#pragma once
// The panel window's default background, drawn as plain pixels.
// Portable: no windows.h.
#include "framework/PixelImage.h"

namespace tavelo {

constexpr int kPanelPictureWidth = 85;
constexpr int kPanelPictureHeight = 64;

// 85 x 64, opaque: a light silver-grey gradient, lighter at the top, with a
// soft highlight along the diagonal from the top-left to the bottom-right.
TPixelImage DefaultPanelPicture();

}  // namespace tavelo
