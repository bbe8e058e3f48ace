#include "settings/NumEditText.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <utility>

namespace tavelo {
namespace {

// The boxes of the settings dialog take at most three integer digits.
TNumFormat ThreeDigits() {
  TNumFormat format;
  format.integerLength = 3;
  return format;
}

TNumFormat FixedDecimals(int decimals) {
  TNumFormat format;
  format.decimalFixed = true;
  format.decimalLength = decimals;
  return format;
}

TNumFormat Without(bool TNumFormat::*option) {
  TNumFormat format;
  format.*option = false;
  return format;
}

TNumFormat NoDecimals() {
  TNumFormat format;
  format.decimalLength = 0;
  return format;
}

TNumFormat Marked() {
  TNumFormat format;
  format.leftMark = L"$";
  format.rightMark = L" kg";
  return format;
}

struct TextCase {
  const wchar_t* given;
  TNumFormat format;
  const wchar_t* expected;
};

TEST(NumEditTextTest, SettingTextKeepsTheCleanedLeadingNumber) {
  const TextCase cases[] = {
      {L"70", ThreeDigits(), L"70"},
      {L"0070", {}, L"70"},
      {L"0070", ThreeDigits(), L"70"},  // leading zeros don't count against the limit
      {L"abc", ThreeDigits(), L""},
      {L"1234", ThreeDigits(), L"123"},
      {L"-1234", ThreeDigits(), L"-123"},
      {L"1234.5", ThreeDigits(), L""},
      {L"12x34", {}, L"12"},
      {L"1,234", {}, L"1234"},
      {L"\xFF11\xFF0C\xFF12\xFF0E\xFF15", {}, L"12.5"},
      {L"\xFF0D" L"7", {}, L"-7"},
      {L"5-3", {}, L"5"},
      {L"-5", Without(&TNumFormat::minus), L""},
      {L"1.23456", {}, L"1.234"},
      {L"1.2.3", {}, L"1.2"},
      {L"3.5", NoDecimals(), L"3"},
      {L"-00.5", {}, L"-0.5"},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(StripZeros(CleanText(c.given, c.format)), c.expected) << c.given;
  }
}

TEST(NumEditTextTest, StripZerosDropsLeadingZerosButKeepsANumber) {
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"007", L"7"}, {L"00", L"0"},  {L"0", L"0"}, {L".5", L"0.5"}, {L"-00.5", L"-0.5"},
      {L"100", L"100"}, {L"", L""}, {L"-", L"-"},
  };
  for (const auto& [given, expected] : cases) {
    EXPECT_EQ(StripZeros(given), expected) << given;
  }
}

TEST(NumEditTextTest, FormatTextAddsSeparatorsDecimalsAndMarks) {
  const TextCase cases[] = {
      {L"12345", {}, L"12,345"},
      {L"1234567", {}, L"1,234,567"},
      {L"123", {}, L"123"},
      {L"12345", Without(&TNumFormat::comma), L"12345"},
      {L"-1234.5", FixedDecimals(3), L"-1,234.500"},
      {L"5", FixedDecimals(2), L"5.00"},
      {L"-0.5", FixedDecimals(2), L"-0.50"},
      {L"1.239", FixedDecimals(2), L"1.23"},
      {L"", FixedDecimals(2), L""},
      {L"-", FixedDecimals(2), L"-0.00"},
      {L"12.", {}, L"12."},
      {L"-7", Marked(), L"$-7 kg"},
      {L"", Marked(), L""},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(FormatText(c.given, c.format), c.expected) << c.given;
  }
}

TEST(NumEditTextTest, CaretStandsAfterTheTypedPartOfTheDisplay) {
  TNumFormat fixedAndMarked = FixedDecimals(3);
  fixedAndMarked.leftMark = L"$";
  const TextCase cases[] = {
      {L"1234", Marked(), L"$1,234"},
      {L"5", FixedDecimals(2), L"5"},
      {L"5.2", FixedDecimals(2), L"5.2"},
      {L"1234.", fixedAndMarked, L"$1,234."},
      {L"-", FixedDecimals(2), L"-0"},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(CaretText(c.given, c.format), c.expected) << c.given;
  }
}

struct TypeCase {
  const wchar_t* raw;
  wchar_t typed;
  TNumFormat format;
  TTypingOptions options;
  std::size_t roomInChars;  // the longest raw number the fake box fits
  TTypedAction action;
  const wchar_t* expected;  // the new raw number when accepted
};

TEST(NumEditTextTest, TypedCharactersEditTheEndOfTheNumber) {
  constexpr std::size_t kWide = 99;
  const TTypingOptions typing;
  const TTypingOptions readOnly{true, false};
  const TTypingOptions enterMoves{false, true};
  const TypeCase cases[] = {
      {L"0", L'-', {}, typing, kWide, TTypedAction::Accept, L"-1"},
      {L"-1", L'-', {}, typing, kWide, TTypedAction::Accept, L"1"},
      {L"0", L'-', FixedDecimals(2), typing, kWide, TTypedAction::Accept, L"-0"},
      {L"12", L'-', {}, typing, 2, TTypedAction::Refuse, L""},
      {L"-12", L'-', {}, typing, 2, TTypedAction::Accept, L"12"},
      {L"12", L'-', Without(&TNumFormat::minus), typing, kWide, TTypedAction::Refuse, L""},
      {L"0", L'5', {}, typing, kWide, TTypedAction::Accept, L"5"},
      {L"12", L'3', ThreeDigits(), typing, kWide, TTypedAction::Accept, L"123"},
      {L"-12", L'3', ThreeDigits(), typing, kWide, TTypedAction::Accept, L"-123"},
      {L"123", L'4', ThreeDigits(), typing, kWide, TTypedAction::Refuse, L""},
      {L"12", L'3', {}, typing, 2, TTypedAction::Refuse, L""},
      {L"1.25", L'6', {}, typing, kWide, TTypedAction::Accept, L"1.256"},
      {L"1.256", L'7', {}, typing, kWide, TTypedAction::Refuse, L""},
      {L"12", L'.', {}, typing, kWide, TTypedAction::Accept, L"12."},
      {L"", L'.', {}, typing, kWide, TTypedAction::Accept, L"0."},
      {L"1.2", L'.', {}, typing, kWide, TTypedAction::Refuse, L""},
      {L"12", L'.', NoDecimals(), typing, kWide, TTypedAction::Refuse, L""},
      {L"12", L'5', {}, readOnly, kWide, TTypedAction::Ignore, L""},
      {L"12", L'\b', {}, typing, kWide, TTypedAction::Ignore, L""},
      {L"12", L'\x03', {}, typing, kWide, TTypedAction::Ignore, L""},
      {L"12", L'\r', {}, typing, kWide, TTypedAction::Refuse, L""},
      {L"12", L'\r', {}, enterMoves, kWide, TTypedAction::NextControl, L""},
      {L"12", L'x', {}, typing, kWide, TTypedAction::Refuse, L""},
  };
  for (const TypeCase& c : cases) {
    const TFitTest fits = [&c](const std::wstring& raw) { return raw.size() <= c.roomInChars; };
    const TTypedResult result = TypeChar(c.raw, c.typed, c.format, c.options, fits);
    EXPECT_EQ(result.action, c.action) << c.raw << " + " << int(c.typed);
    if (c.action == TTypedAction::Accept) {
      EXPECT_EQ(result.raw, c.expected) << c.raw << " + " << int(c.typed);
    }
  }
}

TEST(NumEditTextTest, OnlyTypingThatCanEditClearsTheSelection) {
  const struct {
    wchar_t typed;
    TNumFormat format;
    TTypingOptions options;
    bool clears;
  } cases[] = {
      {L'7', {}, {}, true},
      {L'.', {}, {}, true},
      {L'.', NoDecimals(), {}, false},
      {L'-', {}, {}, true},
      {L'-', Without(&TNumFormat::minus), {}, false},
      {L'7', {}, {true, false}, false},
      {L'x', {}, {}, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TypingClearsSelection(c.typed, c.format, c.options), c.clears) << int(c.typed);
  }
}

TEST(NumEditTextTest, DeletingTheLastCharacterNeverLeavesTheBoxBlank) {
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"12.5", L"12"}, {L"-5", L"0"}, {L"123", L"12"}, {L"7", L"0"},
      {L"", L"0"},      {L"-1.5", L"-1"}, {L"0.", L"0"},
  };
  for (const auto& [raw, expected] : cases) {
    EXPECT_EQ(DeleteLastChar(raw), expected) << raw;
  }
}

TEST(NumEditTextTest, KeysSelectCopyAndEditOnlyWithTheirModifiers) {
  const TModifiers none;
  const TModifiers shift{true, false, false};
  const TModifiers ctrl{false, true, false};
  const TModifiers ctrlShift{true, true, false};
  const TKeyOptions editable;
  const TKeyOptions readOnly{true, false};
  const TKeyOptions arrowsMove{false, true};
  const struct {
    TEditKey key;
    TModifiers modifiers;
    TKeyOptions options;
    TKeyCommand command;
  } cases[] = {
      {TEditKey::Left, shift, editable, TKeyCommand::SelectAll},
      {TEditKey::Right, shift, readOnly, TKeyCommand::SelectAll},
      {TEditKey::Home, shift, editable, TKeyCommand::None},
      {TEditKey::A, ctrl, readOnly, TKeyCommand::SelectAll},
      {TEditKey::C, ctrl, readOnly, TKeyCommand::Copy},
      {TEditKey::C, ctrlShift, editable, TKeyCommand::None},
      {TEditKey::V, ctrl, editable, TKeyCommand::Paste},
      {TEditKey::V, ctrl, readOnly, TKeyCommand::None},
      {TEditKey::X, ctrl, editable, TKeyCommand::Cut},
      {TEditKey::X, ctrl, readOnly, TKeyCommand::None},
      {TEditKey::Home, none, readOnly, TKeyCommand::ClearSelection},
      {TEditKey::PageDown, none, editable, TKeyCommand::ClearSelection},
      {TEditKey::Up, none, editable, TKeyCommand::ClearSelection},
      {TEditKey::Down, none, arrowsMove, TKeyCommand::ClearSelectionAndMoveFocus},
      {TEditKey::Back, none, editable, TKeyCommand::DeleteLast},
      {TEditKey::Delete, none, editable, TKeyCommand::DeleteLast},
      {TEditKey::Delete, none, readOnly, TKeyCommand::None},
      {TEditKey::Back, ctrl, editable, TKeyCommand::None},
      {TEditKey::A, none, editable, TKeyCommand::None},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    EXPECT_EQ(CommandForKey(c.key, c.modifiers, c.options), c.command) << "case " << i;
  }
}

TEST(NumEditTextTest, TextFitsBetweenTheMarginsAndTheBorder) {
  const struct {
    int textWidth;
    bool singleBorder;
    bool ctl3D;
    bool fits;
  } cases[] = {
      // A box 40 wide with margins of 2: a 3-D single border leaves 32, else 34.
      {32, true, true, true},  {33, true, true, false}, {34, true, false, true},
      {35, true, false, false}, {34, false, true, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FitsWidth(c.textWidth, 40, 2, 2, c.singleBorder, c.ctl3D), c.fits) << c.textWidth;
  }
}

TEST(NumEditTextTest, TextOriginFollowsTheAlignments) {
  const TMargins margins{1, 3, 5, 7};  // top, left, bottom, right
  EXPECT_EQ(TextLeft(TAlignment::taLeftJustify, 100, 20, margins), 3);
  EXPECT_EQ(TextLeft(TAlignment::taRightJustify, 100, 20, margins), 72);
  EXPECT_EQ(TextLeft(TAlignment::taCenter, 100, 21, margins), 37);  // 45 + 3 - 10 - 1
  EXPECT_EQ(TextTop(TVertAlignment::taTopJustify, 30, 13, margins), 1);
  EXPECT_EQ(TextTop(TVertAlignment::taBottomJustify, 30, 13, margins), 12);
  EXPECT_EQ(TextTop(TVertAlignment::taVCenter, 30, 13, margins), 6);  // 11 / 2 + 1
}

}  // namespace
}  // namespace tavelo
