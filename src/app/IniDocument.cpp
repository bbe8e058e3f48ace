#include "IniDocument.h"

#include <cstdint>
#include <limits>

#include "TextEncoding.h"
#include "framework/DecimalText.h"

namespace tavelo {
namespace {

constexpr std::wstring_view kBlanks = L" \t";

std::wstring_view Trim(std::wstring_view text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::wstring_view::npos) return {};
  const std::size_t last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

wchar_t FoldAsciiCase(wchar_t c) {
  return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// Only ASCII letters are folded: the names this program uses are ASCII, and
// folding beyond that would depend on the locale.
bool EqualsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAsciiCase(a[i]) != FoldAsciiCase(b[i])) return false;
  }
  return true;
}

// The name inside "[name]", given a line already trimmed of blanks.
std::optional<std::wstring_view> SectionName(std::wstring_view trimmedLine) {
  if (trimmedLine.size() < 2 || trimmedLine.front() != L'[' || trimmedLine.back() != L']') {
    return std::nullopt;
  }
  return Trim(trimmedLine.substr(1, trimmedLine.size() - 2));
}

}  // namespace

IniDocument::Line IniDocument::Line::Parse(std::wstring_view text) {
  const std::size_t equals = text.find(L'=');
  if (equals == std::wstring_view::npos) return {L"", std::wstring(text)};
  const std::wstring_view name = Trim(text.substr(0, equals));
  if (name.empty()) return {L"", std::wstring(text)};
  return {std::wstring(name), std::wstring(Trim(text.substr(equals + 1)))};
}

bool IniDocument::Line::HasKey(std::wstring_view name) const {
  return !key.empty() && EqualsIgnoringAsciiCase(key, name);
}

std::wstring IniDocument::Line::Text() const {
  if (key.empty()) return value;
  return key + L'=' + value;
}

bool IniDocument::Section::HasName(std::wstring_view sectionName) const {
  return hasHeader && EqualsIgnoringAsciiCase(name, sectionName);
}

IniDocument IniDocument::Parse(std::wstring_view text) {
  IniDocument document;
  for (const std::wstring_view line : SplitLines(text)) {
    const std::wstring_view trimmed = Trim(line);
    if (trimmed.empty()) continue;
    if (const auto name = SectionName(trimmed)) {
      document.sections_.push_back({std::wstring(*name), true, {}});
      continue;
    }
    if (document.sections_.empty()) document.sections_.push_back({L"", false, {}});
    Section& section = document.sections_.back();
    section.lines.push_back(section.hasHeader ? Line::Parse(line) : Line{L"", std::wstring(line)});
  }
  return document;
}

std::wstring IniDocument::Format() const {
  std::wstring text;
  for (const Section& section : sections_) {
    if (section.hasHeader) text += L'[' + section.name + L"]\r\n";
    for (const Line& line : section.lines) text += line.Text() + L"\r\n";
    text += L"\r\n";
  }
  return text;
}

std::optional<std::wstring> IniDocument::Value(std::wstring_view section,
                                               std::wstring_view key) const {
  const Section* found = FindSection(section);
  if (found == nullptr) return std::nullopt;
  for (const Line& line : found->lines) {
    if (line.HasKey(key)) return line.value;
  }
  return std::nullopt;
}

void IniDocument::SetValue(std::wstring_view section, std::wstring_view key,
                           std::wstring_view value) {
  Section& target = SectionFor(section);
  for (Line& line : target.lines) {
    if (line.HasKey(key)) {
      line.value = value;
      return;
    }
  }
  target.lines.push_back({std::wstring(key), std::wstring(value)});
}

std::wstring IniDocument::ReadString(std::wstring_view section, std::wstring_view key,
                                     std::wstring_view fallback) const {
  return Value(section, key).value_or(std::wstring(fallback));
}

int IniDocument::ReadInteger(std::wstring_view section, std::wstring_view key,
                             int fallback) const {
  const auto value = Value(section, key);
  if (!value) return fallback;
  return ParseInteger(*value).value_or(fallback);
}

bool IniDocument::ReadBool(std::wstring_view section, std::wstring_view key,
                           bool fallback) const {
  const auto value = Value(section, key);
  if (!value) return fallback;
  const auto number = ParseInteger(*value);
  if (!number) return fallback;
  return *number != 0;
}

void IniDocument::WriteString(std::wstring_view section, std::wstring_view key,
                              std::wstring_view value) {
  SetValue(section, key, value);
}

void IniDocument::WriteInteger(std::wstring_view section, std::wstring_view key, int value) {
  SetValue(section, key, DecimalText(value));
}

void IniDocument::WriteBool(std::wstring_view section, std::wstring_view key, bool value) {
  SetValue(section, key, value ? L"1" : L"0");
}

const IniDocument::Section* IniDocument::FindSection(std::wstring_view name) const {
  for (const Section& section : sections_) {
    if (section.HasName(name)) return &section;
  }
  return nullptr;
}

IniDocument::Section& IniDocument::SectionFor(std::wstring_view name) {
  for (Section& section : sections_) {
    if (section.HasName(name)) return section;
  }
  sections_.push_back({std::wstring(name), true, {}});
  return sections_.back();
}

std::optional<int> ParseInteger(std::wstring_view text) {
  text = Trim(text);
  const bool negative = !text.empty() && text.front() == L'-';
  if (!text.empty() && (text.front() == L'-' || text.front() == L'+')) text.remove_prefix(1);
  if (text.empty()) return std::nullopt;

  // One past INT_MAX, so that INT_MIN still fits before the sign is applied.
  constexpr std::int64_t kMagnitudeLimit = std::int64_t{std::numeric_limits<int>::max()} + 1;
  std::int64_t magnitude = 0;
  for (const wchar_t digit : text) {
    if (digit < L'0' || digit > L'9') return std::nullopt;
    magnitude = magnitude * 10 + (digit - L'0');
    if (magnitude > kMagnitudeLimit) return std::nullopt;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<int>::max()) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace tavelo
