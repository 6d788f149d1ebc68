#include "app/birth_place_dialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimeZone>
#include <QVBoxLayout>

#include "app/app_errors.h"
#include "presentation/birth_text.h"
#include "time_zone/system_zone.h"

namespace velmora {

namespace {

QString SolarTimeWords(SolarTime solar) {
  switch (solar) {
    case SolarTime::kStandard:
      return QStringLiteral("standard time");
    case SolarTime::kMean:
      return QStringLiteral("local mean solar time");
    case SolarTime::kApparent:
      return QStringLiteral("local apparent solar time");
  }
  return {};
}

}  // namespace

QString PlaceSummary(const BirthPlaceSetting& setting) {
  QString text = QStringLiteral("Birth place: ") + QString::fromStdString(setting.zone) +
                 QStringLiteral(", ") + SolarTimeWords(setting.place.solar);
  if (setting.place.solar != SolarTime::kStandard) {
    text += QStringLiteral(" at ") + QString::fromStdString(LongitudeText(setting.place.longitude));
  }
  if (setting.place.daylight == DaylightSaving::kOn) {
    text += QStringLiteral(", a clock time that came twice read as daylight saving time");
  } else if (setting.place.daylight == DaylightSaving::kOff) {
    text += QStringLiteral(", a clock time that came twice read as standard time");
  }
  return text;
}

BirthPlaceDialog::BirthPlaceDialog(const std::optional<BirthPlaceSetting>& current, QWidget* parent)
    : QDialog(parent), zoneNames_(SystemZoneNames()) {
  setObjectName(QStringLiteral("dlgBirthPlace"));
  setWindowTitle(QStringLiteral("Birth Place"));
  CreateControls();
  Show(current);
}

void BirthPlaceDialog::CreateControls() {
  auto* correction = new QGroupBox(QStringLiteral("Cast the chart from"), this);
  rbClockTime = new QRadioButton(QStringLiteral("Clock time as &entered"), correction);
  rbStandardTime = new QRadioButton(
      QStringLiteral("&Standard time: daylight saving time taken off"), correction);
  rbMeanSolarTime = new QRadioButton(
      QStringLiteral("Local &mean solar time: 4 minutes for each degree from the zone's meridian"),
      correction);
  rbApparentSolarTime = new QRadioButton(
      QStringLiteral("Local &apparent solar time: mean solar time and the equation of time"),
      correction);
  auto* choices = new QVBoxLayout(correction);
  auto* group = new QButtonGroup(this);
  const std::pair<QRadioButton*, const char*> radios[] = {
      {rbClockTime, "rbClockTime"},
      {rbStandardTime, "rbStandardTime"},
      {rbMeanSolarTime, "rbMeanSolarTime"},
      {rbApparentSolarTime, "rbApparentSolarTime"}};
  for (const auto& [radio, name] : radios) {
    radio->setObjectName(QLatin1String(name));
    group->addButton(radio);
    choices->addWidget(radio);
    connect(radio, &QRadioButton::toggled, this, &BirthPlaceDialog::FollowCorrection);
  }

  cbZone = new QComboBox(this);
  cbZone->setObjectName(QStringLiteral("cbZone"));
  cbZone->setEditable(true);
  cbZone->setInsertPolicy(QComboBox::NoInsert);
  cbZone->addItems(zoneNames_);
  cbZone->setMaxVisibleItems(15);
  cbZone->setMinimumContentsLength(24);
  // Typing any part of a name, in any case, offers every zone that contains it: "york" finds
  // America/New_York, "shang" Asia/Shanghai.
  connect(cbZone, &QComboBox::editTextChanged, this, &BirthPlaceDialog::FollowZone);
  QCompleter* completer = cbZone->completer();
  completer->setFilterMode(Qt::MatchContains);
  completer->setCaseSensitivity(Qt::CaseInsensitive);
  completer->setCompletionMode(QCompleter::PopupCompletion);
  completer->setMaxVisibleItems(12);

  edLongitude = new QDoubleSpinBox(this);
  edLongitude->setObjectName(QStringLiteral("edLongitude"));
  edLongitude->setRange(-180.0, 180.0);
  edLongitude->setDecimals(4);
  edLongitude->setSingleStep(0.1);
  edLongitude->setSuffix(QStringLiteral("\u00b0"));
  edLongitude->setAccelerated(true);
  lblLongitudeSide = new QLabel(this);
  lblLongitudeSide->setObjectName(QStringLiteral("lblLongitudeSide"));
  connect(edLongitude, &QDoubleSpinBox::valueChanged, this, &BirthPlaceDialog::FollowLongitude);
  auto* longitudeRow = new QHBoxLayout;
  longitudeRow->addWidget(edLongitude);
  longitudeRow->addWidget(lblLongitudeSide, 1);

  cbRepeatedHour = new QComboBox(this);
  cbRepeatedHour->setObjectName(QStringLiteral("cbRepeatedHour"));
  cbRepeatedHour->addItem(QStringLiteral("Ask: Run refuses the birth"),
                          static_cast<int>(DaylightSaving::kUnknown));
  cbRepeatedHour->addItem(QStringLiteral("In force: the first of the two"),
                          static_cast<int>(DaylightSaving::kOn));
  cbRepeatedHour->addItem(QStringLiteral("Not in force: the second of the two"),
                          static_cast<int>(DaylightSaving::kOff));

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Time &zone:"), cbZone);
  form->addRow(QStringLiteral("&Longitude, east + / west \u2212:"), longitudeRow);
  form->addRow(QStringLiteral("Daylight saving time at a\nclock time that came &twice:"),
               cbRepeatedHour);
  // A label made for a field is its buddy; the longitude's row is a layout, so its label is
  // pointed at the spin box.
  if (auto* label = qobject_cast<QLabel*>(form->labelForField(longitudeRow))) {
    label->setBuddy(edLongitude);
  }

  auto* note = new QLabel(
      QStringLiteral("The birth place holds for every Run until Velmora closes; nothing is saved."),
      this);
  note->setWordWrap(true);

  lblError = new QLabel(this);
  lblError->setObjectName(QStringLiteral("lblError"));
  lblError->setWordWrap(true);
  lblError->setTextFormat(Qt::PlainText);
  lblError->hide();

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &BirthPlaceDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &BirthPlaceDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(correction);
  layout->addLayout(form);
  layout->addWidget(note);
  layout->addWidget(lblError);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void BirthPlaceDialog::Show(const std::optional<BirthPlaceSetting>& current) {
  QString zone;
  if (current) {
    zone = QString::fromStdString(current->zone);
    edLongitude->setValue(current->place.longitude);
    cbRepeatedHour->setCurrentIndex(
        cbRepeatedHour->findData(static_cast<int>(current->place.daylight)));
    switch (current->place.solar) {
      case SolarTime::kStandard:
        rbStandardTime->setChecked(true);
        break;
      case SolarTime::kMean:
        rbMeanSolarTime->setChecked(true);
        break;
      case SolarTime::kApparent:
        rbApparentSolarTime->setChecked(true);
        break;
    }
  } else {
    // Most births a user casts were born where the user lives.
    const QString system = QString::fromLatin1(QTimeZone::systemTimeZoneId());
    if (zoneNames_.contains(system)) zone = system;
    rbClockTime->setChecked(true);
  }
  cbZone->setCurrentIndex(static_cast<int>(zoneNames_.indexOf(zone)));
  cbZone->setEditText(zone);
  FollowCorrection();
  FollowLongitude();
}

void BirthPlaceDialog::FollowCorrection() {
  const bool corrected = !rbClockTime->isChecked();
  const bool solar = rbMeanSolarTime->isChecked() || rbApparentSolarTime->isChecked();
  cbZone->setEnabled(corrected);
  cbRepeatedHour->setEnabled(corrected);
  edLongitude->setEnabled(solar);
  lblLongitudeSide->setEnabled(solar);
}

void BirthPlaceDialog::FollowLongitude() {
  const double degrees = edLongitude->value();
  lblLongitudeSide->setText(degrees > 0   ? QStringLiteral("east of Greenwich")
                            : degrees < 0 ? QStringLiteral("west of Greenwich")
                                          : QStringLiteral("Greenwich"));
}

SolarTime BirthPlaceDialog::ChosenSolarTime() const {
  if (rbApparentSolarTime->isChecked()) return SolarTime::kApparent;
  if (rbMeanSolarTime->isChecked()) return SolarTime::kMean;
  return SolarTime::kStandard;
}

QString BirthPlaceDialog::ZoneName() const {
  const QString typed = cbZone->currentText().trimmed();
  // The database's names hold no spaces; "america/new york" means America/New_York.
  QString asName = typed;
  asName.replace(QLatin1Char(' '), QLatin1Char('_'));
  for (const QString& name : zoneNames_) {
    if (name.compare(asName, Qt::CaseInsensitive) == 0) return name;
  }
  return typed;
}

void BirthPlaceDialog::Refuse(const QString& message) {
  lblError->setText(message);
  lblError->show();
  // What was typed stays, the cursor after it, ready to be mended rather than typed again.
  cbZone->setFocus();
  cbZone->lineEdit()->deselect();
  cbZone->lineEdit()->end(false);
}

void BirthPlaceDialog::FollowZone() {
  // The refusal goes as soon as the entry names a zone.
  if (lblError->isVisible() && SystemZone(ZoneName().toStdString()).Valid()) lblError->hide();
}

void BirthPlaceDialog::accept() {
  if (rbClockTime->isChecked()) {
    setting_.reset();
    QDialog::accept();
    return;
  }
  const QString zone = ZoneName();
  if (zone.isEmpty()) {
    Refuse(RefusalSentence(kUnknownZoneError));
    return;
  }
  if (!SystemZone(zone.toStdString()).Valid()) {
    Refuse(QStringLiteral("\u201c%1\u201d: %2.").arg(zone, QString::fromUtf8(kUnknownZoneError)));
    return;
  }
  edLongitude->interpretText();
  BirthPlaceSetting setting;
  setting.zone = zone.toStdString();
  setting.place.solar = ChosenSolarTime();
  setting.place.longitude = edLongitude->value();
  setting.place.daylight = static_cast<DaylightSaving>(cbRepeatedHour->currentData().toInt());
  setting_ = setting;
  QDialog::accept();
}

}  // namespace velmora
