// Where the reference data of the tests and the inputs of the benchmarks are.
#ifndef VORLIX_TESTS_SUPPORT_DATA_H
#define VORLIX_TESTS_SUPPORT_DATA_H

#include <string>

namespace support {

// A file of tests/data (name relative to it, e.g. "lists/visual-2009.tle").
inline std::string dataPath(const std::string& name) {
  return std::string(VORLIX_TEST_DATA) + "/" + name;
}

#ifdef VORLIX_BENCH_DATA
// A file of bench/data.
inline std::string benchDataPath(const std::string& name) {
  return std::string(VORLIX_BENCH_DATA) + "/" + name;
}
#endif

}  // namespace support

#endif
