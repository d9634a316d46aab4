#include "storage/tables/KTVPArray.h"

#include <new>

#include "containers/memory/KSimpleArray.h"
#include "containers/trees/KTreeIteratorBase.h"
#include "storage/objectfile/KPersistance.h"
#include "platform/KExceptions.h"

namespace {
const char kObjectType[] = "KTVPArray";
const char kTokens[] = "tokens";
const char kValues[] = "values";
}  // namespace

KTVPArray::~KTVPArray() {
  // The root's own destructor empties without deleting the values.
  m_pairs.emptyTree(m_pairs, true, true);
}

long KTVPArray::dumpAllocatedMembers(_TREEITEM*, bool, KString&) const {
  long bytes = 0;
  KTreeIterator<KPtrTreeItem<KTokenValuePair>> it(m_pairs, KTreeIteratorBase::kDepthFirst);
  for (; !it.atEnd(); it.advance()) {
    const KTokenValuePair* pair = it.data();
    bytes += pair->getSizeOfThis() + pair->getToken().GetLength() + pair->getValue().GetLength();
  }
  return bytes;
}

bool KTVPArray::addPair(const KString& token, const KString& value) {
  return addWorker(token, value, true, false);
}

bool KTVPArray::setPair(const KString& token, const KString& value, bool replace) {
  return addWorker(token, value, true, replace);
}

bool KTVPArray::addWorker(const KString& token, const KString& value, bool addIfMissing, bool replace) {
  KTokenValuePair* found = const_cast<KTokenValuePair*>(find(token));
  if (!found) {
    if (!addIfMissing) return true;
    KTokenValuePair* pair = new (std::nothrow) KTokenValuePair(token, value);
    if (!pair) return true;
    bool added = false;
    m_pairs.add(*pair, &added);
    if (!added) {  // no tree item to be had
      delete pair;
      return true;
    }
    ++m_nChanges;
    return false;
  }
  if (!replace || kCompareNoCase(found->getToken().GetString(), token.GetString()) != 0) return true;
  found->set(token, value);
  ++m_nChanges;
  return false;
}

void KTVPArray::write(KPersistance& stream, KObject* context) const {
  (void)context;
  stream.beginObject(kObjectType, kObjectType);
  KSSimpleArray<KString> tokens;
  KSSimpleArray<KString> values;
  long visited = 0;
  KTreeIterator<KPtrTreeItem<KTokenValuePair>> it(m_pairs, KTreeIteratorBase::kDepthFirst);
  for (; !it.atEnd(); it.advance(), ++visited) {
    const KTokenValuePair* pair = it.data();
    tokens.setAtGrow(visited, pair->getToken(), 1);
    values.setAtGrow(visited, pair->getValue(), 1);
  }
  if (tokens.getCount() != visited || values.getCount() != visited)
    AfxThrowFileException(CFileException::genericException, -1, nullptr);
  stream.writeS(kTokens, visited, tokens.getData());
  stream.writeS(kValues, visited, values.getData());
  stream.endObject();
}

void KTVPArray::read(KPersistance& stream, KObject* context) {
  (void)context;
  stream.enterObject(kObjectType, kObjectType);
  KSSimpleArray<KString> tokens;
  long count = stream.readStrings(kTokens, tokens);
  if (stream.findAttribute('S', kValues) != count)
    AfxThrowFileException(CFileException::genericException, -1, nullptr);
  KSSimpleArray<KString> values;
  stream.readStrings(kValues, values);
  for (long i = count - 1; i >= 0; --i) addPair(tokens[i], values[i]);
  stream.leaveObject();
}
