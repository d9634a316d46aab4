#include "model/options/KOptionsScript.h"

#include "model/options/KDatabaseOptions.h"

#include <charconv>
#include <cstring>
#include <vector>

void appendQuoted(KString& out, const KString& text) {
  out += '"';
  for (int i = 0; i < text.GetLength(); ++i) {
    if (text[i] == '"') out += '"';
    out += text[i];
  }
  out += '"';
}

namespace {
const char* boolText(bool b) { return b ? "true" : "false"; }

struct Emitter {
  KScriptRecorder* recorder;
  const KString* prefix;
  bool all;
  const KDatabaseOptions* store;
};

KString commandStart(const char* word, const Emitter& e, const KString& name) {
  KString s(word);
  if (!e.prefix->IsEmpty()) {
    s += ' ';
    appendQuoted(s, *e.prefix);
  }
  s += ' ';
  appendQuoted(s, name);
  s += ' ';
  return s;
}

template <class T>
bool wanted(const KOption<T>& r, const Emitter& e) {
  return e.all || r.m_visible || e.store->isModified<T>(r.m_name);
}

void emitInteger(const KOption<long>& r, void* c) {
  auto& e = *static_cast<Emitter*>(c);
  if (!wanted(r, e) || compareOptionNames(r.m_name, "currentComponentIndex") == 0) return;
  KString s = commandStart("setInteger", e, r.m_name);
  s.AppendFormat("%ld %s", r.m_value, boolText(r.m_visible));
  e.recorder->record(kScriptCommandKind, s);
}
void emitDouble(const KOption<double>& r, void* c) {
  auto& e = *static_cast<Emitter*>(c);
  if (!wanted(r, e)) return;
  KString s = commandStart("setDouble", e, r.m_name);
  s.AppendFormat("%.17G %s", r.m_value, boolText(r.m_visible));
  e.recorder->record(kScriptCommandKind, s);
}
void emitString(const KOption<KString>& r, void* c) {
  auto& e = *static_cast<Emitter*>(c);
  if (!wanted(r, e)) return;
  KString s = commandStart("setString", e, r.m_name);
  appendQuoted(s, r.m_value);
  s.AppendFormat(" %s", boolText(r.m_visible));
  e.recorder->record(kScriptCommandKind, s);
}
void emitBoolean(const KOption<bool>& r, void* c) {
  auto& e = *static_cast<Emitter*>(c);
  if (!wanted(r, e)) return;
  KString s = commandStart("setBoolean", e, r.m_name);
  s.AppendFormat("%s %s", boolText(r.m_value), boolText(r.m_visible));
  e.recorder->record(kScriptCommandKind, s);
}

// Splits a command into its words; quoted words lose their quotes and their
// doubled inner quotes. False for an unclosed quote or a stray quote.
bool splitWords(const KString& text, std::vector<KString>& words, std::vector<bool>& quoted) {
  const char* s = text.GetString();
  const int n = text.GetLength();
  int i = 0;
  while (i < n) {
    if (s[i] == ' ') {
      ++i;
      continue;
    }
    KString word;
    if (s[i] == '"') {
      ++i;
      for (;;) {
        if (i >= n) return false;
        if (s[i] == '"') {
          if (i + 1 < n && s[i + 1] == '"') {
            word += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        word += s[i++];
      }
      if (i < n && s[i] != ' ') return false;
      quoted.push_back(true);
    } else {
      while (i < n && s[i] != ' ') {
        if (s[i] == '"') return false;
        word += s[i++];
      }
      quoted.push_back(false);
    }
    words.push_back(word);
  }
  return true;
}

bool readBool(const KString& w, bool& out) {
  if (w == "true") out = true;
  else if (w == "false") out = false;
  else return true;
  return false;
}

template <class T>
bool readNumber(const KString& w, T& out) {
  const char* first = w.GetString();
  const char* last = first + w.GetLength();
  auto r = std::from_chars(first, last, out);
  return w.IsEmpty() || r.ec != std::errc() || r.ptr != last;
}
}  // namespace

void KDatabaseOptions::generateScript(KScriptRecorder& recorder, const KString& prefix, bool all) const {
  Emitter e{&recorder, &prefix, all, this};
  forEach<long>(emitInteger, &e);
  forEach<double>(emitDouble, &e);
  forEach<KString>(emitString, &e);
  forEach<bool>(emitBoolean, &e);
}

bool replayOptionCommand(const KString& command, KDatabaseOptions& store, KString* prefix) {
  std::vector<KString> w;
  std::vector<bool> q;
  if (!splitWords(command, w, q) || (w.size() != 4 && w.size() != 5)) return true;
  size_t a = w.size() - 3;  // first argument after the optional prefix
  if (!q[a] || (a == 2 && !q[1])) return true;
  bool visible = false;
  if (readBool(w[a + 2], visible)) return true;
  const KString& word = w[0];
  const KString& name = w[a];
  const KString& value = w[a + 1];
  if (word == "setInteger") {
    long v = 0;
    if (q[a + 1] || readNumber(value, v)) return true;
    store.setInteger(name, v, visible);
  } else if (word == "setDouble") {
    double v = 0;
    if (q[a + 1] || readNumber(value, v)) return true;
    store.setDouble(name, v, visible);
  } else if (word == "setString") {
    if (!q[a + 1]) return true;
    store.setString(name, value, visible);
  } else if (word == "setBoolean") {
    bool v = false;
    if (q[a + 1] || readBool(value, v)) return true;
    store.setBoolean(name, v, visible);
  } else {
    return true;
  }
  if (prefix) *prefix = a == 2 ? w[1] : KString();
  return false;
}
