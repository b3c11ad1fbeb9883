// Whole-file helpers of the tests and benchmarks.
#ifndef VORLIX_TESTS_SUPPORT_FILES_H
#define VORLIX_TESTS_SUPPORT_FILES_H

#include <fstream>
#include <sstream>
#include <string>

inline std::string readFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

inline void writeFile(const std::string& path, const std::string& data) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f << data;
}

#endif
