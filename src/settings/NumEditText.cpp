#include "settings/NumEditText.h"

#include <algorithm>
#include <cstddef>

namespace tavelo {

namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// The parts of a raw number: sign, integer digits and the decimals after a point.
struct TNumberParts {
  bool negative = false;
  std::wstring integer;
  bool hasPoint = false;
  std::wstring decimals;
};

TNumberParts Split(std::wstring_view raw) {
  TNumberParts parts;
  if (!raw.empty() && raw.front() == L'-') {
    parts.negative = true;
    raw.remove_prefix(1);
  }
  const std::size_t point = raw.find(L'.');
  parts.integer = std::wstring(raw.substr(0, point));
  if (point != std::wstring_view::npos) {
    parts.hasPoint = true;
    parts.decimals = std::wstring(raw.substr(point + 1));
  }
  return parts;
}

std::wstring GroupByThrees(const std::wstring& digits) {
  std::wstring grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += L',';
    grouped += digits[i];
  }
  return grouped;
}

std::wstring FormatInteger(const TNumberParts& parts, const TNumFormat& format) {
  return format.comma ? GroupByThrees(parts.integer) : parts.integer;
}

std::wstring Signed(const TNumberParts& parts, const std::wstring& text) {
  return parts.negative ? L"-" + text : text;
}

// Deleting never leaves the box blank or with a lone sign.
std::wstring ZeroIfBlank(std::wstring raw) {
  return raw.empty() || raw == L"-" ? L"0" : raw;
}

TTypedResult AcceptIfFits(std::wstring candidate, const TFitTest& fits) {
  if (!fits(candidate)) return {TTypedAction::Refuse, {}};
  return {TTypedAction::Accept, std::move(candidate)};
}

TTypedResult TypeDigit(std::wstring_view raw, wchar_t digit, const TNumFormat& format,
                       const TFitTest& fits) {
  const TNumberParts parts = Split(raw);
  const bool full = parts.hasPoint
                        ? parts.decimals.size() >= static_cast<std::size_t>(format.decimalLength)
                        : parts.integer.size() >= static_cast<std::size_t>(format.integerLength);
  if (full) return {TTypedAction::Refuse, {}};
  return AcceptIfFits(StripZeros(std::wstring(raw) + digit), fits);
}

TTypedResult TypePoint(std::wstring_view raw, const TFitTest& fits) {
  if (raw.find(L'.') != std::wstring_view::npos) return {TTypedAction::Refuse, {}};
  return AcceptIfFits(StripZeros(std::wstring(raw) + L'.'), fits);
}

TTypedResult TypeMinus(std::wstring_view raw, const TNumFormat& format, const TFitTest& fits) {
  if (!raw.empty() && raw.front() == L'-') {
    return {TTypedAction::Accept, std::wstring(raw.substr(1))};
  }
  std::wstring candidate = L"-" + std::wstring(raw);
  // A minus sign on zero would change nothing that shows.
  if (!format.decimalFixed && candidate == L"-0") candidate = L"-1";
  return AcceptIfFits(std::move(candidate), fits);
}

// Full-width forms as ASCII; the full-width comma goes.
std::wstring NarrowText(std::wstring_view text) {
  std::wstring narrow;
  for (const wchar_t c : text) {
    if (c != L'\xFF0C') narrow += NarrowChar(c);
  }
  return narrow;
}

bool IsSilentControlChar(wchar_t c) {
  constexpr wchar_t kBackspace = 8, kCtrlA = 1, kCtrlC = 3, kCtrlV = 0x16, kCtrlX = 0x18;
  return c == kBackspace || c == kCtrlA || c == kCtrlC || c == kCtrlV || c == kCtrlX;
}

bool NoModifier(TModifiers modifiers) { return !modifiers.shift && !modifiers.ctrl && !modifiers.alt; }
bool ShiftAlone(TModifiers modifiers) { return modifiers.shift && !modifiers.ctrl && !modifiers.alt; }
bool CtrlAlone(TModifiers modifiers) { return modifiers.ctrl && !modifiers.shift && !modifiers.alt; }

}  // namespace

std::wstring FormatText(std::wstring_view raw, const TNumFormat& format) {
  if (raw.empty()) return {};
  const TNumberParts parts = Split(raw);
  std::wstring integer = FormatInteger(parts, format);
  std::wstring decimals = parts.decimals;
  if (format.decimalFixed) decimals.resize(static_cast<std::size_t>(format.decimalLength), L'0');
  if (parts.hasPoint || format.decimalFixed) decimals.insert(0, 1, L'.');
  if (format.decimalFixed && integer.empty()) integer = L"0";
  return format.leftMark + Signed(parts, integer + decimals) + format.rightMark;
}

std::wstring CleanText(std::wstring_view text, const TNumFormat& format) {
  const std::wstring narrow = NarrowText(text);
  std::wstring result;
  bool pointTaken = false;
  for (std::size_t i = 0; i < narrow.size(); ++i) {
    const wchar_t c = narrow[i];
    if (c == L',') continue;
    if (c == L'.') {
      if (format.decimalLength == 0 || pointTaken) break;
      pointTaken = true;
    } else if (c == L'-') {
      if (!format.minus || i != 0) break;
    } else if (!IsDigit(c)) {
      break;
    }
    result += c;
  }

  TNumberParts parts = Split(result);
  // Leading zeros carry no value, so they don't count against the digit
  // limit: 0070 in a box of three digits is 70, not 7.
  const std::size_t firstSignificant = parts.integer.find_first_not_of(L'0');
  if (firstSignificant != std::wstring::npos) parts.integer.erase(0, firstSignificant);
  else if (!parts.integer.empty()) parts.integer = L"0";
  const std::size_t integerLength = static_cast<std::size_t>(format.integerLength);
  if (parts.hasPoint) {
    if (parts.integer.size() > integerLength) return {};
    parts.decimals.resize(std::min(parts.decimals.size(),
                                   static_cast<std::size_t>(format.decimalLength)));
    return Signed(parts, parts.integer + L"." + parts.decimals);
  }
  if (parts.integer.size() > integerLength) parts.integer.resize(integerLength);
  return Signed(parts, parts.integer);
}

std::wstring StripZeros(std::wstring_view raw) {
  const bool negative = !raw.empty() && raw.front() == L'-';
  if (negative) raw.remove_prefix(1);
  const std::size_t firstNonZero = std::min(raw.find_first_not_of(L'0'), raw.size());
  std::wstring text(raw.substr(firstNonZero));
  if (firstNonZero > 0 && text.empty()) text = L"0";
  if (!text.empty() && text.front() == L'.') text.insert(0, 1, L'0');
  return negative ? L"-" + text : text;
}

std::wstring CaretText(std::wstring_view raw, const TNumFormat& format) {
  if (!format.decimalFixed) {
    const std::wstring display = FormatText(raw, format);
    return display.substr(0, display.size() - std::min(display.size(), format.rightMark.size()));
  }
  const TNumberParts parts = Split(raw);
  std::wstring integer = FormatInteger(parts, format);
  if (integer.empty()) integer = L"0";
  std::wstring typedDecimals = parts.hasPoint ? L"." + parts.decimals : L"";
  return format.leftMark + Signed(parts, integer) + typedDecimals;
}

wchar_t NarrowChar(wchar_t c) {
  if (c >= L'\xFF10' && c <= L'\xFF19') return static_cast<wchar_t>(L'0' + (c - L'\xFF10'));
  if (c == L'\xFF0D') return L'-';
  if (c == L'\xFF0E') return L'.';
  return c;
}

bool FitsWidth(int textWidth, int clientWidth, int leftMargin, int rightMargin, bool singleBorder,
               bool ctl3D) {
  const int borderAllowance = singleBorder && ctl3D ? 2 : 1;
  return textWidth <= clientWidth - leftMargin - rightMargin - 2 * borderAllowance;
}

bool TypingClearsSelection(wchar_t c, const TNumFormat& format, const TTypingOptions& options) {
  if (options.readOnly) return false;
  if (IsDigit(c)) return true;
  if (c == L'.') return format.decimalLength > 0;
  if (c == L'-') return format.minus;
  return false;
}

TTypedResult TypeChar(std::wstring_view raw, wchar_t c, const TNumFormat& format,
                      const TTypingOptions& options, const TFitTest& fits) {
  constexpr wchar_t kEnter = L'\r';
  if (options.readOnly || IsSilentControlChar(c)) return {TTypedAction::Ignore, {}};
  if (IsDigit(c)) return TypeDigit(raw, c, format, fits);
  if (c == L'.' && format.decimalLength > 0) return TypePoint(raw, fits);
  if (c == L'-' && format.minus) return TypeMinus(raw, format, fits);
  if (c == kEnter && options.enterFocusMove) return {TTypedAction::NextControl, {}};
  return {TTypedAction::Refuse, {}};
}

std::wstring DeleteLastChar(std::wstring_view raw) {
  if (raw.empty()) return L"0";
  std::wstring text(raw.substr(0, raw.size() - 1));
  if (!text.empty() && text.back() == L'.') text.pop_back();
  return ZeroIfBlank(std::move(text));
}

TKeyCommand CommandForKey(TEditKey key, TModifiers modifiers, const TKeyOptions& options) {
  if (ShiftAlone(modifiers) && (key == TEditKey::Left || key == TEditKey::Right)) {
    return TKeyCommand::SelectAll;
  }
  if (CtrlAlone(modifiers)) {
    if (key == TEditKey::A) return TKeyCommand::SelectAll;
    if (key == TEditKey::C) return TKeyCommand::Copy;
    if (key == TEditKey::V && !options.readOnly) return TKeyCommand::Paste;
    if (key == TEditKey::X && !options.readOnly) return TKeyCommand::Cut;
    return TKeyCommand::None;
  }
  if (!NoModifier(modifiers)) return TKeyCommand::None;
  switch (key) {
    case TEditKey::PageUp:
    case TEditKey::PageDown:
    case TEditKey::End:
    case TEditKey::Home:
    case TEditKey::Left:
    case TEditKey::Right:
      return TKeyCommand::ClearSelection;
    case TEditKey::Up:
    case TEditKey::Down:
      return options.arrowFocusMove ? TKeyCommand::ClearSelectionAndMoveFocus
                                    : TKeyCommand::ClearSelection;
    case TEditKey::Back:
    case TEditKey::Delete:
      return options.readOnly ? TKeyCommand::None : TKeyCommand::DeleteLast;
    default:
      return TKeyCommand::None;
  }
}

int TextLeft(TAlignment alignment, int clientWidth, int textWidth, const TMargins& margins) {
  switch (alignment) {
    case TAlignment::taLeftJustify:
      return margins.left;
    case TAlignment::taRightJustify:
      return clientWidth - textWidth - margins.right - 1;
    case TAlignment::taCenter:
      return (clientWidth - margins.left - margins.right) / 2 + margins.left - textWidth / 2 - 1;
  }
  return margins.left;
}

int TextTop(TVertAlignment alignment, int clientHeight, int fontHeight, const TMargins& margins) {
  switch (alignment) {
    case TVertAlignment::taTopJustify:
      return margins.top;
    case TVertAlignment::taBottomJustify:
      return clientHeight - fontHeight - margins.bottom;
    case TVertAlignment::taVCenter:
      return (clientHeight - fontHeight - margins.top - margins.bottom) / 2 + margins.top;
  }
  return margins.top;
}

}  // namespace tavelo
