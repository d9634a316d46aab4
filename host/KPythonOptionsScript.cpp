#include "host/KPythonOptionsScript.h"

#include "host/KModelOptionsFile.h"
#include "model/options/KOptionsScript.h"

#include <cmath>
#include <cstdio>

namespace {

// The length of the valid UTF-8 sequence at text[i] (2 to 4 bytes, as
// Python's strict decoder takes them: no overlong forms, no surrogates,
// nothing beyond U+10FFFF); 0 when there is none.
size_t utf8Sequence(const std::string& text, size_t i) {
  auto byte = [&text](size_t k) { return k < text.size() ? static_cast<unsigned char>(text[k]) : 0u; };
  auto tail = [&byte](size_t k) { return byte(k) >= 0x80 && byte(k) <= 0xBF; };
  const unsigned lead = byte(i), next = byte(i + 1);
  if (lead >= 0xC2 && lead <= 0xDF) return tail(i + 1) ? 2 : 0;
  if (lead >= 0xE0 && lead <= 0xEF) {
    const bool second = lead == 0xE0 ? next >= 0xA0 && next <= 0xBF : lead == 0xED ? next >= 0x80 && next <= 0x9F
                                                                                    : tail(i + 1);
    return second && tail(i + 2) ? 3 : 0;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    const bool second = lead == 0xF0 ? next >= 0x90 && next <= 0xBF : lead == 0xF4 ? next >= 0x80 && next <= 0x8F
                                                                                    : tail(i + 1);
    return second && tail(i + 2) && tail(i + 3) ? 4 : 0;
  }
  return 0;
}

}  // namespace

void appendPythonQuoted(KString& out, const KString& text) {
  const std::string& in = text.str();
  std::string s = "\"";
  char escape[8];
  for (size_t i = 0, n = 1; i < in.size(); i += n) {
    const unsigned char c = static_cast<unsigned char>(in[i]);
    n = c >= 0x80 ? utf8Sequence(in, i) : 1;
    if (c == '\\' || c == '"') {
      s += '\\';
      s += static_cast<char>(c);
    } else if (c == '\n') {
      s += "\\n";
    } else if (c == '\t') {
      s += "\\t";
    } else if (c < 0x20 || c == 0x7F) {
      snprintf(escape, sizeof escape, "\\x%02x", c);
      s += escape;
    } else if (n == 0) {
      // Not UTF-8: the lone surrogate that surrogateescape turns back into
      // this byte.
      snprintf(escape, sizeof escape, "\\udc%02x", c);
      s += escape;
      n = 1;
    } else if (c == 0xC2 && static_cast<unsigned char>(in[i + 1]) < 0xA0) {
      // A C1 control, written as its code point.
      snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned char>(in[i + 1]));
      s += escape;
    } else {
      s.append(in, i, n);
    }
  }
  s += '"';
  out += KString(s);
}

namespace {

KString pythonValue(long v) { KString s; s.Format("%ld", v); return s; }
KString pythonValue(bool v) { return KString(v ? "True" : "False"); }
KString pythonValue(const KString& v) { KString s; appendPythonQuoted(s, v); return s; }
KString pythonValue(double v) {
  if (std::isnan(v)) return KString("float(\"nan\")");
  if (std::isinf(v)) return KString(v > 0 ? "float(\"inf\")" : "float(\"-inf\")");
  KString s;
  s.Format("%.17G", v);
  // "-0" or "5" would be Python ints, which lose the sign of zero.
  if (s.Find('.') < 0 && s.Find('E') < 0) s += ".0";
  return s;
}

struct KPythonLines {
  KString text;
  const char* call;
};

template <class T>
void appendCalls(const KDatabaseOptions& store, const char* call, KString& text) {
  KPythonLines lines{text, call};
  store.forEach<T>(
      [](const KOption<T>& r, void* c) {
        auto* l = static_cast<KPythonLines*>(c);
        l->text += KString("options.") + l->call + "(";
        appendPythonQuoted(l->text, r.m_name);
        l->text += ", " + pythonValue(r.m_value) + ", " + pythonValue(r.m_visible) + ")\n";
      },
      &lines);
  text = lines.text;
}

}  // namespace

KString KPythonOptionsScript(const KDatabaseOptions& store, bool all) {
  // generateScript decides which options a replay needs; its commands,
  // replayed into a scratch store, give them with their values and flags.
  struct KReplay : KScriptRecorder {
    KModelOptions chosen{"quelmhost options"};
    void record(int, const KString& command) override { replayOptionCommand(command, chosen); }
  } replay;
  store.generateScript(replay, KString(), all);
  KString text;
  appendCalls<long>(replay.chosen, "setInteger", text);
  appendCalls<double>(replay.chosen, "setDouble", text);
  appendCalls<KString>(replay.chosen, "setString", text);
  appendCalls<bool>(replay.chosen, "setBoolean", text);
  return text;
}
