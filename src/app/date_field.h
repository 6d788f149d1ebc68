#pragma once

#include <QDate>
#include <QDateEdit>
#include <QString>

class QFocusEvent;
class QKeyEvent;

namespace velmora {

// The birth date picker, which also takes a date typed whole: in the form it shows ("3 Jul
// 1990", "1Nov2020", letter case and spacing free) or as ISO 8601 ("1990-07-03"). Text that
// cannot become a date is not let in; text that could but is not one yet is kept as typed, and
// TypedDateProblem() says so, so that a Run can refuse it rather than cast another date.
class BirthDateEdit final : public QDateEdit {
  Q_OBJECT
 public:
  explicit BirthDateEdit(QWidget* parent);

  // The date `text` names, in the form shown or as ISO 8601; invalid when it names none.
  QDate ReadTyped(const QString& text) const;
  // Empty when the text in the field names a date within the field's range; otherwise one
  // sentence that says what is wrong and what is accepted.
  QString TypedDateProblem() const;

 protected:
  QValidator::State validate(QString& input, int& pos) const override;
  QDateTime dateTimeFromText(const QString& text) const override;
  // Typed characters edit the text as plain text, not section by section, so that a date typed
  // over the selection reads as typed.
  void keyPressEvent(QKeyEvent* event) override;
  // Text that is not a date yet stays as typed when the focus leaves, rather than going back
  // silently to the date before it; a Run then says what is wrong with it.
  void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace velmora
