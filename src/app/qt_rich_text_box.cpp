#include "app/qt_rich_text_box.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <cstdint>

namespace velmora {

namespace {

// The box's own format, taken by the first line written into an empty box: black, regular.
QTextCharFormat OwnFormat() {
  QTextCharFormat format;
  format.setForeground(QColor(0, 0, 0));
  format.setFontWeight(QFont::Normal);
  return format;
}

}  // namespace

QtRichTextBox::QtRichTextBox(QTextEdit& edit) : edit_(edit), selection_(edit.document()) {}

void QtRichTextBox::SetFocus() {
  edit_.setFocus(Qt::OtherFocusReason);
}

QtRichTextBox::Batch::Batch(QtRichTextBox& box) : box_(box) {
  box_.batch_ = QTextCursor(box_.edit_.document());
  box_.batch_.beginEditBlock();
  box_.inBatch_ = true;
  box_.wordWrapWanted_ = box_.edit_.lineWrapMode() != QTextEdit::NoWrap;
}

QtRichTextBox::Batch::~Batch() {
  box_.batch_.endEditBlock();
  box_.inBatch_ = false;
  box_.ApplyWordWrap(box_.wordWrapWanted_);
}

void QtRichTextBox::SetWordWrap(bool on) {
  wordWrapWanted_ = on;
  if (!inBatch_) ApplyWordWrap(on);
}

// Switching the mode lays the whole text out again, so only a real change is passed on.
void QtRichTextBox::ApplyWordWrap(bool on) {
  const QTextEdit::LineWrapMode mode = on ? QTextEdit::WidgetWidth : QTextEdit::NoWrap;
  if (edit_.lineWrapMode() != mode) edit_.setLineWrapMode(mode);
}

// A new line takes the format of the character just before it, the break that ends the
// previous line. QTextEdit::append would choose a format of its own, so the text and its
// paragraph break are inserted with that format given explicitly.
void QtRichTextBox::AppendLine(std::string_view line) {
  QTextCursor cursor(edit_.document());
  cursor.movePosition(QTextCursor::End);
  // At the start of the empty last paragraph charFormat() is that of the break before it.
  const QTextCharFormat format = cursor.position() == 0 ? OwnFormat() : cursor.charFormat();
  cursor.insertText(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())), format);
  cursor.insertBlock(cursor.blockFormat(), format);
}

std::int32_t QtRichTextBox::EndPosition() const {
  // The document always ends in one paragraph break of its own, which is not the box's text.
  return static_cast<std::int32_t>(edit_.document()->characterCount() - 1);
}

// The range [start, start + length) cut to the text.
void QtRichTextBox::Select(std::int32_t start, std::int32_t length) {
  const std::int64_t end = EndPosition();
  const std::int64_t first = std::clamp<std::int64_t>(start, 0, end);
  const std::int64_t last = std::clamp<std::int64_t>(std::int64_t{start} + length, first, end);
  selection_ = QTextCursor(edit_.document());
  selection_.setPosition(static_cast<int>(first));
  selection_.setPosition(static_cast<int>(last), QTextCursor::KeepAnchor);
}

void QtRichTextBox::SetSelectionColor(ColorValue color) {
  QTextCharFormat format;
  format.setForeground(QColor(RedOf(color), GreenOf(color), BlueOf(color)));
  selection_.mergeCharFormat(format);
}

// The style becomes exactly bold or exactly regular: italic, underline and strike-out go.
void QtRichTextBox::SetSelectionBold(bool bold) {
  QTextCharFormat format;
  format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
  format.setFontItalic(false);
  format.setFontUnderline(false);
  format.setFontStrikeOut(false);
  selection_.mergeCharFormat(format);
}

}  // namespace velmora
