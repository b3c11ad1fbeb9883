// Checks of typed directions shared by the photograph, orbit determination and
// matching dialogs: packed R.A. (HH.MMSS), packed Dec. (DD.MMSS) and plain
// azimuth and elevation in degrees.
#ifndef VORLIX_DIALOGS_STPACKED_H
#define VORLIX_DIALOGS_STPACKED_H

#include <QString>
#include <initializer_list>

class QLineEdit;
class StDialog;

// What a direction field may hold.
enum class AngleField { RaHours, DecDegrees, Azimuth, Elevation };

// A direction field, named as label in a refusal.
struct AngleCheck {
  QLineEdit* edit;
  AngleField kind;
  QString label;
};

// True when every field holds a usable value of its kind. Otherwise the first
// that does not is refused through dlg (a box naming the reason, the focus on
// the field) and false returned. Packed values need minutes and seconds below
// 60; R.A. lies in [0h, 24h), Dec. and elevation in [-90, 90] degrees, azimuth
// in [-360, 360]. An empty field is refused when required, else it reads as 0.
bool anglesValid(StDialog& dlg, std::initializer_list<AngleCheck> fields,
                 bool required = false);

#endif
