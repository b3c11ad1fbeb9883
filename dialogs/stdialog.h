// What every dialog shares: numbers shown and read back in the C syntax, and a
// base class that checks chosen number fields when OK is pressed.
//
// Reading: text that is no number reads as 0, and "nan", "inf" or a number
// beyond the double range read as 0 too, so nothing non-finite reaches the
// record. A field whose text is still the one setNum put there reads back the
// value setNum was given, not its six-digit rounding. On OK the dialogs refuse
// such text (numberProblem); only an empty field stands for 0.
#ifndef VORLIX_DIALOGS_STDIALOG_H
#define VORLIX_DIALOGS_STDIALOG_H

#include <QDialog>
#include <QString>
#include <QVector>

class QLineEdit;
class QTextEdit;

// %g with 6 significant digits, whatever the locale (0.0416667, 1e-08).
QString numText(double v);
// printf format (one double) through decdot, bounded: "%8.2f" -> "   12.50".
// A value that prints as zero is written without a minus sign.
QString numText(double v, const char* format);

void setNum(QLineEdit* edit, double v);
void setNum(QLineEdit* edit, double v, const char* format);
void setNum(QLineEdit* edit, int v);
// Exchanges the texts of two fields with what setNum remembered of them, so
// an untouched value still reads back exactly from its new field.
void swapNum(QLineEdit* a, QLineEdit* b);

// v := the field's number; true when the text is a finite number (for int: a
// base-10 integer). Otherwise v := 0 and false.
bool readNum(const QLineEdit* edit, double& v);
bool readNum(const QLineEdit* edit, int& v);
// The reading of readNum; false only when the text is a number beyond the
// finite range ("nan", "inf", "1e999"). Letters read as 0 and pass.
bool readFinite(const QLineEdit* edit, double& v);
// Why the field's text is no number, named after the field ("R.A.: \"1,5\" is
// not a number."), or an empty string when it reads as one: a number in the C
// syntax, or an empty field (which reads as 0). Letters and a decimal comma are
// refused, so that "48,137" does not become 0 without a word.
QString numberProblem(const QLineEdit* edit, const QString& name);
// The same for a bare text (blanks around the number are ignored).
bool parseNum(const QString& text, double& v);
bool parseNum(const QString& text, int& v);

// A control that a dialog's options show or hide: shown means visible and
// enabled, hidden means invisible and disabled (its state and text stay).
void showControl(QWidget* w, bool on);

// Inserts text at the cursor as plain text (no rich-text guessing, no extra
// paragraph per call).
void insertPlain(QTextEdit* edit, const QString& text);

// Base of the parameter dialogs. Fields registered with checkField must hold
// a finite number inside their range when OK is pressed; otherwise one box
// under the dialog's title names the field, the field gets the focus and the
// dialog stays open. An empty field reads 0; text that is no number is
// refused, except in a disabled field, which the user cannot mend and which
// reads 0. Fields not registered follow the plain reading rule.
class StDialog : public QDialog {
  Q_OBJECT
 public:
  // Typed: a real number that must be there: an empty field is refused
  // instead of reading as 0.
  enum Kind { Real, Integer, Typed };
  explicit StDialog(QWidget* parent = nullptr);

  // name: the field as the user knows it ("Latitude"). An empty field reads 0
  // and is checked as 0, except in a Typed field.
  void checkField(QLineEdit* edit, const QString& name, double min, double max,
                  Kind kind = Real);
  // A field whose meaning follows the form (the mean-motion field of an
  // orbit that holds the perigee distance of an open one) is named anew.
  void renameField(QLineEdit* edit, const QString& name);
  // Runs the checks; on the first failure shows the box and returns false.
  bool fieldsValid();
  // The same box for a check of the dialog's own (one field against another):
  // names the problem under the dialog's title and puts the focus on edit.
  void refuseField(QLineEdit* edit, const QString& problem);

 public slots:
  void accept() override;

 private:
  struct Check {
    QLineEdit* edit;
    QString name;
    double min, max;
    Kind kind;
  };
  QVector<Check> checks_;
};

#endif
