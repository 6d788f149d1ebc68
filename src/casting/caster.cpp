#include "casting/caster.h"

namespace velmora {

bool Caster::Cast(const BirthInput& birth, const PlaceWords& words, Output output,
                  std::string& error) {
  if (!corrector_.Correct(birth, words, correction_, error)) return false;
  const ClockCorrection* corrected = correction_ ? &*correction_ : nullptr;
  if (output == Output::kReading) {
    report_.Cast(birth, corrected, corrector_.ZoneName(), corrector_.City());
  } else {
    report_.CastChart(birth, corrected, corrector_.ZoneName(), corrector_.City());
  }
  return true;
}

}  // namespace velmora
