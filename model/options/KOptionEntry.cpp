#include "model/options/KOptionEntry.h"

#include "storage/numbertext/KNumberText.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

bool wholeLong(std::string_view s, long& out) {
  if (s.empty()) return false;
  const char* first = s.data();
  if (*first == '+') ++first;  // strtol's reading, which earlier files relied on
  auto r = std::from_chars(first, s.data() + s.size(), out);
  return r.ec == std::errc() && r.ptr == s.data() + s.size() && first != s.data() + s.size();
}

// Splits "{value}{default}" of string entries: each field is a quoted text;
// the separator is `"}{"`.
bool splitQuotedPair(std::string_view inner, KOptionEntry& out) {
  // inner = "value"}{"default"  (the outer braces already removed)
  if (inner.size() < 5 || inner.front() != '"' || inner.back() != '"') return false;
  size_t chosen = std::string_view::npos;
  for (size_t at = inner.find("\"}{\""); at != std::string_view::npos; at = inner.find("\"}{\"", at + 1)) {
    if (chosen == std::string_view::npos) chosen = at;
    std::string_view value = inner.substr(1, at - 1);
    std::string_view def = inner.substr(at + 4, inner.size() - at - 5);
    if (value == def) {
      chosen = at;
      break;
    }
  }
  if (chosen == std::string_view::npos || chosen == 0) return false;
  out.m_value = KString(inner.substr(1, chosen - 1));
  out.m_default = KString(inner.substr(chosen + 4, inner.size() - chosen - 5));
  return true;
}

}  // namespace

bool parseOptionEntry(const char* text, size_t length, KOptionEntry& out, bool& nameRead) {
  nameRead = false;
  std::string_view s(text, length);
  if (s.size() < 5 || s.compare(0, 3, "opt") != 0 || s[4] != '{') return false;
  out.m_type = s[3];
  if (!strchr("IRSB", out.m_type) || out.m_type == 0) return false;
  // Name and keyId: the name ends at the first "}{" that a whole number and
  // "}{" follow, so that names holding braces read back too.
  size_t nameEnd = s.find("}{", 5), keyEnd = std::string_view::npos;
  long keyId = 0;
  for (; nameEnd != std::string_view::npos; nameEnd = s.find("}{", nameEnd + 1)) {
    keyEnd = s.find('}', nameEnd + 2);
    if (keyEnd != std::string_view::npos && keyEnd + 1 < s.size() && s[keyEnd + 1] == '{' &&
        wholeLong(s.substr(nameEnd + 2, keyEnd - nameEnd - 2), keyId))
      break;
  }
  if (nameEnd == std::string_view::npos) {
    // Not an entry; the text up to the first brace is still its name.
    size_t brace = s.find('}', 5);
    out.m_name = KString(s.substr(5, brace == std::string_view::npos ? s.size() - 5 : brace - 5));
    nameRead = !out.m_name.IsEmpty() && brace != std::string_view::npos;
    return false;
  }
  out.m_name = KString(s.substr(5, nameEnd - 5));
  nameRead = !out.m_name.IsEmpty();
  if (!nameRead || keyId < INT32_MIN || keyId > INT32_MAX) return false;
  out.m_keyId = keyId;
  // Visible flag at the end.
  std::string_view rest = s.substr(keyEnd + 1);
  if (rest.size() < 3 + 4 || rest.substr(rest.size() - 3, 1) != "{" || rest.back() != '}') return false;
  char visible = rest[rest.size() - 2];
  if (visible != '0' && visible != '1') return false;
  out.m_visible = visible == '1';
  rest = rest.substr(0, rest.size() - 3);
  // rest = {value}{default}
  if (rest.size() < 4 || rest.front() != '{' || rest.back() != '}') return false;
  std::string_view inner = rest.substr(1, rest.size() - 2);
  if (out.m_type == 'S') return splitQuotedPair(inner, out);
  size_t sep = inner.find("}{");
  if (sep == std::string_view::npos || inner.find("}{", sep + 1) != std::string_view::npos) return false;
  out.m_value = KString(inner.substr(0, sep));
  out.m_default = KString(inner.substr(sep + 2));
  return out.m_value.Find('{') < 0 && out.m_value.Find('}') < 0 && out.m_default.Find('{') < 0 &&
         out.m_default.Find('}') < 0;
}

bool optionValueFromText(const KString& text, long& out) { return wholeLong(text.str(), out); }

bool optionValueFromText(const KString& text, double& out) {
  if (text == "N/A") {
    out = KNumberText::kUndefined;
    return true;
  }
  const std::string& s = text.str();
  if (s.empty() || s.size() > 400) return false;
  // from_chars reads as the "C" locale does, whatever the process locale.
  const char* first = s.data();
  if (*first == '+') ++first;
  auto r = std::from_chars(first, s.data() + s.size(), out);
  if (r.ec == std::errc::result_out_of_range) return false;
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

bool optionValueFromText(const KString& text, KString& out) {
  out = text;
  return true;
}

bool optionValueFromText(const KString& text, bool& out) {
  out = text == "true";
  return true;
}

namespace {
void appendValue(KString& s, long v) {
  char text[24];
  s.str().append(text, static_cast<size_t>(std::to_chars(text, text + sizeof text, v).ptr - text));
}
void appendValue(KString& s, double v) {
  char text[KNumberText::kMaxChars];
  int n = numberToChars(v, text, 20, ".");
  if (n < 0) s += "N/A";
  else s.str().append(text, static_cast<size_t>(n));
}
void appendValue(KString& s, const KString& v) {
  s += '"';
  s += v;
  s += '"';
}
void appendValue(KString& s, bool v) { s += v ? "true" : "false"; }
}  // namespace

template <class T>
KString optionEntryText(const KOption<T>& record) {
  KString s;
  std::string& t = s.str();
  t.reserve(static_cast<size_t>(record.m_name.GetLength()) + 64);
  t += "opt";
  t += KOptionTraits<T>::letter;
  t += '{';
  t += record.m_name.str();
  t += "}{";
  char key[24];
  t.append(key, static_cast<size_t>(std::to_chars(key, key + sizeof key, record.m_keyId).ptr - key));
  t += "}{";
  appendValue(s, record.m_value);
  s += "}{";
  appendValue(s, record.m_defaultValue);
  s += record.m_visible ? "}{1}" : "}{0}";
  return s;
}

template KString optionEntryText<long>(const KOption<long>&);
template KString optionEntryText<double>(const KOption<double>&);
template KString optionEntryText<KString>(const KOption<KString>&);
template KString optionEntryText<bool>(const KOption<bool>&);
