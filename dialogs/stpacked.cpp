// Checks of typed directions.
#include "dialogs/stpacked.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <cmath>

#include "dialogs/stdialog.h"
#include "engine/vorlixcom.h"

namespace {

QString tr(const char* s) { return QCoreApplication::translate("StPacked", s); }

// Minutes and seconds of a packed value are each below 60.
bool packedDigitsOk(double v) {
  const double a = std::fabs(v);
  const double minsec = 100.0 * (a - std::floor(a)) + 1e-9;
  const double minutes = std::floor(minsec);
  const double seconds = 100.0 * (minsec - minutes);
  return minutes < 60.0 && seconds < 60.0;
}

// An empty text when the field holds a usable value of its kind, else the reason.
QString angleProblem(const QLineEdit* edit, AngleField kind, const QString& label,
                     bool required) {
  const QString text = edit->text().trimmed();
  if (text.isEmpty()) return required ? tr("%1: a value is needed.").arg(label) : QString();
  const QString notNumber = numberProblem(edit, label);
  if (!notNumber.isEmpty()) return notNumber;
  double v = 0.0;
  readNum(edit, v);
  switch (kind) {
    case AngleField::RaHours:
      if (!packedDigitsOk(v) || v < 0.0 || DmsDegF(v) >= 24.0)
        return tr("%1 must lie between 0 and 23.5959 (HH.MMSS, minutes and seconds below 60).")
            .arg(label);
      break;
    case AngleField::DecDegrees:
      if (!packedDigitsOk(v) || std::fabs(DmsDegF(v)) > 90.0)
        return tr("%1 must lie between -90 and 90 (DD.MMSS, minutes and seconds below 60).")
            .arg(label);
      break;
    case AngleField::Azimuth:
      if (std::fabs(v) > 360.0) return tr("%1 must lie between -360 and 360 degrees.").arg(label);
      break;
    case AngleField::Elevation:
      if (std::fabs(v) > 90.0) return tr("%1 must lie between -90 and 90 degrees.").arg(label);
      break;
  }
  return QString();
}

}  // namespace

bool anglesValid(StDialog& dlg, std::initializer_list<AngleCheck> fields, bool required) {
  for (const AngleCheck& f : fields) {
    const QString problem = angleProblem(f.edit, f.kind, f.label, required);
    if (!problem.isEmpty()) {
      dlg.refuseField(f.edit, problem);
      return false;
    }
  }
  return true;
}
