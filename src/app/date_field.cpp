#include "app/date_field.h"

#include <QMouseEvent>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <string>

#include "app/app_errors.h"
#include "casting/birth_input.h"

namespace velmora {

namespace {

// `format` without its weekday and the separators that go with it: "dddd, MMMM d, yyyy" as
// "MMMM d, yyyy", "yyyy年M月d日dddd" as "yyyy年M月d日".
QString WithoutWeekday(QString format) {
  static const QRegularExpression weekday(QStringLiteral("d{4}[,\\s]*|[,\\s]*d{4}"));
  return format.remove(weekday).trimmed();
}

// `format` with the day and the month in one or two digits and the year in four.
QString WithoutLeadingZeros(QString format) {
  static const QRegularExpression twoDayDigits(QStringLiteral("(?<!d)dd(?!d)"));
  static const QRegularExpression twoMonthDigits(QStringLiteral("(?<!M)MM(?!M)"));
  format.replace(twoDayDigits, QStringLiteral("d")).replace(twoMonthDigits, QStringLiteral("M"));
  if (!format.contains(QLatin1String("yyyy"))) {
    format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
  }
  return format;
}

// The month names of `names`' language in `text` in their own letter case: "3 jul 1990" as
// "3 Jul 1990".
QString WithMonthNamesCased(const QString& text, const QLocale& names) {
  QString cased = text;
  for (int month = 1; month <= 12; ++month) {
    for (const auto form : {QLocale::LongFormat, QLocale::ShortFormat}) {
      const QString name = names.monthName(month, form);
      cased.replace(name, name, Qt::CaseInsensitive);
    }
  }
  return cased;
}

}  // namespace

QStringList TypedDateForms(const QLocale& locale, const QString& shown) {
  const QString shortForm = locale.dateFormat(QLocale::ShortFormat);
  const QString longForm = WithoutWeekday(locale.dateFormat(QLocale::LongFormat));
  QStringList forms = {shown, WithoutLeadingZeros(shown), WithoutLeadingZeros(shortForm), longForm,
                       WithoutLeadingZeros(longForm)};
  // The day and month in the locale's order, with the month named.
  const bool monthFirst = shortForm.indexOf(QLatin1Char('M')) < shortForm.indexOf(QLatin1Char('d'));
  const bool yearFirst = shortForm.indexOf(QLatin1Char('y')) < shortForm.indexOf(QLatin1Char('M'));
  if (monthFirst && !yearFirst) {
    forms << QStringLiteral("MMM d yyyy") << QStringLiteral("MMMM d yyyy")
          << QStringLiteral("MMM d, yyyy") << QStringLiteral("MMMM d, yyyy");
  }
  forms << QStringLiteral("d MMM yyyy") << QStringLiteral("d MMMM yyyy")
        << QStringLiteral("d. MMMM yyyy") << QStringLiteral("yyyy年M月d日");
  forms.removeDuplicates();
  return forms;
}

QDate ReadTypedDate(const QString& text, const QLocale& locale, const QString& shown) {
  const std::string iso = text.trimmed().toStdString();
  CivilDate civil;
  std::string error;
  if (ParseBirthDate(iso, civil, error)) return {civil.year, civil.month, civil.day};

  // Spaces where letters meet digits, and one space for any run of them, so that "1Nov2020" and
  // " 3  jul 1990" read as the shown "1 Nov 2020" and "3 Jul 1990". Chinese and Japanese
  // dates are written without spaces, and their characters stay joined to the digits.
  static const QRegularExpression letterDigit(
      QStringLiteral("(?<=[\\p{Latin}\\p{Cyrillic}\\p{Greek}])(?=\\d)|(?<=\\d)(?=[\\p{Latin}"
                     "\\p{Cyrillic}\\p{Greek}])"));
  static const QRegularExpression spaces(QStringLiteral("\\s+"));
  QString spaced = text.trimmed();
  spaced.replace(letterDigit, QStringLiteral(" ")).replace(spaces, QStringLiteral(" "));
  const QStringList forms = TypedDateForms(locale, shown);
  for (const QLocale& names : {locale, QLocale::c()}) {
    const QString cased = WithMonthNamesCased(spaced, names);
    for (const QString& form : forms) {
      const QDate date = names.toDate(cased, form);
      if (date.isValid()) return date;
    }
  }
  return {};
}

// --- the date field ---

QDateTime BirthDateEdit::ReadText(const QString& text) const {
  const QDate date = ReadTypedDate(text, locale(), displayFormat());
  return date.isValid() ? QDateTime(date, time()) : QDateTime();
}

QString BirthDateEdit::TypedDateProblem() const {
  const QString text = lineEdit()->text().trimmed();
  if (ReadText(text).isValid()) return {};
  return QStringLiteral(
             "%1 is not a date; type it as the field shows dates, such as %2, or as "
             "2000-02-04.")
      .arg(QuotedStart(text), locale().toString(QDate(2000, 2, 4), displayFormat()));
}

void BirthDateEdit::OpenPopup() {
  if (!calendarPopup()) return;
  // The field opens its calendar on a press of its arrow, so the keys press it.
  QStyleOptionComboBox arrow;
  arrow.initFrom(this);
  arrow.editable = true;
  arrow.subControls = QStyle::SC_All;
  const QPoint at =
      style()->subControlRect(QStyle::CC_ComboBox, &arrow, QStyle::SC_ComboBoxArrow, this).center();
  QMouseEvent press(QEvent::MouseButtonPress, at, mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  mousePressEvent(&press);
}

// --- the time field ---

QDateTime BirthTimeEdit::ReadText(const QString& text) const {
  std::int32_t hour = 0;
  std::int32_t minute = 0;
  std::string error;
  if (!ParseBirthTime(text.trimmed().toStdString(), hour, minute, error)) return {};
  return {date(), QTime(hour, minute)};
}

QString BirthTimeEdit::TypedTimeProblem() const {
  const QString text = lineEdit()->text().trimmed();
  std::int32_t hour = 0;
  std::int32_t minute = 0;
  std::string error;
  if (ParseBirthTime(text.toStdString(), hour, minute, error)) return {};
  return QuotedStart(text) + QStringLiteral(": ") + QString::fromStdString(error) +
         QLatin1Char('.');
}

}  // namespace velmora
