// KRegModel and KRegFile: the registry store as an in-memory model of keys and
// values, and its text form, the REGEDIT4 ".reg" file that a person can read,
// edit, import and export.
//
// The model holds keys by full path ("HKEY_CURRENT_USER\Software\Firm"), in
// the order they were first added; every ancestor of a key is itself a key and
// comes before it. Each key holds its values in the order they were first set.
// Key paths and value names compare case-insensitively (ASCII letters only) and
// keep the letter case they were first given. The default value of a key has
// the empty name. Value data are raw bytes exactly as the caller stored them;
// a string value normally carries its terminating zero byte.
//
// Limits (checked by the parser, and by the registry before it stores):
// a key name is at most 255 bytes, a path at most 512 levels and 4096 bytes,
// a value name at most 16383 bytes, value data at most 1 MiB.
#pragma once
#include "platform/KString.h"

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

enum : size_t {
  KREG_MAX_KEY_NAME = 255,
  KREG_MAX_DEPTH = 512,
  KREG_MAX_PATH = 4096,
  KREG_MAX_VALUE_NAME = 16383,
  KREG_MAX_DATA = 1u << 20
};

class KRegModel {
 public:
  struct Value {
    std::string name;
    DWORD type = 0;
    std::string data;
  };

  struct Key {
    std::string path;
    std::vector<Value> values;
    // lower-cased name -> index into values
    std::unordered_map<std::string, size_t> index;

    Value* findValue(std::string_view name);
    const Value* findValue(std::string_view name) const;
    // Adds or replaces; a replaced value keeps its place and its name's case.
    void setValue(std::string_view name, DWORD type, std::string data);
    // False when there was no such value.
    bool removeValue(std::string_view name);
  };

  KRegModel() = default;
  KRegModel(const KRegModel& other) { *this = other; }
  KRegModel& operator=(const KRegModel& other);
  KRegModel(KRegModel&&) = default;
  KRegModel& operator=(KRegModel&&) = default;

  Key* findKey(std::string_view path);
  const Key* findKey(std::string_view path) const;
  // Finds or creates the key and any missing ancestors. The path must already
  // satisfy checkKeyPath.
  Key& addKey(std::string_view path);
  // True when some other key lies below `path`.
  bool hasSubkeys(std::string_view path) const;
  // Direct subkeys' names (last path component), in model order.
  std::vector<std::string> subkeyNames(std::string_view path) const;
  // Removes the key (not its subkeys); false when absent.
  bool removeKey(std::string_view path);

  const std::vector<std::unique_ptr<Key>>& keys() const { return m_keys; }
  bool empty() const { return m_keys.empty(); }

  // Same keys in the same order with the same names (exact case), types and data.
  bool sameAs(const KRegModel& other) const;

  // Empty string when `path` is an acceptable key path; else the reason.
  static const char* checkKeyPath(std::string_view path);
  static std::string lower(std::string_view text);

 private:
  void reindex();

  std::vector<std::unique_ptr<Key>> m_keys;
  std::unordered_map<std::string, size_t> m_index;  // lower-cased path -> index
};

class KRegFile {
 public:
  // Reads REGEDIT4 text into `model` (replacing its content). `root`, when
  // given, is the only root every key must lie under. Returns true when the
  // text fails to parse; `error` is then "line N: reason" and `model` is left
  // empty. An empty or blank text is an empty store.
  static bool parse(std::string_view text, KRegModel& model, KString& error,
                    const char* root = nullptr);

  // Writes the model as REGEDIT4 text that parse reads back to the same model.
  static KString write(const KRegModel& model);
};
