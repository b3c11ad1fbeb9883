// The window's list commands: Find by name in the selection dialog's search
// over a 10,000-object TLE file, and the all-satellite list through the
// window's command (engine, message box and all).
#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdio>
#include <cstring>

#include "gui/records.h"
#include "gui/vorlixview.h"
#include "gui/vsservices.h"
#include "support/data.h"
#include "support/files.h"
#include "support/record.h"
#include "support/scriptedprompter.h"
#include "support/guibench.h"

namespace {

void SetUp(const char* tle, int day, int month, int year) {
  *indata = *support::newRecord(48.1, 11.6, 520.0);
  indata->satel = 10.0;
  indata->sunel = -6.0;
  indata->dur = 1.0;
  indata->day = day;
  indata->month = month;
  indata->year = year;
  setNewMjd(indata);
  std::snprintf(indata->tlenm, FILENAME_SIZE, "%s", support::benchDataPath(tle).c_str());
  std::snprintf(indata->savnm, FILENAME_SIZE, "%s",
                support::tempPath("gui_lists.txt").c_str());
}

// The last object of the file: the search reads every record before it.
void BM_FindByName_Synthetic10000(benchmark::State& state) {
  SetUp("synthetic-10000.tle", 20, 1, 2024);
  satfle = std::fopen(indata->tlenm, "r");
  if (!satfle) {
    state.SkipWithError("no TLE file");
    return;
  }
  int found = 0;
  for (auto _ : state) {
    QString name = QStringLiteral("SYN-LEO 10000");
    int number = 0;
    vsFindSat(name, number, 0, 0, 0);
    found = number;
  }
  std::fclose(satfle);
  satfle = nullptr;
  if (found == 0) state.SkipWithError("not found");
}
BENCHMARK(BM_FindByName_Synthetic10000)->Unit(benchmark::kMillisecond);

void BM_AllSatWindow_Catalogue2018(benchmark::State& state) {
  ScriptedPrompter prompter;
  VorlixView view;
  SetUp("catalogue-2018.tle", 21, 1, 2018);
  for (auto _ : state) {
    indata->svnew = 1;
    view.vAllSat();
  }
  if (!prompter.boxes.last().text.startsWith(QStringLiteral("List of passes saved")))
    state.SkipWithError("list not written");
  std::remove(indata->savnm);
}
BENCHMARK(BM_AllSatWindow_Catalogue2018)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) { return guibench::run(argc, argv); }
