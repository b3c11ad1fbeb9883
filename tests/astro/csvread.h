// Minimal reader for the reference CSV files in tests/data: skips '#' lines
// and the header, returns the rows as strings.
#ifndef VORLIX_TESTS_ASTRO_CSVREAD_H
#define VORLIX_TESTS_ASTRO_CSVREAD_H

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

inline std::vector<std::vector<std::string>> readCsv(const std::string& name) {
  std::vector<std::vector<std::string>> rows;
  std::ifstream in(std::string(VORLIX_TEST_DATA) + "/" + name);
  std::string line;
  bool header = true;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (header) { header = false; continue; }
    std::vector<std::string> cells;
    std::stringstream ss(line);
    std::string cell;
    while (std::getline(ss, cell, ',')) cells.push_back(cell);
    rows.push_back(cells);
  }
  return rows;
}

#endif
