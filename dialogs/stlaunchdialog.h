// Launch site (one of 20 built-in sites or the user's own position), launch
// direction and ascent time of a launch.
#ifndef VORLIX_DIALOGS_STLAUNCHDIALOG_H
#define VORLIX_DIALOGS_STLAUNCHDIALOG_H

#include "dialogs/stdialog.h"
#include "ui_stlaunchdialog.h"

class StLaunchDialog : public StDialog, private Ui::StLaunchDialog {
  Q_OBJECT
 public:
  StLaunchDialog();

  // Number of entries in the site list; entry 0 is the user's own site.
  static constexpr int kSites = 21;
  // Latitude and east longitude (deg) of site k (0 for the user's entry or an
  // index outside the list).
  static double siteLat(int k);
  static double siteLng(int k);

  // The coordinates passed in are shown (and stay editable) whatever site lsx
  // names; an lsx outside the list selects the user's entry.
  virtual void setParams(int lsx, double lat, double lng, bool lsouth, double tmeco);
  virtual void getParams(int& lsx, double& lat, double& lng, bool& lsouth, double& tmeco);

 public slots:
  // A site chosen from the list (also the one already shown): its coordinates,
  // locked; the user's entry unlocks what is shown.
  virtual void siteSlot(int index);

 private:
  int csx_ = 0;  // site of the coordinates shown
};

#endif
