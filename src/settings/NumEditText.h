#pragma once
// The rules of the numeric edit control that need no window: the raw number
// and its display text, what typing and keys do to them, and where the text
// stands in the box. The raw number is an optional leading "-", digits, an
// optional "." and decimals.
#include <functional>
#include <string>
#include <string_view>

namespace tavelo {

// The settings that shape the raw and the display text.
struct TNumFormat {
  bool minus = true;        // negative numbers allowed
  int integerLength = 9;    // most digits before the point
  int decimalLength = 3;    // most digits after the point; 0 = integers only
  bool comma = true;        // group the integer digits by threes
  bool decimalFixed = false;  // always show decimalLength decimals
  std::wstring leftMark;
  std::wstring rightMark;
};

// The display text of a raw number; empty for an empty one.
std::wstring FormatText(std::wstring_view raw, const TNumFormat& format);
// The leading number of any text, as a raw number within the format's limits.
std::wstring CleanText(std::wstring_view text, const TNumFormat& format);
// Drops the zeros in front of the integer digits: 007 gives 7, .5 gives 0.5.
std::wstring StripZeros(std::wstring_view raw);
// The part of the display text before the caret; with fixed decimals the
// caret stands after the last decimal of the raw number, not after the padding.
std::wstring CaretText(std::wstring_view raw, const TNumFormat& format);
// Full-width digits, hyphen-minus and full stop as their ASCII forms.
wchar_t NarrowChar(wchar_t c);

// Whether a display text this wide fits the box.
bool FitsWidth(int textWidth, int clientWidth, int leftMargin, int rightMargin, bool singleBorder,
               bool ctl3D);

// Answers whether a candidate raw number fits the box.
using TFitTest = std::function<bool(const std::wstring& raw)>;

enum class TTypedAction {
  Accept,       // the raw number becomes `raw`
  Refuse,       // beep when asked to
  Ignore,       // consumed silently
  NextControl,  // the form moves the focus on
};

struct TTypedResult {
  TTypedAction action;
  std::wstring raw;
};

struct TTypingOptions {
  bool readOnly = false;
  bool enterFocusMove = false;
};

// Whether typing `c` first clears a selection.
bool TypingClearsSelection(wchar_t c, const TNumFormat& format, const TTypingOptions& options);
// The effect of typing `c` on `raw`, after any selection has been cleared.
TTypedResult TypeChar(std::wstring_view raw, wchar_t c, const TNumFormat& format,
                      const TTypingOptions& options, const TFitTest& fits);

// The raw number after deleting its last character.
std::wstring DeleteLastChar(std::wstring_view raw);

enum class TEditKey { Left, Right, Up, Down, PageUp, PageDown, Home, End, A, C, V, X, Back, Delete, Other };

struct TModifiers {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

enum class TKeyCommand {
  None,  // not handled
  SelectAll,
  Copy,
  ClearSelection,
  ClearSelectionAndMoveFocus,
  Paste,
  Cut,
  DeleteLast,
};

struct TKeyOptions {
  bool readOnly = false;
  bool arrowFocusMove = false;
};

TKeyCommand CommandForKey(TEditKey key, TModifiers modifiers, const TKeyOptions& options);

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TVertAlignment { taTopJustify, taBottomJustify, taVCenter };

struct TMargins {
  int top = 2;
  int left = 2;
  int bottom = 2;
  int right = 2;
};

// Where a text `textWidth` wide starts in a client area `clientWidth` wide.
int TextLeft(TAlignment alignment, int clientWidth, int textWidth, const TMargins& margins);
// Where a text `fontHeight` high starts in a client area `clientHeight` high.
int TextTop(TVertAlignment alignment, int clientHeight, int fontHeight, const TMargins& margins);

}  // namespace tavelo
