#include "model/options/KDatabaseOptions.h"

#include "containers/options/KOptionBase.h"
#include "containers/trees/KTreeIteratorBase.h"
#include "core/application/KApplicationAbstract.h"
#include "core/application/KFlagDefence.h"

namespace {
template <class T>
bool sameValue(const T& a, const T& b) {
  return a == b;
}
template <>
bool sameValue(const KString& a, const KString& b) {
  return a.Compare(b) == 0;
}
}  // namespace

KDatabaseOptions::KDatabaseOptions(const KString& registrySuffix) : m_suffix(registrySuffix) {}

KDatabaseOptions::~KDatabaseOptions() = default;

template <>
KDataTreeItemRoot<KOption<long>>& KDatabaseOptions::tree<long>() { return m_integers; }
template <>
KDataTreeItemRoot<KOption<double>>& KDatabaseOptions::tree<double>() { return m_reals; }
template <>
KDataTreeItemRoot<KOption<KString>>& KDatabaseOptions::tree<KString>() { return m_strings; }
template <>
KDataTreeItemRoot<KOption<bool>>& KDatabaseOptions::tree<bool>() { return m_booleans; }
template <class T>
const KDataTreeItemRoot<KOption<T>>& KDatabaseOptions::tree() const {
  return const_cast<KDatabaseOptions*>(this)->tree<T>();
}

template <class T>
const KOption<T>* KDatabaseOptions::find(const KString& name) const {
  const KDataTreeItemRoot<KOption<T>>& t = tree<T>();
  if (t.isLinkedList()) return nullptr;
  return t.find(static_cast<const void*>(name.GetString()));
}

template <class T>
KOption<T>* KDatabaseOptions::findMutable(const KString& name) {
  return const_cast<KOption<T>*>(find<T>(name));
}

template <class T>
bool KDatabaseOptions::setKeyId(const KString& name, long keyId) {
  KOption<T>* record = findMutable<T>(name);
  if (!record) return true;
  record->m_keyId = keyId;
  return false;
}

template <class T>
bool KDatabaseOptions::isModified(const KString& name) const {
  const KOption<T>* record = find<T>(name);
  return record && !sameValue(record->m_value, record->m_firstSaveValue);
}

template <class T>
void KDatabaseOptions::forEach(void (*visit)(const KOption<T>&, void*), void* context) const {
  const KDataTreeItemRoot<KOption<T>>& t = tree<T>();
  KTreeIterator<KDataTreeItem<KOption<T>>> it(t, t.isLinkedList() ? KTreeIteratorBase::kListOrder
                                                                   : KTreeIteratorBase::kInOrder);
  for (; !it.atEnd(); it.advance()) visit(*it.data(), context);
}

template <class T>
long KDatabaseOptions::getCount() const {
  return tree<T>().getCount();
}

template <class T>
void KDatabaseOptions::addRecord(const KOption<T>& record) {
  bool added = false;
  tree<T>().add(record, &added);
  if (added) ++m_counts[kOptionTypeIndex<T>];
  markOptionsChanged();
}

long KDatabaseOptions::getInteger(const KString& name, long fallback) const {
  const KOption<long>* r = find<long>(name);
  return r ? r->m_value : fallback;
}
KString KDatabaseOptions::getString(const KString& name, const KString& fallback) const {
  const KOption<KString>* r = find<KString>(name);
  return r ? r->m_value : fallback;
}
double KDatabaseOptions::getDouble(const KString& name, double fallback) const {
  const KOption<double>* r = find<double>(name);
  return r ? r->m_value : fallback;
}
bool KDatabaseOptions::getBoolean(const KString& name, bool fallback) const {
  const KOption<bool>* r = find<bool>(name);
  return r ? r->m_value : fallback;
}

const KDatabaseOptions* KDatabaseOptions::otherGlobalStore() const {
  KApplicationAbstract* app = KGetApplication();
  if (!app->HasGlobalOptions()) return nullptr;
  const KDatabaseOptions* global = app->GetGlobalOptions();
  return global == this ? nullptr : global;
}

template <class T>
bool KDatabaseOptions::setOption(const KString& name, const T& value, bool visible, bool stored, long keyId) {
  if (KOption<T>* record = findMutable<T>(name)) {
    bool changed = !sameValue(value, record->m_value);
    if (keyId != -1) record->m_keyId = keyId;
    record->m_stored = !visible && sameValue(value, record->m_firstSaveValue) ? false : stored;
    record->m_value = value;
    record->m_visible = visible;
    if (changed) markOptionsChanged();
    return changed;
  }
  KOption<T> record;
  record.m_name = name;
  record.m_value = record.m_defaultValue = record.m_firstSaveValue = value;
  if (const KDatabaseOptions* global = otherGlobalStore()) {
    if (const KOption<T>* shared = global->find<T>(name)) {
      record.m_firstSaveValue = shared->m_firstSaveValue;
      record.m_keyId = shared->m_keyId;
    }
  }
  if (keyId != -1) record.m_keyId = keyId;
  record.m_visible = visible;
  record.m_stored = stored;
  addRecord(record);
  return true;
}

bool KDatabaseOptions::setInteger(const KString& name, long value, bool visible, bool stored, long keyId) {
  return setOption<long>(name, value, visible, stored, keyId);
}
bool KDatabaseOptions::setDouble(const KString& name, double value, bool visible, bool stored, long keyId) {
  return setOption<double>(name, value, visible, stored, keyId);
}
bool KDatabaseOptions::setString(const KString& name, const KString& value, bool visible, bool stored,
                                 long keyId) {
  return setOption<KString>(name, value, visible, stored, keyId);
}
bool KDatabaseOptions::setBoolean(const KString& name, bool value, bool visible, bool stored, long keyId) {
  return setOption<bool>(name, value, visible, stored, keyId);
}

void KDatabaseOptions::emptyAll() {
  for (long& c : m_counts) c = 0;
  m_integers.emptyTree(m_integers, true, false);
  m_strings.emptyTree(m_strings, true, false);
  m_reals.emptyTree(m_reals, true, false);
  m_booleans.emptyTree(m_booleans, true, false);
}

void KDatabaseOptions::reset() {
  {
    KFlagDefence frozen(optionsFrozenFlag(), true);
    emptyAll();
    m_integers.convertToLinkedList(true);
    m_strings.convertToLinkedList(true);
    m_reals.convertToLinkedList(true);
    m_booleans.convertToLinkedList(true);
    addBuiltInOptions();
    m_integers.convertFromLinkedList(true);
    m_strings.convertFromLinkedList(true);
    m_reals.convertFromLinkedList(true);
    m_booleans.convertFromLinkedList(true);
    if (!skipsRegistryDefaults()) loadRegistryDefaults();
  }
  markOptionsChanged();
}

KDatabaseOptions* KDatabaseOptions::clone() const {
  auto* copy = new KDatabaseOptions(m_suffix);
  for (int i = 0; i < 4; ++i) copy->m_counts[i] = m_counts[i];
  copy->m_integers = m_integers;
  copy->m_strings = m_strings;
  copy->m_reals = m_reals;
  copy->m_booleans = m_booleans;
  copy->copyMapNames(*this);
  return copy;
}

void KDatabaseOptions::copyMapNames(const KDatabaseOptions& other) {
  for (int i = 0; i < kMapNameCount; ++i) m_mapNames[i] = other.m_mapNames[i];
}

void KDatabaseOptions::warn(const KString& text) { KGetApplication()->OutputLine(text); }

#define K_DATABASE_OPTIONS_TYPE(T)                                                            \
  template const KOption<T>* KDatabaseOptions::find<T>(const KString&) const;                  \
  template KOption<T>* KDatabaseOptions::findMutable<T>(const KString&);                       \
  template bool KDatabaseOptions::setKeyId<T>(const KString&, long);                           \
  template bool KDatabaseOptions::isModified<T>(const KString&) const;                         \
  template void KDatabaseOptions::forEach<T>(void (*)(const KOption<T>&, void*), void*) const; \
  template long KDatabaseOptions::getCount<T>() const;                                         \
  template void KDatabaseOptions::addRecord<T>(const KOption<T>&);
K_DATABASE_OPTIONS_TYPE(long)
K_DATABASE_OPTIONS_TYPE(double)
K_DATABASE_OPTIONS_TYPE(KString)
K_DATABASE_OPTIONS_TYPE(bool)
#undef K_DATABASE_OPTIONS_TYPE
