// Visibility limits, the epoch of sky coordinates, and the event mode of the
// pass calculations (none, or one of occultation/transit, flares, Iridium
// flares and solar eclipse check) with the options of that mode.
#ifndef VORLIX_DIALOGS_STVISDIALOG_H
#define VORLIX_DIALOGS_STVISDIALOG_H

#include "dialogs/stdialog.h"
#include "ui_stvisdialog.h"

class StVisDialog : public StDialog, private Ui::StVisDialog {
  Q_OBJECT

 public:
  explicit StVisDialog(QWidget* parent = nullptr);

 public slots:
  // occra, occdec: the two direction values (occultation R.A./Dec., surface
  // normal or cylinder axis; the caller chooses which).
  virtual void setParams(double sunel, double satel, double yrepoch, double occra, double occdec,
                         int visflg, int moonflg);
  virtual void getParams(double& sunel, double& satel, double& yrepoch, double& occra,
                         double& occdec, int& visflg, int& moonflg);
  virtual void showSlot();
  virtual void setParam2(int sunmplt, int occflg, int iridflg, int flarflg, int flarmod,
                         int flaryst, bool eclflg, bool solflar, bool flrmgf, double flrmgx,
                         bool cylflg);
  // Every control is read, shown or hidden.
  virtual void getParam2(int& sunmplt, int& occflg, int& iridflg, int& flarflg, int& flarmod,
                         int& flaryst, bool& eclflg, bool& solflar, bool& flrmgf, double& flrmgx,
                         bool& cylflg);
  virtual void flarSlot();
  virtual void occSlot();
  virtual void iridSlot();
  virtual void eclSlot();
  void accept() override;

 private:
  void modeSlot(QCheckBox* own);
  bool directionIsRaDec() const;
};

#endif
