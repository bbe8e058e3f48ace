#pragma once
// What mouse and keyboard events tell their handlers.
#include <functional>

#include "framework/Object.h"

namespace tavelo {

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// A set over the modifier keys and mouse buttons.
using TShiftState = unsigned;
constexpr TShiftState ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32;

using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift,
                                       int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;

}  // namespace tavelo
