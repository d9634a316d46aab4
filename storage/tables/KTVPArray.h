// KTVPArray: a dictionary from text tokens to text values; tokens compare
// without regard to letter case. The pairs live in a pointer tree that owns
// them: the destructor deletes every pair.
//
// In object files the dictionary is the object "KTVPArray" holding two
// string arrays of equal length, "tokens" and "values"; element i of each
// forms one pair, in depth-first order of the tree that wrote them. Reading
// adds the pairs from the last index down, so of two tokens that compare
// equal the one with the higher index is kept.
#pragma once
#include "core/application/KObject.h"
#include "storage/tables/KTokenValuePair.h"
#include "platform/KString.h"

class KPersistance;

class KTVPArray : public KObject {
 public:
  KTVPArray() = default;
  KTVPArray(const KTVPArray&) = delete;
  KTVPArray& operator=(const KTVPArray&) = delete;
  ~KTVPArray() override;

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }
  // Bytes the pairs hold (records and texts).
  long dumpAllocatedMembers(_TREEITEM* parent, bool list, KString& name) const override;

  // Reads the object "KTVPArray" from `stream` and adds its pairs to this
  // dictionary (existing tokens keep their values). `context` is the
  // caller's object. Throws CFileException(genericException, -1) when the
  // two arrays differ in length, and whatever the stream throws.
  virtual void read(KPersistance& stream, KObject* context);
  // Writes the object "KTVPArray" with its "tokens" and "values" arrays.
  // Throws CFileException(genericException, -1) when the pairs could not be
  // collected, and whatever the stream throws.
  virtual void write(KPersistance& stream, KObject* context) const;

  // Adds (token, value) unless a pair with an equal token exists. Answers
  // true when nothing was changed (the token existed, or no memory).
  bool addPair(const KString& token, const KString& value);
  // As addPair; when an equal token exists and `replace` is set, that pair
  // takes the given token text and value text (and the call answers false).
  bool setPair(const KString& token, const KString& value, bool replace);
  // The pair whose token equals `token`, or null.
  const KTokenValuePair* find(const KString& token) const {
    return m_pairs.find(static_cast<const void*>(&token));
  }
  long getCount() const { return m_pairs.getCount(); }
  const KTreeItem<KTokenValuePair>& getPairs() const { return m_pairs; }
  // Number of changes made through addPair and setPair since construction.
  long getChangeCount() const { return m_nChanges; }

 private:
  bool addWorker(const KString& token, const KString& value, bool addIfMissing, bool replace);

  long m_nChanges = 0;
  KTreeItem<KTokenValuePair> m_pairs;
};
