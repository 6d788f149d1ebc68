#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>

#include "calendar/clock_correction.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QRadioButton;

namespace velmora {

// A birth place as the window keeps it for this run of the program: the time zone's name and
// how far the birth's clock time is corrected in it.
struct BirthPlaceSetting {
  std::string zone;
  BirthPlace place;

  bool operator==(const BirthPlaceSetting& other) const {
    return zone == other.zone && place.solar == other.place.solar &&
           place.longitude == other.place.longitude && place.daylight == other.place.daylight;
  }
};

// What a birth place asks for, before a Run has cast from it: "Birth place: Asia/Shanghai, local
// mean solar time at 87.6°E".
QString PlaceSummary(const BirthPlaceSetting& setting);

// Asks for the birth place: the time zone the clock time was read in, the birth place's
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
  void Refuse(const QString& message);
  void FollowZone();
  SolarTime ChosenSolarTime() const;
  // The database's own spelling of the zone typed, or the text as typed when it names none.
  QString ZoneName() const;

  QStringList zoneNames_;
  std::optional<BirthPlaceSetting> setting_;

  QRadioButton* rbClockTime = nullptr;
  QRadioButton* rbStandardTime = nullptr;
  QRadioButton* rbMeanSolarTime = nullptr;
  QRadioButton* rbApparentSolarTime = nullptr;
  QComboBox* cbZone = nullptr;
  QDoubleSpinBox* edLongitude = nullptr;
  QLabel* lblLongitudeSide = nullptr;
  QComboBox* cbRepeatedHour = nullptr;
  QLabel* lblError = nullptr;
};

}  // namespace velmora
