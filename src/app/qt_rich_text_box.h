#pragma once

#include <QTextCursor>

#include <cstdint>
#include <string_view>

#include "presentation/rich_text_box.h"

class QTextEdit;

namespace velmora {

// The reading's rich-text box over a QTextEdit. Positions are the document's character
// positions: each appended line is one paragraph, and the paragraph break that ends it counts
// as one character and carries a format of its own.
class QtRichTextBox final : public RichTextBox {
 public:
  explicit QtRichTextBox(QTextEdit& edit);

  // Gathers everything written through the box while it lives into one edit of the document,
  // which is laid out once, when the batch ends, instead of after every line and format. Word
  // wrapping switched meanwhile takes effect then: nothing is laid out or shown in between.
  class Batch {
   public:
    explicit Batch(QtRichTextBox& box);
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

   private:
    QtRichTextBox& box_;
  };

  void SetFocus() override;
  void SetWordWrap(bool on) override;
  void AppendLine(std::string_view line) override;
  std::int32_t EndPosition() const override;
  void Select(std::int32_t start, std::int32_t length) override;
  void SetSelectionColor(ColorValue color) override;
  void SetSelectionBold(bool bold) override;

 private:
  void ApplyWordWrap(bool on);

  QTextEdit& edit_;
  QTextCursor selection_;
  QTextCursor batch_;  // holds the open edit block while a batch lives
  bool inBatch_ = false;
  bool wordWrapWanted_ = true;
};

}  // namespace velmora
