// Satellites, lists and files: selection and removal, pass and event lists,
// the all-satellite and Iridium lists, the orbit track, the save files, the
// time step and the prime satellite.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "dialogs/prompter.h"
#include "dialogs/stiridiumdialog.h"
#include "dialogs/stremsatdialog.h"
#include "dialogs/stselsatdialog.h"
#include "dialogs/ststepdialog.h"
#include "dialogs/stswitchdialog.h"
#include "engine/flares.h"
#include "engine/lists.h"
#include "engine/passtext.h"
#include "engine/safefile.h"
#include "engine/savefile.h"
#include "engine/tle.h"
#include "gui/recordparams.h"
#include "gui/records.h"
#include "gui/vorlixview.h"
#include "gui/vorlixview_guards.h"
#include "gui/vsservices.h"

namespace {

const char* const kVorlix = QT_TR_NOOP("Vorlix");
const char* const kNoSatellite = QT_TR_NOOP("*** No Satellite Selected ***");
const char* const kOutputProblem = QT_TR_NOOP("*** Problems with the output file");

// The event kind the settings ask for: a transit or occultation (1), or a
// flare of a known surface (2), which wins over a transit.
void setEventKind() {
  if (indata->occflg) indata->iridflg = 1;
  if (indata->flarflg && indata->flarmod > 0) indata->iridflg = 2;
}

// Asks the maximum distance in the transit and flare kinds; false when the
// question was cancelled.
bool distanceAnswered(QWidget* parent) {
  if (indata->iridflg != 1 && indata->iridflg != 2) return true;
  double v = indata->mxdist;
  if (!prompter().askDouble(VorlixView::tr("Transit/Flares"),
                            VorlixView::tr("Maximum Distance (km):"), v, 0.0, 50000.0, 1, parent))
    return false;
  indata->mxdist = v;
  return true;
}

// The "***" lines the engine left on a page, one per line.
QString pageProblems(const WoutData* o) {
  QStringList out;
  for (int k = 0; k < o->nlines; ++k) {
    const QString s = PageLineToQs(o, k).trimmed();
    if (s.startsWith(QStringLiteral("***"))) out << s;
  }
  return out.join(QLatin1Char('\n'));
}

QString savName() { return FileNameToQs(indata->savnm); }

// The Iridium Flares command reads a file of its own, beside the TLE file,
// which the user may never have put there: say which file, and where.
QString missingTle() {
  if (!indata->irrun) return QString();
  const QString name = FileNameToQs(indata->tlenm);
  return QStringLiteral(":\n") + name +
         (QFileInfo::exists(name) ? VorlixView::tr(" cannot be read")
                                  : VorlixView::tr(" not found"));
}

}  // namespace

// ---------------------------------------------------------------------------
// Selection, removal, prime satellite, time step
// ---------------------------------------------------------------------------

void VorlixView::vSelectSat() {
  satfle = OpenRegular(indata->tlenm);
  if (!satfle) {
    prompter().warn(tr(kVorlix), tr("Unable to open TLE file ") + FileNameToQs(indata->tlenm),
                    this, tr("Quit"));
    return;
  }
  {
    StSelSatDialog dlg;
    dlg.setParams();
    prompter().exec(dlg);
  }
  std::fclose(satfle);
  satfle = nullptr;
}

void VorlixView::vRemoveSat() {
  if (indata->satnr < 1) return;
  StRemSatDialog dlg;
  dlg.setParams(remSatFromRecord(*indata));
  if (prompter().exec(dlg) != QDialog::Accepted) return;
  const RemSatParams marked = dlg.params();
  for (int i = std::min(indata->satnr, MAXSEL) - 1; i >= 0; --i) {
    if (!marked.remove[i]) continue;
    // The satellite before a removed prime satellite becomes prime.
    if (indata->prs >= i) indata->prs = std::max(indata->prs - 1, 0);
    const int old = indata->satnr;
    indata->satnr = old - 1;
    for (int k = i + 1; k < old; ++k) ShiftElm(indata, k - 1, k);
  }
  indata->prs = std::clamp(indata->prs, 0, std::max(indata->satnr - 1, 0));
  indata->sgpsat = SGPSAT_NONE;
  mapChanged();
}

int VorlixView::vNextSat() {
  // The search looks for passes, not for Iridium flares.
  Keep<int> kind(indata->iridflg, indata->iridflg == 3 ? 0 : indata->iridflg);
  WaitCursor wait;
  return Nxt4Pass(indata);
}

void VorlixView::vSwitch() {
  StSwitchDialog dlg;
  dlg.setParams(switchFromRecord(*indata));
  if (prompter().exec(dlg) != QDialog::Accepted) return;
  switchToRecord(dlg.params(), *indata);
}

VorlixView::TimeStep VorlixView::stepFromInput(int min, double sec) {
  // Magnitudes in double (|INT_MIN| has no int), at most 14 days of minutes.
  const double m = std::min(std::fabs(static_cast<double>(min)), double(StStepDialog::kMaxMinutes));
  const double s = std::isfinite(sec) ? std::min(std::fabs(sec), StStepDialog::kMaxMinutes * 60.0) : 0.0;
  if (m == 0.0 && s == 0.0) return {0, 0.1, 0.1 / 86400.0};
  return {static_cast<int>(m), s, m / 1440.0 + s / 86400.0};
}

void VorlixView::vStep() {
  StStepDialog dlg;
  dlg.setParams(stepFromRecord(*indata));
  if (prompter().exec(dlg) != QDialog::Accepted) return;
  stepToRecord(dlg.params(), *indata);
}

// ---------------------------------------------------------------------------
// Lists
// ---------------------------------------------------------------------------

int VorlixView::passList() {
  Keep<int> kind(indata->iridflg);
  setEventKind();
  if (!distanceAnswered(this)) return kListCancelled;
  int r;
  {
    WaitCursor wait;
    r = aospass(indata, outdata);
  }
  if (indata->filsav == 0) {
    indata->dspst = -1;
    showSattxt();
  }
  return r;
}

void VorlixView::vCalcAOS() {
  Keep<bool> magnitude(indata->flrmgf, false);
  if (indata->iridflg != 3) {
    passList();
    return;
  }
  // The Iridium kind lists through a file of its own in the temporary
  // directory, which is always writable and never shared.
  QTemporaryFile tmp(QDir::tempPath() + QStringLiteral("/vorlix-flares-XXXXXX"));
  if (!tmp.open()) {
    prompter().inform(tr("Iridium Flares"), tr(kOutputProblem), this);
    return;
  }
  tmp.close();
  Keep<char[FILENAME_SIZE]> save(indata->savnm);
  Keep<int> fresh(indata->svnew, 1);
  if (!QsToFileName(tmp.fileName(), indata->savnm, FILENAME_SIZE - 1)) return;
  CmIridium();
}

void VorlixView::CmIridium() {
  Keep<double> pitch(indata->occdec, -40.0);
  Keep<int> kind(indata->iridflg, 3);
  Keep<int> flare(indata->flarflg, 1);
  Keep<int> model(indata->flarmod, 1);
  Keep<int> yawSteering(indata->flaryst, 0);
  Keep<int> transit(indata->occflg, 0);
  Keep<double> yaw(indata->occra, 0.0);
  Keep<double> length(indata->chlen);

  StIridiumDialog dlg;
  dlg.setParams(iridiumFromRecord(*indata));
  if (prompter().exec(dlg) != QDialog::Accepted) return;
  iridiumToRecord(dlg.params(), *indata);
  indata->chlen = indata->moonflg ? 1.0 : 0.0;
  // A run that wrote no list has said why; an older flare list left in the
  // save file is not shown as if it were this run's.
  if (!allSatWritten()) return;
  Iriddspy(indata, outdata);
  showtxt(true);
}

void VorlixView::vIridium() {
  Keep<char[FILENAME_SIZE]> save(indata->savnm);
  Keep<char[FILENAME_SIZE]> tle(indata->tlenm);
  Keep<int> fresh(indata->svnew, 1);
  Keep<bool> run(indata->irrun, true);  // the list's header names its file
  char iridium[FILENAME_SIZE] = "*iridium.txt";
  if (!vsFileName(iridium)) return;
  // The user's element file stays one while iridium.txt stands in for it:
  // no name of the flare list may lead into it.
  const ElementFileGuard elements(indata->tlenm);
  std::memcpy(indata->tlenm, iridium, FILENAME_SIZE);
  std::snprintf(indata->savnm, FILENAME_SIZE, "%s", "*iridiumf.doc");
  CmIridium();
}

void VorlixView::vAllSat() { allSatWritten(); }

bool VorlixView::allSatWritten() {
  if (!vsFileName(indata->savnm)) return false;
  Keep<int> kind(indata->iridflg);
  Keep<bool> magnitude(indata->flrmgf, false);
  if (indata->iridflg < 3) {
    setEventKind();
    if (!distanceAnswered(this)) return false;
  }
  int r;
  int sortWhy = 0;
  {
    WaitCursor wait;
    r = AllSatAos(indata, &sortWhy);
  }
  const QString title = tr("All Passes");
  switch (r) {
    case ALLSAT_DONE:
      if (indata->iridflg != 3)
        prompter().inform(tr(kVorlix),
                          tr("List of passes saved on file ") + savName() + vsSaveFileNote(), this);
      break;
    case ALLSAT_UNSORTED:
      // A flare list gone into a FIFO or a device says so on its page.
      if (indata->iridflg != 3 || sortWhy != EINVAL)
        prompter().inform(tr(kVorlix),
                          tr("List of passes saved on file ") + savName() +
                              tr(" unsorted, grouped by satellite: it could not be put in "
                                 "time order (%1).")
                                  .arg(QString::fromLocal8Bit(OpenRegularError(sortWhy))) +
                              vsSaveFileNote(),
                          this);
      break;
    case ALLSAT_NOSAVE:
      prompter().inform(title, vsOutputProblem(), this);
      break;
    case ALLSAT_NOTLE:
      prompter().inform(title, tr("*** Problems with the input file") + missingTle(), this);
      break;
    case ALLSAT_BADSET:
      prompter().inform(title,
                        indata->iridflg == 3
                            ? tr("*** Limiting magnitude too faint: at most 29 ***")
                            : tr("*** Need distance > 0 for occultations or flares ***"),
                        this);
      break;
    default:
      prompter().inform(title, tr("*** List not written (code %1) ***").arg(r), this);
  }
  return r == ALLSAT_DONE || r == ALLSAT_UNSORTED;
}

void VorlixView::vOrbitTrack() {
  if (!vsFileName(indata->savnm)) return;
  int r;
  OrbitTrackInfo info;
  {
    WaitCursor wait;
    r = saveOrbitTrack(indata, &info);
  }
  if (r == ORBITTRACK_NOSAT) {
    prompter().inform(tr(kVorlix), tr(kNoSatellite), this);
    return;
  }
  if (r != 0) {
    prompter().inform(tr("Save Orbit Track"), vsOutputProblem(), this);
    return;
  }
  if (indata->iridflg == 3) return;
  // A track without a single position is no track, and one with gaps says
  // how many steps it lacks.
  QString text;
  if (info.noPosition > 0 && info.noPosition == info.steps)
    text = tr("*** No position at any of the %1 steps ***\n"
              "File %2 holds only their times, marked \"No Position\".")
               .arg(info.steps)
               .arg(savName());
  else
    text = tr("Track saved on file ") + savName();
  if (info.noPosition > 0 && info.noPosition < info.steps)
    text += tr("\n\n*** No position at %1 of %2 steps: their lines read \"No Position\" ***")
                .arg(info.noPosition)
                .arg(info.steps);
  // A cut track must not pass for the whole interval.
  if (info.cutAt[0] != '\0')
    text += tr("\n\n*** Track cut after %1 lines: its last line is at %2 ***")
                .arg(ORBITTRACK_MAXLINES)
                .arg(CharToQs(info.cutAt).simplified());
  prompter().inform(tr(kVorlix), text + vsSaveFileNote(), this);
}

// ---------------------------------------------------------------------------
// Save files
// ---------------------------------------------------------------------------

void VorlixView::vFileSave() {
  if (indata->satnr < 1 && indata->iridflg != 3) {
    prompter().inform(tr(kVorlix), tr(kNoSatellite), this);
    return;
  }
  if (!vsFileName(indata->savnm)) return;
  Keep<int> toFile(indata->filsav, 1);
  if (indata->iridflg == 3) {
    CmIridium();  // writes the flare list to the save file itself
    return;
  }
  Keep<bool> magnitude(indata->flrmgf, false);
  // The list goes to the file only: the list on screen keeps the passes a
  // click on its lines opens.
  Keep<int> shownPasses(indata->npass);
  Keep<double[MAXPASS]> shownTimes(indata->pastm);
  const int r = passList();
  const QString title = tr("Save File");
  switch (r) {
    case AOS_DONE:
      prompter().inform(tr(kVorlix), tr("Saved on File ") + savName() + vsSaveFileNote(), this);
      break;
    case AOS_NOSAVE:
      prompter().inform(title, vsOutputProblem(), this);
      break;
    case AOS_NOLIST:
      prompter().inform(title, pageProblems(outdata), this);
      break;
    default:  // the distance question was cancelled: nothing to say
      break;
  }
}

void VorlixView::vTLESave() {
  if (indata->satnr < 1) {
    prompter().inform(tr(kVorlix), tr(kNoSatellite), this);
    return;
  }
  if (!vsFileName(indata->tlsnm)) return;
  auto reasons = std::make_unique<WoutData>();
  const int r = SaveTle(indata, reasons.get());
  const QString title = tr("TLE File Save");
  const QString why = pageProblems(reasons.get());
  switch (r) {
    case 0:  // saved; a folder that could not be synced is named
      prompter().inform(tr(kVorlix),
                        tr("TLE's saved on file ") + FileNameToQs(indata->tlsnm) +
                            (why.isEmpty() ? QString() : QStringLiteral("\n\n") + why),
                        this);
      break;
    case 1:  // no satellite: answered above
      break;
    case 4:  // a value that does not fit: the engine's line names it
    case 5:  // the element file: the engine's line says so
      prompter().inform(title, why, this);
      break;
    default:
      prompter().inform(title, tr("*** ERROR *** while opening or writing TLE Save File\n") + why,
                        this);
  }
}
