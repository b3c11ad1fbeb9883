// Numerical integration and force-model defaults, and the refraction and
// extinction corrections.
#ifndef VORLIX_DIALOGS_STSYSCONFDIALOG_H
#define VORLIX_DIALOGS_STSYSCONFDIALOG_H

#include <memory>

#include "dialogs/stdialog.h"

namespace Ui {
class StSysConfDialog;
}

struct SysConfParams {
  double rkfTol = 0.0;          // relative tolerance of the integrator
  int maxIterations = 0;        // integrator steps at most
  double f107Daily = 0.0;       // sfu, daily solar flux F10.7
  double f107Mean = 0.0;        // sfu, mean solar flux F10.7
  double kp = 0.0;              // geomagnetic index
  double dragCoeff = 0.0;       // Cd
  double radiationCoeff = 0.0;  // Cr
  double areaMass = 0.0;        // m^2/kg
  double liftDrag = 0.0;        // lift to drag ratio
  bool sunAttraction = false;
  bool moonAttraction = false;
  bool refraction = false;      // correct elevations for refraction
  bool extinction = false;      // atmospheric extinction in magnitudes
};

class StSysConfDialog : public StDialog {
  Q_OBJECT

 public:
  explicit StSysConfDialog(QWidget* parent = nullptr);
  ~StSysConfDialog() override;

  void setParams(const SysConfParams& p);
  SysConfParams params() const;

 private:
  std::unique_ptr<Ui::StSysConfDialog> ui;
};

#endif
