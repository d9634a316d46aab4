#include "core/system/KTempNames.h"

#include "core/application/KApplicationAbstract.h"
#include "platform/KProcess.h"
#include "platform/KSystemInfo.h"
#include "platform/KTime.h"

#include <cstdio>
#include <cstring>

namespace {
const char kAlphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_$";

void writeDigits(unsigned long value, int count, char* out) {
  for (int i = count - 1; i >= 0; --i) {
    out[i] = kAlphabet[value & 63];
    value >>= 6;
  }
}
}  // namespace

KString KModelTempName(const char* base, INT_PTR number, const char* folder) {
  __time64_t now = _time64(nullptr);
  struct tm local {};
  if (_localtime64_s(&local, &now) != 0) return KString();
  KString prefix;
  prefix.Format("QUELMM_%s_%Id_%02d%02d%02d_%02d%02d%02d", base ? base : "", number, local.tm_year % 100,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  return KUniqueTempName(folder ? folder : "", prefix);
}

void KCompressGuidBytes(const unsigned char bytes[16], char out[23]) {
  writeDigits(bytes[0], 2, out);
  for (int group = 0; group < 5; ++group) {
    const unsigned char* b = bytes + 1 + 3 * group;
    writeDigits(static_cast<unsigned long>(b[0]) << 16 | b[1] << 8 | b[2], 4, out + 2 + 4 * group);
  }
  out[22] = '\0';
}

bool KNewIdentifier(char* buffer, size_t size) {
  if (!buffer || size <= 22) return true;
  GUID guid;
  if (CoCreateGuid(&guid) != S_OK) return true;
  unsigned char bytes[16] = {
      static_cast<unsigned char>(guid.Data1 >> 24), static_cast<unsigned char>(guid.Data1 >> 16),
      static_cast<unsigned char>(guid.Data1 >> 8),  static_cast<unsigned char>(guid.Data1),
      static_cast<unsigned char>(guid.Data2 >> 8),  static_cast<unsigned char>(guid.Data2),
      static_cast<unsigned char>(guid.Data3 >> 8),  static_cast<unsigned char>(guid.Data3)};
  memcpy(bytes + 8, guid.Data4, 8);
  KCompressGuidBytes(bytes, buffer);
  return false;
}

bool KNewTestIdentifier(char* buffer, size_t size) {
  if (!KGetApplication()->IsTestMode()) return KNewIdentifier(buffer, size);
  if (!buffer || size <= 22) return true;
  static unsigned long counter = 0;
  char digits[24];
  int n = snprintf(digits, sizeof digits, "%lu", ++counter);
  int zeros = 22 - 8 - n;
  if (zeros < 0) zeros = 0;
  snprintf(buffer, size, "QA_GUID_%.*s%s", zeros, "0000000000000000000000", digits);
  return false;
}
