// The reader of the reference tables in tests/data: comma-separated, '#'
// lines are comments, the first other line names the columns.
#ifndef VORLIX_TESTS_SUPPORT_CSV_H
#define VORLIX_TESTS_SUPPORT_CSV_H

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/data.h"

namespace support {

struct CsvTable {
  std::vector<std::string> head;
  std::vector<std::vector<std::string>> rows;  // cells as text, in column order
};

inline CsvTable readCsvTable(const std::string& name) {
  CsvTable t;
  std::ifstream in(dataPath(name));
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> cells;
    std::stringstream ss(line);
    std::string cell;
    while (std::getline(ss, cell, ',')) cells.push_back(cell);
    if (t.head.empty())
      t.head = cells;
    else
      t.rows.push_back(cells);
  }
  return t;
}

// A row by column name; a column the row lacks reads "".
using CsvRow = std::map<std::string, std::string>;

inline std::vector<CsvRow> readCsvRows(const std::string& name) {
  const CsvTable t = readCsvTable(name);
  std::vector<CsvRow> rows;
  for (const auto& cells : t.rows) {
    CsvRow r;
    for (size_t k = 0; k < t.head.size(); ++k) r[t.head[k]] = k < cells.size() ? cells[k] : "";
    rows.push_back(r);
  }
  return rows;
}

// The number in column key; NaN when it is missing, empty, "nan" or "none".
inline double csvNum(const CsvRow& r, const char* key) {
  auto it = r.find(key);
  if (it == r.end() || it->second.empty() || it->second == "nan" || it->second == "none")
    return NAN;
  return std::atof(it->second.c_str());
}

}  // namespace support

// The rows of a table as cells in column order (header and comments skipped).
inline std::vector<std::vector<std::string>> readCsv(const std::string& name) {
  return support::readCsvTable(name).rows;
}

#endif
