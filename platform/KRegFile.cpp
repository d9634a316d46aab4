#include "platform/KRegFile.h"

#include <algorithm>
#include <cstdio>

// ---------------------------------------------------------------- model

std::string KRegModel::lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

KRegModel::Value* KRegModel::Key::findValue(std::string_view name) {
  auto it = index.find(lower(name));
  return it == index.end() ? nullptr : &values[it->second];
}

const KRegModel::Value* KRegModel::Key::findValue(std::string_view name) const {
  auto it = index.find(lower(name));
  return it == index.end() ? nullptr : &values[it->second];
}

void KRegModel::Key::setValue(std::string_view name, DWORD type, std::string data) {
  std::string low = lower(name);
  auto it = index.find(low);
  if (it != index.end()) {
    values[it->second].type = type;
    values[it->second].data = std::move(data);
    return;
  }
  index.emplace(std::move(low), values.size());
  values.push_back(Value{std::string(name), type, std::move(data)});
}

bool KRegModel::Key::removeValue(std::string_view name) {
  auto it = index.find(lower(name));
  if (it == index.end()) return false;
  values.erase(values.begin() + static_cast<std::ptrdiff_t>(it->second));
  index.clear();
  for (size_t i = 0; i < values.size(); ++i) index.emplace(lower(values[i].name), i);
  return true;
}

KRegModel& KRegModel::operator=(const KRegModel& other) {
  if (this == &other) return *this;
  m_keys.clear();
  m_keys.reserve(other.m_keys.size());
  for (const auto& k : other.m_keys) m_keys.push_back(std::make_unique<Key>(*k));
  m_index = other.m_index;
  return *this;
}

KRegModel::Key* KRegModel::findKey(std::string_view path) {
  auto it = m_index.find(lower(path));
  return it == m_index.end() ? nullptr : m_keys[it->second].get();
}

const KRegModel::Key* KRegModel::findKey(std::string_view path) const {
  auto it = m_index.find(lower(path));
  return it == m_index.end() ? nullptr : m_keys[it->second].get();
}

KRegModel::Key& KRegModel::addKey(std::string_view path) {
  std::string low = lower(path);
  auto found = m_index.find(low);
  if (found != m_index.end()) return *m_keys[found->second];
  // Ancestors first, so that every key follows its parent; a new key's path
  // takes the case of its existing ancestors.
  std::string actual;
  size_t start = 0;
  for (size_t i = 0; i <= low.size(); ++i) {
    if (i < low.size() && low[i] != '\\') continue;
    std::string prefix = low.substr(0, i);
    auto it = m_index.find(prefix);
    if (it != m_index.end()) {
      actual = m_keys[it->second]->path;
    } else {
      if (start > 0) actual += '\\';
      actual.append(path.substr(start, i - start));
      auto key = std::make_unique<Key>();
      key->path = actual;
      m_index.emplace(std::move(prefix), m_keys.size());
      m_keys.push_back(std::move(key));
    }
    start = i + 1;
  }
  return *m_keys.back();
}

bool KRegModel::hasSubkeys(std::string_view path) const {
  std::string prefix = lower(path) + '\\';
  for (const auto& [low, i] : m_index)
    if (low.size() > prefix.size() && low.compare(0, prefix.size(), prefix) == 0) return true;
  return false;
}

std::vector<std::string> KRegModel::subkeyNames(std::string_view path) const {
  std::vector<std::string> names;
  std::string prefix = lower(path) + '\\';
  for (const auto& k : m_keys) {
    if (k->path.size() <= prefix.size()) continue;
    if (lower(std::string_view(k->path).substr(0, prefix.size())) != prefix) continue;
    std::string_view rest = std::string_view(k->path).substr(prefix.size());
    if (rest.find('\\') == std::string_view::npos) names.emplace_back(rest);
  }
  return names;
}

bool KRegModel::removeKey(std::string_view path) {
  auto it = m_index.find(lower(path));
  if (it == m_index.end() || hasSubkeys(path)) return false;
  m_keys.erase(m_keys.begin() + static_cast<std::ptrdiff_t>(it->second));
  reindex();
  return true;
}

void KRegModel::reindex() {
  m_index.clear();
  for (size_t i = 0; i < m_keys.size(); ++i) m_index.emplace(lower(m_keys[i]->path), i);
}

bool KRegModel::sameAs(const KRegModel& other) const {
  if (m_keys.size() != other.m_keys.size()) return false;
  for (size_t i = 0; i < m_keys.size(); ++i) {
    const Key& a = *m_keys[i];
    const Key& b = *other.m_keys[i];
    if (a.path != b.path || a.values.size() != b.values.size()) return false;
    for (size_t j = 0; j < a.values.size(); ++j) {
      const Value& x = a.values[j];
      const Value& y = b.values[j];
      if (x.name != y.name || x.type != y.type || x.data != y.data) return false;
    }
  }
  return true;
}

const char* KRegModel::checkKeyPath(std::string_view path) {
  if (path.size() > KREG_MAX_PATH) return "key path longer than 4096 bytes";
  size_t depth = 0;
  size_t start = 0;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i < path.size() && path[i] != '\\') {
      if (static_cast<unsigned char>(path[i]) < 0x20) return "key name holds a control character";
      continue;
    }
    if (i == start) return "empty key name in path";
    if (i - start > KREG_MAX_KEY_NAME) return "key name longer than 255 bytes";
    if (++depth > KREG_MAX_DEPTH) return "key path deeper than 512 levels";
    start = i + 1;
  }
  return "";
}

// ---------------------------------------------------------------- parser
//
// Grammar (one physical line each, unless a hex list continues):
//   file      = [BOM] header { line }             | blank text (empty store)
//   header    = "REGEDIT4" ws EOL
//   line      = ws EOL | ws ";" any EOL | keyline | valueline
//   keyline   = ws "[" path "]" ws EOL             path = name { "\" name }
//   valueline = ws ( "@" | quoted ) ws "=" ws data ws EOL
//   data      = quoted                             string, REG_SZ
//             | "dword:" hexdigit{1,8}             REG_DWORD
//             | "hex" [ "(" hexdigit{1,8} ")" ] ":" bytes
//   bytes     = [ byte { "," [ ws "\" EOL ws ] byte } [ "," ] ]   byte = hexdigit{1,2}
//   quoted    = '"' { char | "\\" | "\"" } '"'
//   ws        = { " " | TAB | CR }
// EOL is LF; a CR before it belongs to the trailing white space.

namespace {

struct Cursor {
  std::string_view text;
  size_t pos = 0;
  size_t line = 0;  // number of the line last taken

  bool atEnd() const { return pos >= text.size(); }
  std::string_view nextLine() {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view l = text.substr(pos, end - pos);
    pos = end < text.size() ? end + 1 : end;
    ++line;
    return l;
  }
};

bool isWs(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view trimLeft(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && isWs(s[i])) ++i;
  return s.substr(i);
}

std::string_view trimRight(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && isWs(s[n - 1])) --n;
  return s.substr(0, n);
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads 1..8 hex digits from the front of s; false when there are none or too many.
bool readHex32(std::string_view& s, DWORD& out) {
  size_t n = 0;
  out = 0;
  while (n < s.size() && hexDigit(s[n]) >= 0) {
    if (n == 8) return false;
    out = (out << 4) | static_cast<DWORD>(hexDigit(s[n]));
    ++n;
  }
  s.remove_prefix(n);
  return n > 0;
}

// quoted = '"' { char | "\\" | "\"" } '"'; s starts at the opening quote.
const char* readQuoted(std::string_view& s, std::string& out) {
  out.clear();
  for (size_t i = 1; i < s.size(); ++i) {
    char c = s[i];
    if (c == '"') { s.remove_prefix(i + 1); return nullptr; }
    if (c == '\\') {
      if (i + 1 >= s.size()) break;
      char e = s[++i];
      if (e != '\\' && e != '"') return "unknown escape in quoted text (only \\\\ and \\\" are allowed)";
      c = e;
    }
    out += c;
  }
  return "quoted text has no closing quote";
}

// bytes = [ byte { "," byte } [ "," ] ], continuation already joined.
const char* readBytes(std::string_view s, std::string& out) {
  s = trimLeft(trimRight(s));
  out.clear();
  if (s.empty()) return nullptr;
  while (true) {
    s = trimLeft(s);
    int hi = s.empty() ? -1 : hexDigit(s[0]);
    if (hi < 0) return "expected a hex byte";
    int value = hi;
    size_t used = 1;
    if (s.size() > 1 && hexDigit(s[1]) >= 0) { value = value * 16 + hexDigit(s[1]); used = 2; }
    if (out.size() >= KREG_MAX_DATA) return "value data longer than 1 MiB";
    out += static_cast<char>(value);
    s = trimLeft(s.substr(used));
    if (s.empty()) return nullptr;
    if (s[0] != ',') return "expected ',' between hex bytes";
    s = trimLeft(s.substr(1));
    if (s.empty()) return nullptr;  // one trailing comma is allowed
  }
}

class Parser {
 public:
  Parser(std::string_view text, KRegModel& model, const char* root)
      : m_cur{text}, m_model(model), m_root(root) {}

  const char* run() {
    if (m_cur.text.substr(0, 3) == "\xEF\xBB\xBF") m_cur.pos = 3;
    if (trimLeft(m_cur.text.substr(m_cur.pos)).empty()) return nullptr;
    if (trimRight(m_cur.nextLine()) != "REGEDIT4") return "first line must be REGEDIT4";
    while (!m_cur.atEnd()) {
      std::string_view line = trimLeft(trimRight(m_cur.nextLine()));
      if (line.empty() || line[0] == ';') continue;
      const char* err = line[0] == '[' ? keyLine(line) : valueLine(line);
      if (err) return err;
    }
    return nullptr;
  }

  size_t line() const { return m_cur.line; }

 private:
  const char* keyLine(std::string_view line) {
    if (line.back() != ']') return "key line must end with ']'";
    std::string_view path = line.substr(1, line.size() - 2);
    if (!path.empty() && path[0] == '-') return "key deletion entries are not allowed in a store";
    if (const char* why = KRegModel::checkKeyPath(path); *why) return why;
    if (m_root) {
      std::string_view first = path.substr(0, path.find('\\'));
      if (KRegModel::lower(first) != KRegModel::lower(m_root)) return "key lies outside this store's root";
    }
    m_key = &m_model.addKey(path);
    return nullptr;
  }

  const char* valueLine(std::string_view line) {
    if (!m_key) return "value before the first key line";
    std::string name;
    if (line[0] == '@') {
      line.remove_prefix(1);
    } else if (line[0] == '"') {
      if (const char* err = readQuoted(line, name)) return err;
      if (name.size() > KREG_MAX_VALUE_NAME) return "value name longer than 16383 bytes";
    } else {
      return "expected '[', '\"', '@' or ';' at the start of the line";
    }
    line = trimLeft(line);
    if (line.empty() || line[0] != '=') return "expected '=' after the value name";
    line = trimLeft(line.substr(1));
    if (line.empty()) return "missing value data after '='";

    std::string data;
    DWORD type = 0;
    if (line[0] == '"') {
      if (const char* err = readQuoted(line, data)) return err;
      if (!trimLeft(line).empty()) return "unexpected text after the closing quote";
      if (data.size() >= KREG_MAX_DATA) return "value data longer than 1 MiB";
      data += '\0';
      type = 1;
    } else if (line.substr(0, 6) == "dword:") {
      line.remove_prefix(6);
      DWORD v = 0;
      if (!readHex32(line, v) || !trimLeft(line).empty()) return "dword: needs 1 to 8 hex digits";
      data.resize(4);
      for (int i = 0; i < 4; ++i) data[static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
      type = 4;
    } else if (line.substr(0, 3) == "hex") {
      line.remove_prefix(3);
      type = 3;
      if (!line.empty() && line[0] == '(') {
        line.remove_prefix(1);
        if (!readHex32(line, type) || line.empty() || line[0] != ')') return "hex( needs 1 to 8 hex digits and ')'";
        line.remove_prefix(1);
      }
      if (line.empty() || line[0] != ':') return "expected ':' after hex";
      line.remove_prefix(1);
      std::string joined;
      if (const char* err = joinContinuation(line, joined)) return err;
      if (const char* err = readBytes(joined, data)) return err;
    } else if (line[0] == '-') {
      return "value deletion entries are not allowed in a store";
    } else {
      return "unknown value data form (expected \"text\", dword: or hex:)";
    }
    m_key->setValue(name, type, std::move(data));
    return nullptr;
  }

  // A hex list whose line ends in '\' goes on in the next line.
  const char* joinContinuation(std::string_view first, std::string& out) {
    std::string_view part = trimRight(first);
    while (!part.empty() && part.back() == '\\') {
      out.append(part.substr(0, part.size() - 1));
      if (m_cur.atEnd()) return "hex list continues past the end of the file";
      part = trimLeft(trimRight(m_cur.nextLine()));
    }
    out.append(part);
    return nullptr;
  }

  Cursor m_cur;
  KRegModel& m_model;
  const char* m_root;
  KRegModel::Key* m_key = nullptr;
};

// ---------------------------------------------------------------- writer

void appendQuoted(std::string& out, std::string_view s) {
  out += '"';
  for (char c : s) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
}

bool fitsQuoted(const std::string& data) {
  if (data.empty() || data.back() != '\0') return false;
  return data.find_first_of(std::string_view("\0\r\n", 3)) == data.size() - 1;
}

void appendHex(std::string& out, DWORD type, const std::string& data, size_t column) {
  char buf[16];
  if (type == 3) {
    out += "hex:";
  } else {
    snprintf(buf, sizeof buf, "hex(%x):", static_cast<unsigned>(type));
    out += buf;
  }
  column += out.size();
  for (size_t i = 0; i < data.size(); ++i) {
    snprintf(buf, sizeof buf, "%02x", static_cast<unsigned char>(data[i]));
    out += buf;
    column += 2;
    if (i + 1 < data.size()) {
      out += ',';
      ++column;
      if (column > 74) {
        out += "\\\n  ";
        column = 2;
      }
    }
  }
}

}  // namespace

bool KRegFile::parse(std::string_view text, KRegModel& model, KString& error, const char* root) {
  model = KRegModel();
  Parser parser(text, model, root);
  if (const char* err = parser.run()) {
    error.Format("line %zu: %s", parser.line(), err);
    model = KRegModel();
    return true;
  }
  error.Empty();
  return false;
}

KString KRegFile::write(const KRegModel& model) {
  std::string out = "REGEDIT4\n";
  for (const auto& key : model.keys()) {
    out += "\n[";
    out += key->path;
    out += "]\n";
    for (const auto& v : key->values) {
      size_t lineStart = out.size();
      if (v.name.empty()) out += '@';
      else appendQuoted(out, v.name);
      out += '=';
      if (v.type == 1 && fitsQuoted(v.data)) {
        appendQuoted(out, std::string_view(v.data).substr(0, v.data.size() - 1));
      } else if (v.type == 4 && v.data.size() == 4) {
        DWORD d = 0;
        for (int i = 3; i >= 0; --i) d = (d << 8) | static_cast<unsigned char>(v.data[static_cast<size_t>(i)]);
        char buf[24];
        snprintf(buf, sizeof buf, "dword:%08x", static_cast<unsigned>(d));
        out += buf;
      } else {
        std::string hex;
        appendHex(hex, v.type, v.data, out.size() - lineStart);
        out += hex;
      }
      out += '\n';
    }
  }
  return KString(std::move(out));
}
