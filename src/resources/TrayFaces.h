#pragma once
// The pictures on the tray icons, drawn as plain pixels so that the image
// lists can be filled from them and tests can look at every pixel.
// Portable: no windows.h.
#include "framework/PixelImage.h"

namespace tavelo {

// The digital face for a load of n %: a black, fully opaque 32 x 32 square
// with two seven-segment digits (leading zero below 10), green below 50,
// yellow below 80, red from 80. 100 is inverted: a red square with "100" in
// black segments. n is held within 0..100.
TPixelImage DigitalFace(int n);

enum class TFaceKind { Cpu, Ram };

// The 16 x 16 number icon: the processor chip or the memory module on a
// transparent background. For n = 0..100 the number, without leading zeros,
// sits in a black box over the lowest seven rows (rows 9..15) that reaches
// the right edge; its 4 x 5 digits fill rows 10..14 and end in column 14.
// They are green below 50, yellow below 90, red from 90. n = 101 is the
// stopped face: a round red badge in the lowest seven rows and columns
// instead of the number. n is held within 0..101.
TPixelImage NumberIconFace(TFaceKind kind, int n);

// The 32 x 32 level meter: a grey frame round the square, black rules
// dividing the inside into ten cells of 28 x 2 pixels (columns 2..29, rows
// 2-3, 5-6, ..., 29-30), the lowest lying on the frame. The litCells lowest
// cells are green, the others transparent. litCells is held within 0..10.
TPixelImage LevelMeterFace(int litCells);

}  // namespace tavelo
