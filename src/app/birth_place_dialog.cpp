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
#include <QMap>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTimeZone>
#include <QVBoxLayout>

#include <cmath>
#include <set>

#include "app/app_errors.h"
#include "app/place_search.h"
#include "presentation/birth_text.h"
#include "time_zone/system_zone.h"

namespace velmora {

namespace {

// What a row of the city and zone lists puts into its field when chosen, and which city it is.
constexpr int kCompletionRole = Qt::UserRole + 1;
constexpr int kCityRole = Qt::UserRole + 2;

// The most cities the lists offer at once.
constexpr std::size_t kCitiesOffered = 15;

QString CityLabel(const Place& city) {
  return QString::fromStdString(PlaceLabel(city));
}

// The country of each zone that lies in one, in English, as the zone search reads them.
const QMap<QString, QString>& ZoneCountries(const QStringList& names) {
  static const QMap<QString, QString> countries = [&] {
    QMap<QString, QString> byZone;
    for (const QString& name : names) {
      const QTimeZone zone(name.toLatin1());
      if (zone.isValid() && zone.territory() != QLocale::AnyTerritory) {
        byZone.insert(name, QLocale::territoryToString(zone.territory()));
      }
    }
    return byZone;
  }();
  return countries;
}

void AddRow(QStandardItemModel& model, const QString& shown, const QString& completion,
            int city = -1) {
  auto* item = new QStandardItem(shown);
  item->setData(completion, kCompletionRole);
  item->setData(city, kCityRole);
  item->setEditable(false);
  model.appendRow(item);
}

// A completer that offers exactly the rows of `model`, which the dialog fills as the user types.
QCompleter* OfferingCompleter(QStandardItemModel* model, QObject* parent) {
  auto* completer = new QCompleter(model, parent);
  completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
  completer->setCompletionRole(kCompletionRole);
  completer->setMaxVisibleItems(12);
  return completer;
}

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
  if (setting.city) {
    text = QStringLiteral("Birth place: ") + CityLabel(*setting.city) + QStringLiteral(" (") +
           QString::fromStdString(setting.zone) + QStringLiteral("), ") +
           SolarTimeWords(setting.place.solar);
  }
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
  // Typing any part of a name, in any case, offers every zone that contains it ("york" finds
  // America/New_York, "shang" Asia/Shanghai), then the zones of the countries and cities it
  // names.
  connect(cbZone, &QComboBox::editTextChanged, this, &BirthPlaceDialog::FollowZone);
  zoneModel_ = new QStandardItemModel(this);
  zoneCompleter_ = OfferingCompleter(zoneModel_, this);
  cbZone->setCompleter(zoneCompleter_);
  zoneSearch_ = new PlaceSearch(ProgramPlaces(), this);
  connect(cbZone->lineEdit(), &QLineEdit::textEdited, this, &BirthPlaceDialog::SearchZones);
  cbZone->lineEdit()->setMaxLength(static_cast<int>(kMaxPlaceQueryBytes));
  connect(zoneSearch_, &PlaceSearch::Found, this, &BirthPlaceDialog::ShowZoneCities);

  // A city fills in the zone and the longitude, both still open to change.
  edPlace = new QLineEdit(this);
  edPlace->setObjectName(QStringLiteral("edPlace"));
  edPlace->setPlaceholderText(QStringLiteral("Urumqi, or Springfield, Illinois"));
  edPlace->setClearButtonEnabled(true);
  // No city's name with its region and country comes near this; a longer text names none.
  edPlace->setMaxLength(static_cast<int>(kMaxPlaceQueryBytes));
  cityModel_ = new QStandardItemModel(this);
  cityCompleter_ = OfferingCompleter(cityModel_, this);
  edPlace->setCompleter(cityCompleter_);
  citySearch_ = new PlaceSearch(ProgramPlaces(), this);
  connect(edPlace, &QLineEdit::textEdited, citySearch_, &PlaceSearch::Search);
  connect(citySearch_, &PlaceSearch::Found, this, &BirthPlaceDialog::ShowCities);
  connect(cityCompleter_, qOverload<const QModelIndex&>(&QCompleter::activated), this,
          [this](const QModelIndex& index) {
            const int row = index.data(kCityRole).toInt();
            if (row >= 0 && static_cast<std::size_t>(row) < cities_.size()) TakeCity(cities_[row]);
          });

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

  // The city comes first, where the dialog opens: most users know where a birth was, not its
  // zone or longitude.
  auto* cityForm = new QFormLayout;
  cityForm->addRow(QStringLiteral("&City:"), edPlace);

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
      QStringLiteral("The birth place holds for every Run until Velmora closes; nothing is saved. "
                     "Cities of 15,000 people or more, from GeoNames (CC BY 4.0)."),
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
  layout->addLayout(cityForm);
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
    city_ = current->city;
    if (city_) edPlace->setText(CityLabel(*city_));
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
  edPlace->setFocus();
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

void BirthPlaceDialog::Refuse(const QString& message, QLineEdit* field) {
  lblError->setText(message);
  lblError->show();
  // What was typed stays, the cursor after it, ready to be mended rather than typed again.
  if (field == nullptr) field = cbZone->lineEdit();
  field->setFocus();
  field->deselect();
  field->end(false);
}

void BirthPlaceDialog::SearchZones(const QString& text) {
  zoneModel_->clear();
  const QString typed = text.trimmed();
  if (typed.isEmpty()) return;
  QString asName = typed;
  asName.replace(QLatin1Char(' '), QLatin1Char('_'));
  std::set<QString> offered;
  for (const QString& name : zoneNames_) {
    if (!name.contains(asName, Qt::CaseInsensitive)) continue;
    AddRow(*zoneModel_, name, name);
    offered.insert(name);
  }
  const QMap<QString, QString>& countries = ZoneCountries(zoneNames_);
  for (const QString& name : zoneNames_) {
    const auto country = countries.find(name);
    if (country == countries.end() || offered.count(name) != 0 ||
        !country->contains(typed, Qt::CaseInsensitive)) {
      continue;
    }
    AddRow(*zoneModel_, name + QStringLiteral(" — ") + *country, name);
    offered.insert(name);
  }
  if (zoneModel_->rowCount() > 0) zoneCompleter_->complete();
  // Cities are looked for once a name is likely: three letters, and not a zone's path.
  if (typed.size() >= 3 && !typed.contains(QLatin1Char('/'))) zoneSearch_->Search(typed);
}

void BirthPlaceDialog::ShowZoneCities(const QString& query, const std::vector<Place>& places) {
  if (query.trimmed() != cbZone->currentText().trimmed()) return;
  std::set<QString> offered;
  for (int row = 0; row < zoneModel_->rowCount(); ++row) {
    offered.insert(zoneModel_->item(row)->data(kCompletionRole).toString());
  }
  std::size_t shown = 0;
  for (const Place& place : places) {
    const QString zone = QString::fromStdString(place.zone);
    if (offered.count(zone) != 0) continue;
    AddRow(*zoneModel_, zone + QStringLiteral(" — ") + CityLabel(place), zone);
    offered.insert(zone);
    if (++shown == kCitiesOffered) break;
  }
  if (shown > 0 && cbZone->hasFocus()) zoneCompleter_->complete();
}

void BirthPlaceDialog::ShowCities(const QString& query, const std::vector<Place>& places) {
  if (query != edPlace->text()) return;
  cities_.assign(places.begin(), places.begin() + static_cast<std::ptrdiff_t>(
                                                      std::min(places.size(), kCitiesOffered)));
  cityModel_->clear();
  for (std::size_t i = 0; i < cities_.size(); ++i) {
    const Place& city = cities_[i];
    AddRow(*cityModel_,
           CityLabel(city) + QStringLiteral(" — ") + QString::fromStdString(city.zone) +
               QStringLiteral(", ") + QString::fromStdString(LongitudeText(city.longitude)),
           CityLabel(city), static_cast<int>(i));
  }
  if (!cities_.empty() && edPlace->hasFocus()) cityCompleter_->complete();
}

void BirthPlaceDialog::TakeCity(const Place& city) {
  city_ = city;
  edPlace->setText(CityLabel(city));
  const QString zone = QString::fromStdString(city.zone);
  cbZone->setCurrentIndex(static_cast<int>(zoneNames_.indexOf(zone)));
  cbZone->setEditText(zone);
  edLongitude->setValue(city.longitude);
  if (rbClockTime->isChecked()) rbMeanSolarTime->setChecked(true);
  lblError->hide();
}

bool BirthPlaceDialog::ChosenCity(std::optional<Place>& city) {
  const QString typed = edPlace->text().trimmed();
  city.reset();
  if (typed.isEmpty()) return true;
  if (!city_ || CityLabel(*city_) != typed) {
    const std::vector<Place> found = ProgramPlaces()->Find(typed.toStdString());
    if (found.empty()) {
      Refuse(
          QStringLiteral("%1: %2.").arg(QuotedStart(typed), QString::fromUtf8(kUnknownPlaceError)),
          edPlace);
      return false;
    }
    TakeCity(found.front());
  }
  // The city still names the birth place while the zone and longitude are its own.
  edLongitude->interpretText();
  if (ZoneName().toStdString() == city_->zone &&
      std::abs(edLongitude->value() - city_->longitude) < 0.00005) {
    city = city_;
  }
  return true;
}

void BirthPlaceDialog::FollowZone() {
  // The refusal goes as soon as the entry names a zone.
  if (lblError->isVisible() && SystemZone(ZoneName().toStdString()).Valid()) lblError->hide();
}

void BirthPlaceDialog::accept() {
  // A city typed but not yet taken asks for a correction from it, whatever was chosen before.
  const QString typedCity = edPlace->text().trimmed();
  std::optional<Place> city;
  if (!typedCity.isEmpty() && (!city_ || CityLabel(*city_) != typedCity) && !ChosenCity(city)) {
    return;
  }
  if (rbClockTime->isChecked()) {
    setting_.reset();
    QDialog::accept();
    return;
  }
  if (!ChosenCity(city)) return;
  const QString zone = ZoneName();
  if (zone.isEmpty()) {
    Refuse(RefusalSentence(kUnknownZoneError));
    return;
  }
  if (!SystemZone(zone.toStdString()).Valid()) {
    Refuse(QStringLiteral("%1: %2.").arg(QuotedStart(zone), QString::fromUtf8(kUnknownZoneError)));
    return;
  }
  edLongitude->interpretText();
  BirthPlaceSetting setting;
  setting.zone = zone.toStdString();
  setting.place.solar = ChosenSolarTime();
  setting.place.longitude = edLongitude->value();
  setting.place.daylight = static_cast<DaylightSaving>(cbRepeatedHour->currentData().toInt());
  setting.city = city;
  setting_ = setting;
  QDialog::accept();
}

}  // namespace velmora
