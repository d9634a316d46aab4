// Module quelm_leakprobe, built under the sanitizers only: it leaks on
// purpose, so that its tests show the leak check of the Python runs reports
// what bound code loses behind the interpreter's frames, the suppressions
// notwithstanding: a C++ allocation, and a Python object whose last
// reference is dropped without being released.
#include <pybind11/pybind11.h>

namespace {
char* volatile g_lost = nullptr;
}

PYBIND11_MODULE(quelm_leakprobe, m) {
  m.def("leakBuffer", [] {
    g_lost = new char[4242];
    g_lost = nullptr;
  });
  m.def("leakObject", [] { pybind11::bytes(std::string(4242, 'x')).release(); });
}
