#include "core/system/KTextNumbers.h"

#include "platform/KSystemInfo.h"

#include <climits>
#include <ctime>

int KColumnLettersToIndex(const char* letters) {
  if (!letters || !*letters) return -1;
  char first = letters[0];
  char low = first >= 'a' && first <= 'z' ? 'a' : 'A';
  long long value = 0;
  for (const char* p = letters; *p; ++p) {
    if (*p < low || *p > low + 25) return -1;
    value = value * 26 + (*p - low + 1);
    if (value - 1 > INT_MAX) return -1;
  }
  return static_cast<int>(value - 1);
}

double KRunningMean(long n, double mean, double x) {
  if (n <= 0) return x;
  return (static_cast<double>(n) * mean + x) / (static_cast<double>(n) + 1.0);
}

long KStepForByteCount(ULONGLONG bytes) {
  ULONGLONG k = bytes / 1024, m = k / 1024;
  if (k < 50) return 1;
  if (k < 500) return 10;
  if (m < 2) return 50;
  if (m < 5) return 100;
  if (m < 20) return 1000;
  return 5000;
}

KString KDateTimeText(__time64_t time) {
  struct tm local {};
  if (_localtime64_s(&local, &time) != 0) return KString();
  char text[256];
  size_t n = strftime(text, sizeof text, "%A, %B %d, %Y, %H:%M:%S", &local);
  return KString(text, static_cast<int>(n));
}
