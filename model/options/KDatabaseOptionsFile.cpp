// The options store in model files.
//
//   OBJECT "KDatabaseOptions","KDatabaseOptions"
//     S "values"  one entry per stored record (see KOptionEntry.h), types in
//                 the order integer, real, string, boolean, each in tree order
//     S "types"   the 32 map names (not read back)
//   END
//
// Files of stream versions before 6 carry parallel arrays instead:
//
//   S "KeyID"    option names            I "DbType"   one per name
//   B "Visible"  one per name            S "MapName"  exactly 32 map names
//   I "Integer", R "Double", S "String", B "Boolean"       values by type
//   I "IntegerFirstSave", R "DoubleFirstSave", ...         first-save values
//
// The value arrays are consumed in the order integer, real, string, boolean,
// each value taking the next name and visible flag. Names, types and flags of
// different lengths, a map-name array of another length, or more values than
// names are format errors.
#include "model/options/KDatabaseOptions.h"

#include "containers/memory/KSimpleArray.h"
#include "containers/options/KOptionBase.h"
#include "model/options/KOptionEntry.h"
#include "platform/KExceptions.h"
#include "storage/objectfile/KImplPersistance.h"
#include "storage/objectfile/KPersistance.h"

namespace {
const char kObject[] = "KDatabaseOptions";
const char kUnreadableAll[] = "Unable to load options and settings. Default options and settings will be used instead";

template <class T>
void appendEntries(const KDatabaseOptions& store, KSSimpleArray<KString>& values, long& n) {
  struct Context {
    KSSimpleArray<KString>* values;
    long* n;
  } context{&values, &n};
  store.forEach<T>(
      [](const KOption<T>& record, void* c) {
        auto* ctx = static_cast<Context*>(c);
        if (record.m_stored) (*ctx->values)[(*ctx->n)++] = optionEntryText(record);
      },
      &context);
}

[[noreturn]] void formatError() { AfxThrowFileException(CFileException::genericException, -1, nullptr); }
}  // namespace

void KDatabaseOptions::write(KPersistance& stream, KObject* context) const {
  (void)context;
  // Room for every record first: the stored ones are fewer.
  const long most = getCount<long>() + getCount<double>() + getCount<KString>() + getCount<bool>();
  KSSimpleArray<KString> values;
  values.setSize(most);
  if (values.getCount() != most) formatError();
  long n = 0;
  appendEntries<long>(*this, values, n);
  appendEntries<double>(*this, values, n);
  appendEntries<KString>(*this, values, n);
  appendEntries<bool>(*this, values, n);
  stream.beginObject(kObject, kObject);
  stream.writeS("values", n, values.getData());
  stream.writeS("types", kMapNameCount, m_mapNames);
  stream.endObject();
}

// Applies what a model file says about one record.
class KDatabaseOptionsReader {
 public:
  explicit KDatabaseOptionsReader(KDatabaseOptions& store) : m_store(store) {}

  template <class T>
  void apply(const KString& name, const T& value, const T& def, const T* firstSave, bool visible, long keyId) {
    KOption<T>* record = m_store.findMutable<T>(name);
    const KDatabaseOptions* global = m_store.otherGlobalStore();
    const KOption<T>* shared = global ? global->find<T>(name) : nullptr;
    if (!record) {
      KOption<T> added;
      added.m_name = name;
      added.m_keyId = keyId;
      added.m_value = value;
      added.m_defaultValue = def;
      added.m_firstSaveValue = shared ? shared->m_firstSaveValue : firstSave ? *firstSave : def;
      added.m_visible = visible;
      added.m_stored = true;
      m_store.unknownOption(added);
      return;
    }
    record->m_value = value;
    record->m_defaultValue = def;
    record->m_visible = visible;
    record->m_stored = true;
    if (keyId != -1) record->m_keyId = keyId;
    if (shared) record->m_firstSaveValue = shared->m_firstSaveValue;
    else if (firstSave) record->m_firstSaveValue = *firstSave;
  }

  template <class T>
  bool applyEntry(const KOptionEntry& e) {
    T value{}, def{};
    if (!optionValueFromText(e.m_value, value) || !optionValueFromText(e.m_default, def)) return false;
    apply<T>(e.m_name, value, def, nullptr, e.m_visible, e.m_keyId);
    return true;
  }

  // True when the read must be abandoned.
  bool readValues(KPersistance& stream) {
    KSSimpleArray<KString> values;
    long count = stream.readStrings("values", values);
    int failures = 0;
    for (long i = 0; i < count; ++i) {
      const KString& text = values[i];
      KOptionEntry e;
      bool nameRead = false;
      bool ok = parseOptionEntry(text.GetString(), static_cast<size_t>(text.GetLength()), e, nameRead);
      if (ok) {
        switch (e.m_type) {
          case 'I': ok = applyEntry<long>(e); break;
          case 'R': ok = applyEntry<double>(e); break;
          case 'S': ok = applyEntry<KString>(e); break;
          default: ok = applyEntry<bool>(e); break;
        }
      }
      if (ok) continue;
      if (++failures > KDatabaseOptions::kMaxUnreadable) return true;
      if (nameRead) {
        m_store.warn("An option named \"" + e.m_name +
                     "\" could not be read from the model file. The default value will be used instead");
      }
    }
    return false;
  }

  template <class T, class E>
  void consume(KPersistance& stream, const char* valuesName, const char* firstSaveName,
               long (KPersistance::*readArray)(const KPersistName&, KSimpleArray<E>&),
               const KSSimpleArray<KString>& names, const KSSimpleArray<bool>& visible, long& next) {
    KSSimpleArray<E> values, firstSaves;
    long n = (stream.*readArray)(valuesName, values);
    long nFirst = (stream.*readArray)(firstSaveName, firstSaves);
    for (long i = 0; i < n; ++i, ++next) {
      if (next >= names.getCount()) formatError();
      T value = static_cast<T>(values[i]);
      T firstSave = i < nFirst ? static_cast<T>(firstSaves[i]) : value;
      apply<T>(names[next], value, value, &firstSave, visible[next], -1);
    }
  }

  void readOldForm(KPersistance& stream) {
    KSSimpleArray<KString> names, mapNames;
    KSSimpleArray<int> types;
    KSSimpleArray<bool> visible;
    long nNames = stream.readStrings("KeyID", names);
    long nTypes = stream.readInts("DbType", types);
    long nVisible = stream.readBools("Visible", visible);
    long nMaps = stream.readStrings("MapName", mapNames);
    if (nNames != nTypes || nNames != nVisible || nMaps != KDatabaseOptions::kMapNameCount) formatError();
    long next = 0;
    consume<long, int>(stream, "Integer", "IntegerFirstSave", &KPersistance::readInts, names, visible, next);
    consume<double, double>(stream, "Double", "DoubleFirstSave", &KPersistance::readReals, names, visible, next);
    consume<KString, KString>(stream, "String", "StringFirstSave", &KPersistance::readStrings, names, visible,
                              next);
    consume<bool, bool>(stream, "Boolean", "BooleanFirstSave", &KPersistance::readBools, names, visible, next);
    for (int i = KDatabaseOptions::kMapNameCount - 1; i >= 0; --i) m_store.m_mapNames[i] = mapNames[i];
  }

 private:
  KDatabaseOptions& m_store;
};

bool KDatabaseOptions::read(KPersistance& stream, KObject* context) {
  (void)context;
  if (!stream.objectExists(kObject, kObject)) return false;
  auto* impl = dynamic_cast<KImplPersistance*>(&stream);
  const bool currentForm = !impl || impl->getVersion() >= 6;
  stream.enterObject(kObject, kObject);
  KDatabaseOptionsReader reader(*this);
  bool abandoned = false;
  try {
    if (currentForm) abandoned = reader.readValues(stream);
    else reader.readOldForm(stream);
  } catch (const CFileException&) {
    abandoned = true;
  }
  if (abandoned) {
    warn(kUnreadableAll);
    reset();
  }
  stream.leaveObject();
  markOptionsChanged();
  return abandoned;
}
