// Checks of typed directions shared by the photograph, orbit determination and
// matching dialogs: packed R.A. (HH.MMSS), packed Dec. (DD.MMSS) and plain
// azimuth and elevation in degrees.
#ifndef VORLIX_DIALOGS_STPACKED_H
#define VORLIX_DIALOGS_STPACKED_H

#include <QString>

class QLineEdit;

// What a direction field may hold.
enum class AngleField { RaHours, DecDegrees, Azimuth, Elevation };

// An empty text when the field holds a usable value of its kind, else the
// reason (naming the field as label). Packed values need minutes and seconds
// below 60; R.A. lies in [0h, 24h), Dec. and elevation in [-90, 90] degrees,
// azimuth in [-360, 360]. An empty field is refused when required, else it
// reads as 0.
QString angleProblem(const QLineEdit* edit, AngleField kind, const QString& label,
                     bool required = false);

#endif
