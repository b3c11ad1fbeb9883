// The orbit element editor: name, numbers and epoch of the prime satellite,
// its six elements with the dependent quantities kept consistent (mean motion
// and semi-major axis, perigee and apogee heights, the two drag rates), and
// the actions Edit Time, GEO, State Vec., Adjust and New.
#ifndef VORLIX_DIALOGS_STEDITORBDIALOG_H
#define VORLIX_DIALOGS_STEDITORBDIALOG_H

#include "dialogs/stdialog.h"
#include "ui_steditorbdialog.h"

class StEditOrbDialog : public StDialog, private Ui::StEditOrbDialog {
  Q_OBJECT
 public:
  StEditOrbDialog();

  // Filled in the order setParam1, setParam2, setParam3; an untouched dialog
  // gives back exactly the values it was given.
  // aflg: SGP4 mean elements; paflg: entry by perigee and apogee; mjdep: the
  // epoch (MJD); lcflg: a launch is being prepared (epoch and the angles the
  // launch sets are locked).
  virtual void setParam1(const QString& fsname, int norad, int aflg, int paflg, double mjdep,
                         int lcflg);
  virtual void setParam2(double a, double ra, double aper, double inc, double ecc, double m0,
                         double n0, double adot, double ndot, double n6dot, double bstar);
  // With numflg and a stored state that is no ellipse, the epoch shown is the
  // state's pericentre time.
  virtual void setParam3(const QString& ldsn, bool numflg);
  // The epoch comes back as year and day of year (day 1.0 = 1 January 0h UT).
  virtual void getParam1(QString& fsname, int& norad, int& aflg, int& paflg, int& year,
                         double& day);
  // Refreshes first. The mean motion is kept within 0.001..100 rev/day (a
  // perigee distance of an open orbit at least 0.001 km), and the semi-major
  // axis follows it.
  virtual void getParam2(double& a, double& ra, double& aper, double& inc, double& ecc,
                         double& m0, double& n0, double& adot, double& ndot, double& n6dot,
                         double& bstar);
  virtual void getParam3(QString& ldsn, bool& numflg, bool& nwsflg);

 public slots:
  virtual void refreshSlot();
  virtual void spgSlot();
  virtual void perapoSlot();
  virtual void n0Slot();
  virtual void smaxSlot();
  virtual void ndotSlot();
  virtual void adotSlot();
  virtual void perSlot();
  virtual void apoSlot();
  virtual void eccincSlot();
  virtual void stateSlot();
  virtual void eccSlot();
  virtual void timeSlot();
  virtual void adjSlot();
  virtual void geoSlot();
  virtual void numSlot();
  virtual void nwsSlot();
  void accept() override;

 private:
  int sgpMode() const { return spg4Box->isChecked() ? 1 : 0; }
  double epochFields() const;
  // Inclination, node, argument of perigee, mean anomaly (deg) and
  // eccentricity, each in its field's format.
  void showOrbit(double inc, double node, double argp, double m, double e);
  void setDragEnabled(bool drag, bool bstar);
  // After a refresh: an empty text when the working values are the orbit OK
  // stores, else the reason, and in field the field to mend. pa and source
  // (n0c) are the entry mode and the tracker before the refresh.
  QString orbitProblem(bool pa, int source, QLineEdit*& field) const;

  // Working values of the coupled quantities.
  double dsmax_ = 0;  // km, semi-major axis (negative for a hyperbola)
  double decc_ = 0;
  double dn0_ = 0;    // rev/day; perigee distance q (km) for an open orbit
  double dndot_ = 0;  // rev/day^2
  double dadot_ = 0;  // km/day
  double hper_ = 0, hapo_ = 0;  // km above 6378.14 km
  // Which coupled field changed last: n0c 1 mean motion, 2 semi-major axis,
  // 3 model; ndc 1 ndot, 2 adot; apc 1 perigee, 2 apogee, 3 e or i.
  int n0c_ = 0, ndc_ = 0, apc_ = 0;
  bool ednwsflg_ = false;
};

#endif
