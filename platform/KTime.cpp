#include "platform/KTime.h"

#include "platform/KString.h"

#include <chrono>
#include <ctime>

__time64_t _time64(__time64_t* out) {
  __time64_t now = static_cast<__time64_t>(std::time(nullptr));
  if (out) *out = now;
  return now;
}

long KClockTicks() {
  using namespace std::chrono;
  static const steady_clock::time_point origin = steady_clock::now();
  return 2 + static_cast<long>(duration_cast<milliseconds>(steady_clock::now() - origin).count());
}

KString KFormatTime(__time64_t t, const char* format) {
  std::time_t when = static_cast<std::time_t>(t);
  std::tm local{};
  if (!localtime_r(&when, &local)) return KString();
  char text[256];
  size_t length = std::strftime(text, sizeof(text), format, &local);
  return KString(text, static_cast<int>(length));
}
