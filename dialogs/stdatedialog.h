// Date, time, time zone, calculation interval and real-time offset.
#ifndef VORLIX_DIALOGS_STDATEDIALOG_H
#define VORLIX_DIALOGS_STDATEDIALOG_H

#include <memory>

#include "dialogs/stdialog.h"

namespace Ui {
class StDateDialog;
}

struct DateParams {
  int year = 0, month = 0, day = 0;  // local date in the zone
  int hour = 0, minute = 0, second = 0;
  double zone = 0.0;                 // h, east positive
  bool systemZone = false;           // the zone comes from the operating system
  // d, interval of lists and Delta Time runs. Passed in negative, it locks the
  // duration and the R/T offset (its magnitude is shown); a locked duration
  // comes back as that magnitude.
  double duration = 0.0;
  double rtOffset = 0.0;             // h, added to the clock in real-time mode
};

class StDateDialog : public StDialog {
  Q_OBJECT

 public:
  explicit StDateDialog(QWidget* parent = nullptr);
  ~StDateDialog() override;

  void setParams(const DateParams& p);
  DateParams params() const;

 public slots:
  void systemSlot();
  void accept() override;

 private:
  std::unique_ptr<Ui::StDateDialog> ui;
};

#endif
