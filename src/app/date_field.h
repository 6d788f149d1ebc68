#pragma once

#include <QCoreApplication>
#include <QDate>
#include <QDateEdit>
#include <QDateTime>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QTimeEdit>

namespace velmora {

// What the birth date and time fields share: a value typed whole, over the selection, as plain
// text rather than section by section, so that it reads as typed. Any text may be typed or
// pasted; what names no value the field can hold (a date outside its range among them) stays as
// typed, when Enter is pressed and when the focus leaves, rather than going back silently to the
// value before it or being pulled into the range. A Run then casts what the text names, or says
// what is wrong with it.
template <typename Edit>
class TypedWholeEdit : public Edit {
 public:
  using Edit::Edit;

  // The value `text` names, as the date and time the field would hold; invalid when it names
  // none. The date may lie outside the field's range.
  virtual QDateTime ReadText(const QString& text) const = 0;
  // The value the field's text names now; invalid when it names none.
  QDateTime TypedValue() const { return ReadText(this->lineEdit()->text()); }

 protected:
  // Whether `text` names a value within the field's range, which the field itself may take.
  bool Holds(const QString& text) const {
    const QDateTime value = ReadText(text);
    return value.isValid() && value.date() >= this->minimumDate() &&
           value.date() <= this->maximumDate();
  }

  // Opens the field's own popup, if it has one, for Alt+Down and F4.
  virtual void OpenPopup() {}

  QValidator::State validate(QString& input, int&) const override {
    return Holds(input) ? QValidator::Acceptable : QValidator::Intermediate;
  }

  // The field's own mending would put the value before it back in place of text it cannot
  // take, when the focus leaves or a dialog opens over it; that text stays as typed instead.
  void fixup(QString& input) const override {
    if (Holds(input)) Edit::fixup(input);
  }

  QDateTime dateTimeFromText(const QString& text) const override {
    const QDateTime value = ReadText(text);
    return value.isValid() ? value : Edit::dateTimeFromText(text);
  }

  void keyPressEvent(QKeyEvent* event) override {
    if (event->matches(QKeySequence::SelectAll)) {
      this->lineEdit()->selectAll();
      return;
    }
    const bool altDown = event->key() == Qt::Key_Down && event->modifiers() == Qt::AltModifier;
    if (altDown || (event->key() == Qt::Key_F4 && event->modifiers() == Qt::NoModifier)) {
      OpenPopup();
      return;
    }
    const QString text = event->text();
    const bool typed = !text.isEmpty() && text[0].isPrint() &&
                       (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == 0;
    const bool erase = event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete;
    if (typed || erase || event->matches(QKeySequence::Paste)) {
      QCoreApplication::sendEvent(this->lineEdit(), event);
      return;
    }
    // Enter on text the field cannot take goes to the window, whose Run casts or refuses it.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !Holds(this->lineEdit()->text())) {
      event->ignore();
      return;
    }
    Edit::keyPressEvent(event);
  }

  void focusInEvent(QFocusEvent* event) override {
    if (Holds(this->lineEdit()->text())) {
      Edit::focusInEvent(event);
      return;
    }
    QCoreApplication::sendEvent(this->lineEdit(), event);
  }

  void focusOutEvent(QFocusEvent* event) override {
    if (Holds(this->lineEdit()->text())) {
      Edit::focusOutEvent(event);
      return;
    }
    QCoreApplication::sendEvent(this->lineEdit(), event);
  }
};

// The forms of a date a user of `locale` may type, besides ISO 8601: the locale's own short and
// long forms without the weekday, with or without leading zeros; the day and the month name in
// the locale's order, short or long ("3 Jul 1990", "July 3, 1990"); and the year-month-day form
// of Chinese and Japanese ("1990年7月3日"). `shown` is the form the field shows, tried first.
QStringList TypedDateForms(const QLocale& locale, const QString& shown);

// The date `text` names, typed by a user of `locale` into a field that shows dates as `shown`:
// in one of TypedDateForms, month names in the locale's language or in English and in any
// letter case, spacing free ("1Nov2020"), or as ISO 8601 ("1990-07-03"). Invalid when it names
// none.
QDate ReadTypedDate(const QString& text, const QLocale& locale, const QString& shown);

// The birth date picker, which also takes a date typed whole (see ReadTypedDate). Alt+Down and
// F4 open its calendar.
class BirthDateEdit final : public TypedWholeEdit<QDateEdit> {
  Q_OBJECT
 public:
  explicit BirthDateEdit(QWidget* parent) : TypedWholeEdit<QDateEdit>(parent) {}

  QDateTime ReadText(const QString& text) const override;
  // Empty when the text in the field names a date (within the range or not: a Run refuses one
  // outside it); otherwise one sentence that says what is wrong and what is accepted.
  QString TypedDateProblem() const;

 protected:
  void OpenPopup() override;
};

// The birth time picker, which also takes a time typed whole, on the 24-hour clock ("07:05",
// "7:05"), over the selection or over either part.
class BirthTimeEdit final : public TypedWholeEdit<QTimeEdit> {
  Q_OBJECT
 public:
  explicit BirthTimeEdit(QWidget* parent) : TypedWholeEdit<QTimeEdit>(parent) {}

  QDateTime ReadText(const QString& text) const override;
  // Empty when the text in the field names a time; otherwise one sentence that says what is
  // wrong and what is accepted.
  QString TypedTimeProblem() const;
};

}  // namespace velmora
