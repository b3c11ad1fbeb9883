// The prime satellite's state vector at its epoch in one of four frames and,
// for a satellite propagated numerically, the coefficients of the force model.
// The dialog reads and stores the state itself through the view's services;
// the record keeps states in the mean equator and equinox of date.
#ifndef VORLIX_DIALOGS_STSTATEDIALOG_H
#define VORLIX_DIALOGS_STSTATEDIALOG_H

#include <memory>

#include "astro/attlib.h"
#include "dialogs/stdialog.h"

namespace Ui {
class StStateDialog;
}

struct StateParams {
  // In only: the satellite is propagated numerically. It then shows its
  // stored epoch state instead of the one given, with its stored epoch.
  bool nm = false;
  int year = 0;  // epoch: year and day of year (day 1.0 = 1 January 0h UT)
  double day = 0.0;
  Vec3 r, v;  // km, km/s, mean equator of date
  // Out only: the epoch or the vector differ from those given to setParams.
  bool changed = false;
};

class StStateDialog : public StDialog {
  Q_OBJECT
 public:
  StStateDialog();
  ~StStateDialog() override;

  // The editor's epoch and vector. The vector is shown in the frame last
  // chosen (stfrm), converted at the epoch shown.
  void setParams(const StateParams& p);
  // The epoch and the vector in the mean equator of date. An untouched dialog
  // returns exactly what it showed.
  StateParams params() const;
  // Stores what params() returns, the frame and (numerical satellite) the
  // coefficients into the prime satellite.
  void store() const;

 public slots:
  void timeSlot();
  // A frame change converts the vector shown, except on a numerical
  // satellite with the reset box cleared, where the numbers are kept and
  // taken as numbers of the new frame.
  void refSlot();
  void accept() override;

 private:
  int frameChecked() const;
  // The epoch fields (as given when they show it) and the MJD they name.
  void epochReturned(int& year, double& day, double& t) const;
  double epochShown() const;
  void showVector(const Vec3& r, const Vec3& v);
  bool vectorShown(Vec3& r, Vec3& v) const;
  // What OK returns for the epoch t: the vector in the mean equator of date.
  void vectorReturned(double t, Vec3& r, Vec3& v) const;
  // An empty text when the state (mean of date, km, km/s) is an orbit that
  // stays above the ground, else the reason.
  QString orbitProblem(const Vec3& r, const Vec3& v) const;

  bool nm_ = false;
  int frame_ = 1;          // frame of the numbers shown
  double inEpoch_ = 0;     // MJD passed in
  Vec3 inR_, inV_;         // vector passed in (mean of date)
  int year0_ = 0;          // epoch fields as filled by setParams or the date dialog
  double day0_ = 0, epoch0_ = 0;
  Vec3 modR_, modV_;       // the vector shown, in the mean equator of date
  bool exact_ = false;     // the fields show modR_, modV_ (in frame_ at epoch0_)
  Vec3 shownR_, shownV_;   // the numbers shown (frame_)
  std::unique_ptr<Ui::StStateDialog> ui;
};

#endif
