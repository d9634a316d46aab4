#include "host/KPythonOptionsScript.h"

#include "host/KModelOptionsFile.h"
#include "model/options/KOptionsScript.h"

#include <cmath>
#include <cstdio>

void appendPythonQuoted(KString& out, const KString& text) {
  std::string s = "\"";
  for (unsigned char c : std::string(text.GetString(), static_cast<size_t>(text.GetLength()))) {
    if (c == '\\' || c == '"') {
      s += '\\';
      s += static_cast<char>(c);
    } else if (c == '\n') {
      s += "\\n";
    } else if (c == '\t') {
      s += "\\t";
    } else if (c < 0x20 || c == 0x7F) {
      char escape[8];
      snprintf(escape, sizeof escape, "\\x%02x", c);
      s += escape;
    } else {
      s += static_cast<char>(c);
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
