#include "app/date_field.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QLocale>
#include <QRegularExpression>

namespace velmora {

BirthDateEdit::BirthDateEdit(QWidget* parent) : QDateEdit(parent) {}

QDate BirthDateEdit::ReadTyped(const QString& text) const {
  // Spaces where letters meet digits, and one space for any run of them, so that "1Nov2020" and
  // " 3  jul 1990" read as the shown "1 Nov 2020" and "3 Jul 1990".
  static const QRegularExpression letterDigit(
      QStringLiteral("(?<=\\p{L})(?=\\d)|(?<=\\d)(?=\\p{L})"));
  static const QRegularExpression spaces(QStringLiteral("\\s+"));
  QString spaced = text.trimmed();
  spaced.replace(letterDigit, QStringLiteral(" ")).replace(spaces, QStringLiteral(" "));
  const QLocale locale;
  for (const QString& format : {displayFormat(), QStringLiteral("yyyy-M-d")}) {
    QDate date = locale.toDate(spaced, format);
    // Month names in any letter case: "3 jul 1990" as "3 Jul 1990".
    if (!date.isValid()) {
      for (int month = 1; month <= 12 && !date.isValid(); ++month) {
        for (const auto form : {QLocale::ShortFormat, QLocale::LongFormat}) {
          const QString name = locale.monthName(month, form);
          QString named = spaced;
          named.replace(name, name, Qt::CaseInsensitive);
          if (named != spaced) date = locale.toDate(named, format);
          if (date.isValid()) break;
        }
      }
    }
    if (date.isValid()) return date;
  }
  return {};
}

QString BirthDateEdit::TypedDateProblem() const {
  const QLocale locale;
  const QString text = lineEdit()->text().trimmed();
  const QDate date = ReadTyped(text);
  if (!date.isValid()) {
    return QStringLiteral(
               "\u201c%1\u201d is not a date; type it as the field shows dates, such as "
               "%2, or as 2000-02-04.")
        .arg(text, locale.toString(QDate(2000, 2, 4), displayFormat()));
  }
  if (date < minimumDate() || date > maximumDate()) {
    return QStringLiteral("%1 lies outside the dates Velmora casts, %2 to %3.")
        .arg(locale.toString(date, displayFormat()),
             locale.toString(minimumDate(), displayFormat()),
             locale.toString(maximumDate(), displayFormat()));
  }
  return {};
}

QValidator::State BirthDateEdit::validate(QString& input, int& pos) const {
  if (ReadTyped(input).isValid()) return QValidator::Acceptable;
  // Letters, digits, spaces and the separators a date is written with may still become one.
  static const QRegularExpression mayBecome(QStringLiteral("^[\\p{L}\\d\\s./,-]{0,32}$"));
  (void)pos;
  return mayBecome.match(input).hasMatch() ? QValidator::Intermediate : QValidator::Invalid;
}

QDateTime BirthDateEdit::dateTimeFromText(const QString& text) const {
  const QDate date = ReadTyped(text);
  return date.isValid() ? QDateTime(date, time()) : QDateEdit::dateTimeFromText(text);
}

void BirthDateEdit::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::SelectAll)) {
    lineEdit()->selectAll();
    return;
  }
  const QString text = event->text();
  const bool typed = !text.isEmpty() && text[0].isPrint() &&
                     (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == 0;
  const bool erase = event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete;
  if (typed || erase) {
    QCoreApplication::sendEvent(lineEdit(), event);
    return;
  }
  // Enter on text that is not a date yet goes to the window, whose Run says what is wrong.
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && !ReadTyped(lineEdit()->text()).isValid()) {
    event->ignore();
    return;
  }
  QDateEdit::keyPressEvent(event);
}

void BirthDateEdit::focusOutEvent(QFocusEvent* event) {
  if (ReadTyped(lineEdit()->text()).isValid()) {
    QDateEdit::focusOutEvent(event);
    return;
  }
  QCoreApplication::sendEvent(lineEdit(), event);
}

}  // namespace velmora
