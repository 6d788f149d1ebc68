#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>

#include "calendar/clock_correction.h"
#include "casting/place_finder.h"

class QComboBox;
class QCompleter;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QStandardItemModel;

namespace velmora {

// A birth place as the window keeps it for this run of the program: the time zone's name and
// how far the birth's clock time is corrected in it, and the city they were taken from.
struct BirthPlaceSetting {
  std::string zone;
  BirthPlace place;
  std::optional<Place> city;

  bool operator==(const BirthPlaceSetting& other) const {
    return zone == other.zone && place.solar == other.place.solar &&
           place.longitude == other.place.longitude && place.daylight == other.place.daylight &&
           city.has_value() == other.city.has_value() &&
           (!city || city->tableIndex == other.city->tableIndex);
  }
};

// What a birth place asks for, before a Run has cast from it: "Birth place: Asia/Shanghai, local
// mean solar time at 87.6°E".
QString PlaceSummary(const BirthPlaceSetting& setting);

class PlaceSearch;

// Asks for the birth place: a city, which fills in the two that follow, or the time zone the
// clock time was read in and the birth place's
// longitude, how far to correct the clock time, and for a clock time that the zone's clocks
// showed twice whether daylight saving time was in force. "Clock time as entered" asks for no
// correction at all.
class BirthPlaceDialog final : public QDialog {
  Q_OBJECT
 public:
  // Opens showing `current`; without one, the clock time as entered and the system's own zone.
  BirthPlaceDialog(const std::optional<BirthPlaceSetting>& current, QWidget* parent);

  // What the user chose, once the dialog was accepted: empty for the clock time as entered.
  const std::optional<BirthPlaceSetting>& Setting() const { return setting_; }

  // Takes the choice, or refuses it in the dialog when the zone is not one the database names.
  void accept() override;

 private:
  void CreateControls();
  void Show(const std::optional<BirthPlaceSetting>& current);
  // Enables what the chosen correction reads: a zone for any, a longitude for solar time.
  void FollowCorrection();
  void FollowLongitude();
  // Says why in the dialog and puts the cursor at the end of `field`, the zone by default.
  void Refuse(const QString& message, QLineEdit* field = nullptr);
  void FollowZone();
  // Offers the zones whose names hold the text typed, then those of the countries and cities it
  // names: "india" finds Asia/Kolkata, "beijing" Asia/Shanghai.
  void SearchZones(const QString& text);
  void ShowZoneCities(const QString& query, const std::vector<Place>& places);
  void ShowCities(const QString& query, const std::vector<Place>& places);
  // Fills the zone and longitude from `city`, and casts from mean solar time when the clock
  // time as entered was chosen.
  void TakeCity(const Place& city);
  // The city the zone and longitude still come from; a city typed but not chosen is looked up
  // now. False, refused in the dialog, when the typed city is none the table knows.
  bool ChosenCity(std::optional<Place>& city);
  SolarTime ChosenSolarTime() const;
  // The database's own spelling of the zone typed, or the text as typed when it names none.
  QString ZoneName() const;

  QStringList zoneNames_;
  std::optional<BirthPlaceSetting> setting_;

  QRadioButton* rbClockTime = nullptr;
  QRadioButton* rbStandardTime = nullptr;
  QRadioButton* rbMeanSolarTime = nullptr;
  QRadioButton* rbApparentSolarTime = nullptr;
  QLineEdit* edPlace = nullptr;
  QStandardItemModel* cityModel_ = nullptr;
  QCompleter* cityCompleter_ = nullptr;
  PlaceSearch* citySearch_ = nullptr;
  std::vector<Place> cities_;  // the cities offered for the text typed
  std::optional<Place> city_;  // the city chosen
  QStandardItemModel* zoneModel_ = nullptr;
  QCompleter* zoneCompleter_ = nullptr;
  PlaceSearch* zoneSearch_ = nullptr;
  QComboBox* cbZone = nullptr;
  QDoubleSpinBox* edLongitude = nullptr;
  QLabel* lblLongitudeSide = nullptr;
  QComboBox* cbRepeatedHour = nullptr;
  QLabel* lblError = nullptr;
};

}  // namespace velmora
