#pragma once
// The content of TVL.ini held in memory: sections and keys in file order,
// names matched without regard to ASCII letter case, unknown sections, keys
// and other lines kept so that a writer hands them back unchanged.
// Portable: no windows.h.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavelo {

class IniDocument {
 public:
  // Reads INI text; lines may end in CR LF, LF or CR. Blanks are spaces and
  // tabs. Blank lines are dropped (the writer puts one after each section).
  // A section header is a line that, blanks aside, starts with '[' and ends
  // with ']'. Keys and values lose their surrounding blanks. Lines before the
  // first section and lines without a key before '=' are kept as they are.
  // When a section or key occurs twice, the first is read and written; both
  // are kept.
  static IniDocument Parse(std::wstring_view text);

  // Each section as "[name]", its lines as "key=value", then an empty line;
  // every line ends in CR LF.
  std::wstring Format() const;

  // The raw value, or nothing when the section or key is missing.
  std::optional<std::wstring> Value(std::wstring_view section, std::wstring_view key) const;

  // Sets a value; a missing key goes to the end of its section, a missing
  // section to the end of the document. Existing names keep their spelling.
  void SetValue(std::wstring_view section, std::wstring_view key, std::wstring_view value);

  std::wstring ReadString(std::wstring_view section, std::wstring_view key,
                          std::wstring_view fallback) const;
  // A value that is not a decimal 32-bit integer gives the fallback.
  int ReadInteger(std::wstring_view section, std::wstring_view key, int fallback) const;
  // Any valid integer other than 0 is true, 0 is false; else the fallback.
  bool ReadBool(std::wstring_view section, std::wstring_view key, bool fallback) const;

  void WriteString(std::wstring_view section, std::wstring_view key, std::wstring_view value);
  void WriteInteger(std::wstring_view section, std::wstring_view key, int value);
  void WriteBool(std::wstring_view section, std::wstring_view key, bool value);

 private:
  struct Line {
    std::wstring key;    // empty for a line kept verbatim
    std::wstring value;  // the whole line when key is empty

    // "key=value" with blanks trimmed; verbatim when no key precedes '='.
    static Line Parse(std::wstring_view text);
    bool HasKey(std::wstring_view name) const;
    std::wstring Text() const;
  };
  struct Section {
    std::wstring name;
    bool hasHeader = true;  // false only for lines before the first section
    std::vector<Line> lines;

    bool HasName(std::wstring_view sectionName) const;
  };

  const Section* FindSection(std::wstring_view name) const;
  Section& SectionFor(std::wstring_view name);

  std::vector<Section> sections_;
};

// Parses an optionally signed decimal integer that fits 32 bits, allowing
// blanks around it. Anything else gives nothing.
std::optional<int> ParseInteger(std::wstring_view text);

}  // namespace tavelo
