// KTokenValuePair: one entry of a token-value dictionary, a value text and a
// token text. Two references point at the pair's own texts; comparisons and
// the persistence code read the texts through them, so a pair must not be
// copied bitwise (the copy operations re-seat the references).
//
// Ordering in trees: case-insensitive by token under the application's
// locale, b's token against a's (smallest token first in an in-order walk);
// the search key is the token as a `const KString*`.
//
// The pair trees are compiled once in the library: KTreeItem owns its pairs
// (emptying it with callDelete deletes them), KConstTreeItem does not.
#pragma once
#include "core/application/KObject.h"
#include "containers/trees/KDataTreeItemRoot.h"
#include "platform/KString.h"

class KTokenValuePair : public KObject {
 public:
  // Copies both texts in.
  KTokenValuePair(const KString& token, const KString& value)
      : m_value(value), m_token(token), m_pValue(&m_value), m_pToken(&m_token) {}
  KTokenValuePair(const KTokenValuePair& other)
      : KObject(other), m_value(other.m_value), m_token(other.m_token),
        m_pValue(&m_value), m_pToken(&m_token) {}
  KTokenValuePair& operator=(const KTokenValuePair& other) {
    m_value = other.m_value;
    m_token = other.m_token;
    return *this;
  }
  ~KTokenValuePair() override = default;

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }

  const KString& getToken() const { return *m_pToken; }
  const KString& getValue() const { return *m_pValue; }
  // Overwrites both texts.
  void set(const KString& token, const KString& value) {
    *m_pToken = token;
    *m_pValue = value;
  }

 private:
  KString m_value;
  KString m_token;
  KString* m_pValue;
  KString* m_pToken;
};

template <>
struct KTreeOrder<KTokenValuePair> {
  static int compare(const KTokenValuePair& a, const KTokenValuePair& b, long) {
    return kCompareNoCase(b.getToken().GetString(), a.getToken().GetString());
  }
  static int compareKey(const KTokenValuePair& stored, const void* key, long) {
    return kCompareNoCase(static_cast<const KString*>(key)->GetString(), stored.getToken().GetString());
  }
};

extern template class KPtrTreeItem<KTokenValuePair>;
extern template class KTreeRootBase<KTokenValuePair, KPtrTreeItem<KTokenValuePair>>;
extern template class KTreeItem<KTokenValuePair>;
extern template class KConstTreeItem<KTokenValuePair>;
