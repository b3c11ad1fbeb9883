// Launch site (one of 20 built-in sites or the user's own position), launch
// direction and ascent time of a launch.
#ifndef VORLIX_DIALOGS_STLAUNCHDIALOG_H
#define VORLIX_DIALOGS_STLAUNCHDIALOG_H

#include <memory>

#include "dialogs/stdialog.h"

namespace Ui {
class StLaunchDialog;
}

// The coordinates passed in are shown (and stay editable) whatever site names;
// a site outside the list selects the user's entry.
struct LaunchParams {
  int site = 0;                 // index in the site list, 0 = the user's own
  double lat = 0.0, lng = 0.0;  // deg, north and east positive
  bool south = false;           // southward launch
  double ascent = 0.0;          // min, ascent time
};

class StLaunchDialog : public StDialog {
  Q_OBJECT
 public:
  StLaunchDialog();
  ~StLaunchDialog() override;

  // Number of entries in the site list; entry 0 is the user's own site.
  static constexpr int kSites = 21;
  // Latitude and east longitude (deg) of site k (0 for the user's entry or an
  // index outside the list).
  static double siteLat(int k);
  static double siteLng(int k);

  void setParams(const LaunchParams& p);
  LaunchParams params() const;

 public slots:
  // A site chosen from the list (also the one already shown): its coordinates,
  // locked; the user's entry unlocks what is shown.
  void siteSlot(int index);

 private:
  std::unique_ptr<Ui::StLaunchDialog> ui;
  int csx_ = 0;  // site of the coordinates shown
};

#endif
