// The orbit element editor: name, numbers and epoch of the prime satellite,
// its six elements with the dependent quantities kept consistent (mean motion
// and semi-major axis, perigee and apogee heights, the two drag rates), and
// the actions Edit Time, GEO, State Vec., Adjust and New.
#ifndef VORLIX_DIALOGS_STEDITORBDIALOG_H
#define VORLIX_DIALOGS_STEDITORBDIALOG_H

#include <QString>
#include <QVector>
#include <array>
#include <memory>

#include "dialogs/stdialog.h"

class QLineEdit;

namespace Ui {
class StEditOrbDialog;
}

struct EditOrbParams {
  QString name;
  int norad = 0;
  int aflg = 0;        // 1: SGP4 mean elements
  int paflg = 0;       // 1: entry by perigee and apogee heights
  double mjdep = 0.0;  // in only: the epoch, MJD
  // Out only: the epoch as year and day of year (day 1.0 = 1 January 0h UT).
  int year = 0;
  double day = 0.0;
  int lcflg = 0;      // in only: a launch is being prepared (epoch and the angles it sets locked)
  double a = 0.0;     // km, semi-major axis (< 0 hyperbola)
  double ra = 0.0;    // deg, right ascension of the node
  double aper = 0.0;  // deg, argument of perigee
  double inc = 0.0;   // deg
  double ecc = 0.0;
  double m0 = 0.0;     // deg, mean anomaly
  double n0 = 0.0;     // rev/day; perigee distance (km) when ecc >= 1
  double adot = 0.0;   // km/day
  double ndot = 0.0;   // rev/day^2
  double n6dot = 0.0;  // rev/day^3
  double bstar = 0.0;  // 1/earth radii
  QString dsn;         // international designator
  // Propagated numerically. In, with a stored state that is no ellipse, the
  // epoch shown is the state's pericentre time.
  bool numflg = false;
  bool nwsflg = false;  // out only: New closed the dialog
};

class StEditOrbDialog : public StDialog {
  Q_OBJECT
 public:
  StEditOrbDialog();
  ~StEditOrbDialog() override;

  // An untouched dialog gives back exactly the values it was given.
  void setParams(const EditOrbParams& p);
  // Refreshes first. The mean motion is kept within 0.001..100 rev/day (a
  // perigee distance of an open orbit at least 0.001 km), and the semi-major
  // axis follows it.
  EditOrbParams params();

 public slots:
  void refreshSlot();
  void spgSlot();
  void perapoSlot();
  void n0Slot();
  void smaxSlot();
  void ndotSlot();
  void adotSlot();
  void perSlot();
  void apoSlot();
  void eccincSlot();
  void stateSlot();
  void eccSlot();
  void timeSlot();
  void adjSlot();
  void geoSlot();
  void numSlot();
  void nwsSlot();
  void accept() override;

 private slots:
  // The Refresh button: refuses a mean motion that cannot be the source.
  void refreshPressed();

 private:
  // The coupled fields with their names and ranges.
  struct CoupledRange {
    QLineEdit* edit;
    QString name;
    double min, max;
  };
  QVector<CoupledRange> coupledRanges() const;
  // Semi-major axis (km) of mean motion n (rev/day) and its exact inverse,
  // for the state of the SGP4 box; the inverse of an axis above 0 is 0 where
  // no mean motion gives it.
  double axisOf(double n, double e, double i) const;
  double meanMotionOf(double a, double e, double i) const;
  bool meanMotionUnusable() const;
  QString meanMotionRange() const;
  // Why OK cannot take the mean motion field (of an open orbit: q) as it
  // stands, or an empty text.
  QString meanMotionProblem() const;
  // Checks or unchecks the SGP4 box for the eccentricity typed.
  void setSgpForEcc(bool on);
  // After a refresh, as orbitProblem: a perigee below the Earth's surface; a
  // coupled field outside its range.
  QString surfaceProblem(bool pa, int source, QLineEdit*& field) const;
  QString rangeProblem(QLineEdit*& field) const;
  // A designator the TLE cannot hold as shown.
  QString designatorProblem() const;
  // The checks of OK on the fields as typed (the designator's only when asked
  // for): the first problem is shown, naming the field. The mean-motion field
  // of an open orbit is named q.
  bool typedFieldsValid(bool designator);
  // The coupled fields, their working values and trackers, as the user left
  // them: a refused refresh or OK puts them back.
  struct FormState {
    QString text[7];
    double work[7];
    int trackers[3];
    bool sgp, sgpOffByEcc;
    int n0cBeforeOpen;
  };
  // The coupled fields, in the order of FormState::text.
  std::array<QLineEdit*, 7> coupledEdits() const;
  FormState formState() const;
  void restoreForm(const FormState& f);
  // The field whose value the last refresh started from, for working values
  // that came out no number (pa and source as in orbitProblem).
  QLineEdit* unusableSource(bool pa, int source, int dragSource) const;
  bool workingFinite() const;
  // Refresh after the checks of OK; a refresh that gives no number puts the
  // form back. False (with the box shown) when refused.
  bool refreshChecked();
  // Filled in this order: name, numbers and epoch; the elements; the
  // designator and the numerical switch.
  void showHead(const EditOrbParams& p);
  void showElements(const EditOrbParams& p);
  void showNumeric(const EditOrbParams& p);
  int sgpMode() const;
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
  // The SGP4 box was unchecked by an eccentricity of 1 or more alone, and
  // n0c as it stood then: an eccentricity below 1 checks the box again.
  bool sgpOffByEcc_ = false;
  int n0cBeforeOpen_ = 0;
  bool eccTogglesSgp_ = false;  // the toggle under way is the eccentricity's
  bool ednwsflg_ = false;
  std::unique_ptr<Ui::StEditOrbDialog> ui;
};

#endif
