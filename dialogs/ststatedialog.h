// The prime satellite's state vector at its epoch in one of four frames and,
// for a satellite propagated numerically, the coefficients of the force model.
// The dialog reads and stores the state itself through the view's services;
// the record keeps states in the mean equator and equinox of date.
#ifndef VORLIX_DIALOGS_STSTATEDIALOG_H
#define VORLIX_DIALOGS_STSTATEDIALOG_H

#include "astro/attlib.h"
#include "dialogs/stdialog.h"
#include "ui_ststatedialog.h"

class StStateDialog : public StDialog, private Ui::StStateDialog {
  Q_OBJECT
 public:
  StStateDialog();

  // Epoch (year, day of year) and vector (km, km/s, mean equator of date) of
  // the editor's elements. A satellite propagated numerically (nmflg) shows
  // its stored epoch state instead, with its stored epoch. The vector is
  // shown in the frame last chosen (stfrm), converted at the epoch shown.
  virtual void setParams(bool nmflg, int year, double day, double r0, double r1, double r2,
                         double v0, double v1, double v2, double ecc);
  // The epoch and the vector in the mean equator of date; stores epoch,
  // vector, frame and (numerical satellite) the coefficients into the prime
  // satellite. An untouched dialog returns exactly what it showed.
  virtual void getParams(int& year, double& day, double& r0, double& r1, double& r2, double& v0,
                         double& v1, double& v2);
  // After getParams: the epoch or the vector returned differ from those passed
  // to setParams.
  bool changed() const { return changed_; }

 public slots:
  virtual void timeSlot();
  // A frame change converts the vector shown, except on a numerical
  // satellite with the reset box cleared, where the numbers are kept and
  // taken as numbers of the new frame.
  virtual void refSlot();
  void accept() override;

 private:
  int frameChecked() const;
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
  bool changed_ = false;
};

#endif
