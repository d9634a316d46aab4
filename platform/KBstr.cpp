// BSTR storage: a 32-bit byte count, the characters, and a 16-bit terminator
// that the count leaves out. The BSTR points at the first character, so it
// reads as a plain zero-terminated string and the count lies just before it.
#include "platform/KOleAuto.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {
std::atomic<long> g_liveStrings{0};

uint32_t* headerOf(BSTR text) { return reinterpret_cast<uint32_t*>(text) - 1; }

BSTR allocBytes(const void* bytes, UINT count) {
  if (count > 0x7FFFFFF0u) return nullptr;  // the count must fit the header with room for the terminator
  auto* block = static_cast<uint32_t*>(malloc(sizeof(uint32_t) + count + 2 * sizeof(OLECHAR)));
  if (!block) return nullptr;
  block[0] = count;
  char* chars = reinterpret_cast<char*>(block + 1);
  if (bytes)
    memcpy(chars, bytes, count);
  else
    memset(chars, 0, count);
  // Two zero bytes after an odd byte count as well, so the text always ends.
  memset(chars + count, 0, 2 * sizeof(OLECHAR));
  ++g_liveStrings;
  return reinterpret_cast<BSTR>(chars);
}

// Appends the UTF-16 form of the code point `c`.
void putUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out.push_back(static_cast<char16_t>(c));
  } else {
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
  }
}

void putUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one UTF-8 sequence at text[i]; advances i. Overlong forms,
// surrogates and truncated sequences give the replacement character.
char32_t nextUtf8(const unsigned char* text, size_t length, size_t& i) {
  unsigned char lead = text[i++];
  if (lead < 0x80) return lead;
  int extra = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? (lead < 0xF0 ? 2 : -1) : lead >= 0xC2 ? 1 : -1;
  if (extra < 0) return kReplacement;
  char32_t c = lead & (0x3F >> extra);
  for (int k = 0; k < extra; ++k) {
    if (i >= length || (text[i] & 0xC0) != 0x80) return kReplacement;
    c = (c << 6) | (text[i++] & 0x3F);
  }
  static const char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
  if (c < kMinimum[extra] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) return kReplacement;
  return c;
}
}  // namespace

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
  if (length > 0x3FFFFFF0u) return nullptr;
  return allocBytes(text, length * static_cast<UINT>(sizeof(OLECHAR)));
}

BSTR SysAllocString(const OLECHAR* text) {
  if (!text) return nullptr;
  UINT length = 0;
  while (text[length]) ++length;
  return SysAllocStringLen(text, length);
}

BSTR SysAllocStringByteLen(const char* text, UINT bytes) { return allocBytes(text, bytes); }

void SysFreeString(BSTR text) {
  if (!text) return;
  --g_liveStrings;
  free(headerOf(text));
}

UINT SysStringByteLen(BSTR text) { return text ? *headerOf(text) : 0; }

UINT SysStringLen(BSTR text) { return SysStringByteLen(text) / static_cast<UINT>(sizeof(OLECHAR)); }

long KOleLiveStrings() { return g_liveStrings; }

BSTR KAllocSysString(const KString& text) {
  std::u16string wide;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.GetString());
  size_t length = static_cast<size_t>(text.GetLength());
  wide.reserve(length);
  for (size_t i = 0; i < length;) putUtf16(wide, nextUtf8(bytes, length, i));
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

KString KStringFromBSTR(BSTR text) {
  std::string out;
  UINT length = SysStringLen(text);
  out.reserve(length);
  for (UINT i = 0; i < length; ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (c >= 0xD800 && c < 0xE000) {
      c = kReplacement;
    }
    putUtf8(out, c);
  }
  return KString(std::move(out));
}
