#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "presentation/rich_text_box.h"

namespace velmora {

// The format of one character: its colour and whether it is bold.
struct CharFormat {
  ColorValue color = kColorBlack;
  bool bold = false;
  friend constexpr bool operator==(const CharFormat&, const CharFormat&) = default;
};

// A stretch of consecutive characters that share one format.
struct FormatRun {
  std::int32_t start = 0;
  std::int32_t length = 0;
  CharFormat format;
  friend constexpr bool operator==(const FormatRun&, const FormatRun&) = default;
};

// A rich-text box kept in memory: every character with its colour and weight, so that a reading
// can be checked character by character and printed as plain text or HTML, or read run by run
// by the terminal's writer.
//
// Text arrives as UTF-8 and positions count Unicode code points; a line break is one character,
// stored as '\n'. A byte sequence that is not valid UTF-8 is stored as U+FFFD, one replacement
// character per bad byte, so that a bad line is visible rather than lost or corrupting its
// neighbours. Ranges given to Select are clamped to the text.
class StyledTextBuffer final : public RichTextBox {
 public:
  StyledTextBuffer() = default;

  // RichTextBox. Focus and word wrap have no effect on the text; word wrap is only remembered.
  void SetFocus() override {}
  void SetWordWrap(bool on) override { wordWrap_ = on; }
  void AppendLine(std::string_view line) override;
  std::int32_t EndPosition() const override { return Length(); }
  void Select(std::int32_t start, std::int32_t length) override;
  void SetSelectionColor(ColorValue color) override;
  void SetSelectionBold(bool bold) override;

  // Empties the box, keeping its memory for the next text; the selection becomes empty.
  void Clear();

  std::int32_t Length() const { return static_cast<std::int32_t>(chars_.size()); }
  bool WordWrap() const { return wordWrap_; }
  // The selected range, already clamped to the text.
  std::int32_t SelectionStart() const { return selStart_; }
  std::int32_t SelectionLength() const { return selLength_; }

  // Character i (a code point), or nothing when i is not a position of a character.
  std::optional<char32_t> CharAt(std::int32_t i) const;
  // The format of character i, or nothing when i is not a position of a character.
  std::optional<CharFormat> FormatAt(std::int32_t i) const;
  // The characters of [start, start + length) as UTF-8, clamped to the text.
  std::string Text(std::int32_t start, std::int32_t length) const;
  // The whole text as runs of equal format, in order; empty for an empty box.
  std::vector<FormatRun> Runs() const;

  // Exactly the text, as UTF-8.
  std::string PlainText() const;
  // An XHTML fragment: one white-space-preserving <div> holding one <span> per run of equal
  // format, its line breaks kept as line breaks, each colour darkened where it must be to stand
  // 4.5:1 against a page's paper (LegibleOn). Markup characters are escaped; control
  // characters other than tab and line break, and U+FFFE and U+FFFF, are shown as U+FFFD.
  std::string Html() const;
  // Every character, a line break as '\n'.
  std::u32string_view Chars() const { return chars_; }

 private:
  // The clamped range [first, last) of a start and a length that may lie anywhere.
  struct Range {
    std::size_t first;
    std::size_t last;
  };
  Range Clamp(std::int64_t start, std::int64_t length) const;
  // The index of the run holding character `pos` (pos < Length()).
  std::size_t RunOf(std::size_t pos) const;
  // Makes a run start at `pos` and gives its index; a position at or past the end of the text
  // gives the number of runs.
  std::size_t SplitAt(std::size_t pos);
  // Changes the format of the selected characters, then joins neighbours made equal.
  template <typename Change>
  void ChangeSelection(Change change);

  std::u32string chars_;
  // The formats as runs: each starts where the previous one ends, the first at 0, and no two
  // neighbours are equal; empty exactly when the text is. A new line extends the last run, since
  // it takes the last character's format, so appending never touches the formats at all.
  struct StoredRun {
    std::size_t start;
    CharFormat format;
  };
  std::vector<StoredRun> runs_;
  std::int32_t selStart_ = 0;
  std::int32_t selLength_ = 0;
  bool wordWrap_ = true;
};

}  // namespace velmora
