// KDatabaseOptions: the named, typed options of one model, and (as a second
// instance owned by the application object) the application-wide defaults.
//
// Records KOption<T> live in four trees, one per type (integer, string, real,
// boolean), ordered by name without regard to letter case, so a name is
// unique within a type while two types may share it. Every change calls
// markOptionsChanged() so that the cached option objects re-read.
//
// Record semantics: m_defaultValue is the value the record was created with;
// m_firstSaveValue is the reference for "modified" (taken from the
// application-wide store's record of the same name when there is one);
// m_visible marks options that the script replay always writes; m_stored
// marks the records that a model file carries.
//
// The store is a script export object, so that a script can be handed it.
//
// Persistence, registry defaults and the script replay are described with
// their operations below; their formats are drawn in KDatabaseOptionsFile.cpp
// and KOptionsScript.h.
#pragma once
#include "containers/trees/KOptionTrees.h"
#include "core/script/KScriptExportObjImpl.h"
#include "platform/KString.h"

class KPersistance;
class KScriptRecorder;

class KDatabaseOptions : public KScriptExportObjImpl<KScriptExportObj> {
 public:
  static constexpr int kMapNameCount = 32;
  // Unreadable entries of a model file tolerated before the read is abandoned.
  static constexpr int kMaxUnreadable = 20;

  explicit KDatabaseOptions(const KString& registrySuffix = KString());
  ~KDatabaseOptions() override;
  KDatabaseOptions(const KDatabaseOptions&) = delete;
  KDatabaseOptions& operator=(const KDatabaseOptions&) = delete;
  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }

  // --- Typed lookups: the record's value, or `fallback` when there is none.
  virtual long getInteger(const KString& name, long fallback) const;
  virtual KString getString(const KString& name, const KString& fallback) const;
  virtual double getDouble(const KString& name, double fallback) const;
  virtual bool getBoolean(const KString& name, bool fallback) const;

  // --- Setters. An existing record takes the value; a keyId of -1 leaves
  // its keyId. A visible setting stores the record as `stored` says; an
  // invisible one that brings the value back to the first-save value clears
  // `stored`. A missing record is added (first-save value and keyId from the
  // application-wide store's record of that name, when there is one; a
  // given keyId other than -1 wins). Answer whether the value changed (true
  // for an added record).
  bool setInteger(const KString& name, long value, bool visible, bool stored = true, long keyId = -1);
  bool setDouble(const KString& name, double value, bool visible, bool stored = true, long keyId = -1);
  bool setString(const KString& name, const KString& value, bool visible, bool stored = true, long keyId = -1);
  bool setBoolean(const KString& name, bool value, bool visible, bool stored = true, long keyId = -1);

  // --- Per-type record access (T = long, double, KString, bool).
  template <class T>
  const KOption<T>* find(const KString& name) const;
  // True when there is no such record.
  template <class T>
  bool setKeyId(const KString& name, long keyId);
  // Value differs from the first-save value; false when there is no record.
  template <class T>
  bool isModified(const KString& name) const;
  // The records of a type in tree order.
  template <class T>
  void forEach(void (*visit)(const KOption<T>&, void*), void* context) const;
  template <class T>
  long getCount() const;
  // Records added to the store per type (integer, real, string, boolean).
  long getAddedCount(int typeIndex) const { return m_counts[typeIndex]; }

  // --- Model files: the object "KDatabaseOptions". write throws what the
  // stream throws. read updates the records it finds (see
  // KDatabaseOptionsFile.cpp); unreadable entries are reported through
  // warn(); more than kMaxUnreadable of them, or a format error of the
  // stream, abandon the read and reset the store. A model without the
  // object leaves the store as it is. Answers true when the read was
  // abandoned.
  void write(KPersistance& stream, KObject* context) const;
  bool read(KPersistance& stream, KObject* context);

  // --- Registry defaults: every value under the current user's
  // "Software\<company>\<product>\<type word><suffix>" (type words "string", "int",
  // "boolean", "real") becomes the option of that name. Missing keys leave
  // the store unchanged.
  void loadRegistryDefaults();

  // --- Empties the store and rebuilds it: built-in options
  // (addBuiltInOptions), then the registry defaults unless
  // skipsRegistryDefaults(). Cached options are frozen meanwhile.
  void reset();

  // --- Script replay: one command of kind kScriptCommandKind per record
  // that is visible, modified, or (with `all`) any record; never the integer
  // "currentComponentIndex". `prefix`, when not empty, is the object name
  // that precedes the arguments.
  void generateScript(KScriptRecorder& recorder, const KString& prefix, bool all) const;

  // --- Copies.
  virtual KDatabaseOptions* clone() const;
  void copyMapNames(const KDatabaseOptions& other);
  const KString& getMapName(int i) const { return m_mapNames[i]; }
  void setMapName(int i, const KString& name) { m_mapNames[i] = name; }
  const KString& getSuffix() const { return m_suffix; }

  // Adds (or overwrites) a whole record as it is, counting it as added.
  template <class T>
  void addRecord(const KOption<T>& record);

 protected:
  // The owner's built-in options, added during reset (the trees are in
  // linked-list form then). The store has none.
  virtual void addBuiltInOptions() {}
  virtual bool skipsRegistryDefaults() const { return false; }
  // A record read from a model file that the store does not hold. The store
  // ignores it; an owner may add it.
  virtual void unknownOption(const KOption<long>&) {}
  virtual void unknownOption(const KOption<double>&) {}
  virtual void unknownOption(const KOption<KString>&) {}
  virtual void unknownOption(const KOption<bool>&) {}
  // One warning of the model reader; default: the application's output.
  virtual void warn(const KString& text);

 private:
  friend class KDatabaseOptionsReader;
  template <class T>
  KDataTreeItemRoot<KOption<T>>& tree();
  template <class T>
  const KDataTreeItemRoot<KOption<T>>& tree() const;
  template <class T>
  KOption<T>* findMutable(const KString& name);
  template <class T>
  bool setOption(const KString& name, const T& value, bool visible, bool stored, long keyId);
  // The application-wide store when it is another store than this one.
  const KDatabaseOptions* otherGlobalStore() const;
  void emptyAll();

  long m_counts[4] = {0, 0, 0, 0};
  KDataTreeItemRoot<KOption<long>> m_integers;
  KDataTreeItemRoot<KOption<KString>> m_strings;
  KDataTreeItemRoot<KOption<double>> m_reals;
  KDataTreeItemRoot<KOption<bool>> m_booleans;
  KString m_suffix;
  KString m_mapNames[kMapNameCount];
};

// Index of a type in the counters and in the write order (integer, real,
// string, boolean).
template <class T>
constexpr int kOptionTypeIndex = -1;
template <>
inline constexpr int kOptionTypeIndex<long> = 0;
template <>
inline constexpr int kOptionTypeIndex<double> = 1;
template <>
inline constexpr int kOptionTypeIndex<KString> = 2;
template <>
inline constexpr int kOptionTypeIndex<bool> = 3;
