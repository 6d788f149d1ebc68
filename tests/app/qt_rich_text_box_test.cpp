#include "app/qt_rich_text_box.h"

#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <optional>
#include <string>
#include <vector>

#include "app_format_probe.h"

namespace velmora {
namespace {

using testing::FormatAt;
using testing::Seen;

constexpr Seen kBlack{kColorBlack, false};
constexpr Seen kRedBold{kColorRed, true};
constexpr Seen kRed{kColorRed, false};
constexpr Seen kBlue{kColorBlue, false};
constexpr Seen kMaroonBold{kColorMaroon, true};

TEST(QtRichTextBoxPositions, CountEveryLineBreakAsOneCharacter) {
  QTextEdit edit;
  QtRichTextBox box(edit);
  EXPECT_EQ(box.EndPosition(), 0);
  box.AppendLine("Place:Life");
  EXPECT_EQ(box.EndPosition(), 11);
  box.AppendLine("");
  EXPECT_EQ(box.EndPosition(), 12);
  box.AppendLine("Stars:");
  EXPECT_EQ(box.EndPosition(), 19);
  EXPECT_EQ(edit.document()->toPlainText().toStdString(), "Place:Life\n\nStars:\n");
  EXPECT_EQ(edit.document()->blockCount(), 4) << "one paragraph per line and the empty last one";
}

TEST(QtRichTextBoxFormats, FirstLineIsBlackRegularWhateverTheEditorLastUsed) {
  QTextEdit edit;
  QTextCharFormat stray;
  stray.setForeground(Qt::green);
  stray.setFontWeight(QFont::Bold);
  stray.setFontItalic(true);
  edit.setCurrentCharFormat(stray);
  QtRichTextBox box(edit);
  box.AppendLine("Place:Life");
  for (int p = 0; p < box.EndPosition(); ++p) EXPECT_EQ(FormatAt(*edit.document(), p), kBlack) << p;
}

// A line takes the format of the line break before it, never that of the editor's cursor or of
// the selection last formatted.
class QtRichTextBoxInheritance : public ::testing::TestWithParam<bool> {};

TEST_P(QtRichTextBoxInheritance, NewLinesTakeTheFormatOfThePreviousLineBreak) {
  QTextEdit edit;
  QtRichTextBox box(edit);
  std::optional<QtRichTextBox::Batch> batch;
  if (GetParam()) batch.emplace(box);
  box.AppendLine("Place:Life");  // 0..10, break at 10
  box.Select(0, 11);
  box.SetSelectionColor(kColorRed);
  box.Select(0, 6);
  box.SetSelectionBold(true);
  box.AppendLine("Text");        // 11..15: red regular, carried on from the break
  box.AppendLine("Stars:King");  // 16..26
  box.Select(16, 11);
  box.SetSelectionColor(kColorBlue);
  box.Select(16, 6);
  box.SetSelectionBold(true);
  box.AppendLine("King:rules");  // 27..37
  box.Select(27, 5);
  box.SetSelectionColor(kColorMaroon);
  box.SetSelectionBold(true);
  box.AppendLine("");  // 38

  struct Span {
    int from;
    int to;  // exclusive
    Seen format;
  };
  const Span expected[] = {
      {0, 6, kRedBold}, {6, 11, kRed},         {11, 16, kRed},  {16, 22, {kColorBlue, true}},
      {22, 27, kBlue},  {27, 32, kMaroonBold}, {32, 38, kBlue}, {38, 39, kBlue},
  };
  ASSERT_EQ(box.EndPosition(), 39);
  batch.reset();
  for (const Span& span : expected) {
    for (int p = span.from; p < span.to; ++p) {
      EXPECT_EQ(FormatAt(*edit.document(), p), span.format) << "position " << p;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutBatch, QtRichTextBoxInheritance, ::testing::Bool());

TEST(QtRichTextBoxBatch, WordWrapTakesEffectWhenTheBatchEnds) {
  struct Case {
    const char* name;
    std::vector<bool> switches;  // SetWordWrap calls during the batch
    QTextEdit::LineWrapMode after;
  };
  const Case cases[] = {
      {"off and on again", {false, true}, QTextEdit::WidgetWidth},
      {"left off", {false}, QTextEdit::NoWrap},
      {"untouched", {}, QTextEdit::WidgetWidth},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QTextEdit edit;
    QtRichTextBox box(edit);
    {
      const QtRichTextBox::Batch batch(box);
      for (const bool on : c.switches) box.SetWordWrap(on);
      box.AppendLine("written in one edit");
      EXPECT_EQ(edit.lineWrapMode(), QTextEdit::WidgetWidth);
    }
    EXPECT_EQ(edit.lineWrapMode(), c.after);
    EXPECT_EQ(edit.document()->firstBlock().text(), "written in one edit");
  }
}

TEST(QtRichTextBoxFormats, BoldIsExactlyBoldAndRegularClearsIt) {
  QTextEdit edit;
  QtRichTextBox box(edit);
  box.AppendLine("styled");
  QTextCursor cursor(edit.document());
  cursor.setPosition(0);
  cursor.setPosition(6, QTextCursor::KeepAnchor);
  QTextCharFormat fancy;
  fancy.setFontItalic(true);
  fancy.setFontUnderline(true);
  fancy.setFontStrikeOut(true);
  cursor.mergeCharFormat(fancy);

  box.Select(0, 3);
  box.SetSelectionBold(true);
  box.Select(3, 3);
  box.SetSelectionBold(false);
  for (int p = 0; p < 6; ++p) {
    cursor.setPosition(p);
    cursor.setPosition(p + 1, QTextCursor::KeepAnchor);
    const QTextCharFormat f = cursor.charFormat();
    EXPECT_EQ(f.fontWeight() == QFont::Bold, p < 3) << p;
    EXPECT_FALSE(f.fontItalic()) << p;
    EXPECT_FALSE(f.fontUnderline()) << p;
    EXPECT_FALSE(f.fontStrikeOut()) << p;
  }
}

TEST(QtRichTextBoxSelection, RangesOutsideTheTextAreClamped) {
  struct Case {
    const char* name;
    int start;
    int length;
    int first;  // first coloured position, -1 for none
    int last;
  };
  const Case cases[] = {
      {"inside", 1, 2, 1, 2},
      {"past the end", 3, 100, 3, 4},
      {"before the start", -5, 7, 0, 1},
      {"negative length", 2, -3, -1, -1},
      {"start past the end", 50, 2, -1, -1},
      {"huge length", 0, 2147483647, 0, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QTextEdit edit;
    QtRichTextBox box(edit);
    box.AppendLine("abcd");
    box.Select(c.start, c.length);
    box.SetSelectionColor(kColorRed);
    for (int p = 0; p < box.EndPosition(); ++p) {
      const bool coloured = c.first >= 0 && p >= c.first && p <= c.last;
      EXPECT_EQ(FormatAt(*edit.document(), p).color, coloured ? kColorRed : kColorBlack) << p;
    }
  }
}

TEST(QtRichTextBoxEditor, TextIsStoredAsUtf8Decoded) {
  QTextEdit edit;
  QtRichTextBox box(edit);
  box.AppendLine("Pal\xC3\xA4st");
  EXPECT_EQ(edit.document()->firstBlock().text(), QStringLiteral("Pal\u00E4st"));
  EXPECT_EQ(box.EndPosition(), 7);
}

}  // namespace
}  // namespace velmora
