#include "core/system/KTempCLocale.h"

#include <clocale>
#include <string>

namespace {
int g_depth = 0;
std::string& savedLocale() {
  static std::string text;
  return text;
}
}  // namespace

KTempCLocale::KTempCLocale(bool enable) : m_switched(enable) {
  if (!enable) return;
  if (g_depth++ == 0) {
    const char* current = setlocale(LC_ALL, nullptr);
    savedLocale() = current ? current : "C";
    setlocale(LC_ALL, "C");
  }
}

KTempCLocale::~KTempCLocale() {
  if (!m_switched) return;
  if (--g_depth == 0) {
    setlocale(LC_ALL, savedLocale().c_str());
    savedLocale().clear();
  }
}

int KTempCLocale::depth() { return g_depth; }
