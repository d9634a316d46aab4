// KPersistName: the name of an object, an object type or an attribute in an
// object file. A name is either given by its text (m_nId 0) or numeric
// (m_nId != 0, with the instance number m_nIndex); a numeric name may carry
// an empty text, which a name dictionary then supplies for (m_nId, m_nIndex).
//
// Equality: two numeric names are equal when their m_nId and m_nIndex are;
// any other pair is compared by text, without regard to letter case (the
// application's comparison locale), ignoring the numbers.
#pragma once
#include "core/application/KObject.h"
#include "platform/KString.h"

// Gives the text of numeric names. Owned by whoever sets it on a
// persistence object; it must outlive that object.
class KPersistNameDictionary {
 public:
  virtual ~KPersistNameDictionary() = default;
  // True and the text when (id, index) is known.
  virtual bool getNameText(int id, int index, KString& text) const = 0;
};

class KPersistName : public KObject {
 public:
  KPersistName() = default;
  KPersistName(const char* text, int index = 0) : m_name(text), m_nIndex(index) {}
  KPersistName(const KString& text, int index = 0) : m_name(text), m_nIndex(index) {}
  KPersistName(int id, int index, const char* text = "") : m_name(text), m_nId(id), m_nIndex(index) {}

  bool isNumeric() const { return m_nId != 0; }
  // The text; for a numeric name with an empty text, the dictionary's text
  // (empty when there is no dictionary or it does not know the name).
  KString getText(const KPersistNameDictionary* dictionary) const;

  bool operator==(const KPersistName& other) const;
  bool operator!=(const KPersistName& other) const { return !(*this == other); }

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }

  KString m_name;
  int m_nId = 0;
  int m_nIndex = 0;
};
