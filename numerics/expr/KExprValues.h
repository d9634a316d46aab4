// KExprValues: a tree of named values for expressions. A case-insensitive set
// lower-cases every name before a look-up, so the names stored in it must be
// lower case (addValue does that). The predefined values (PI) form one
// process-wide set, consulted when a name is not found in the caller's values.
#pragma once
#include "numerics/expr/KExprValue.h"
#include "containers/trees/KDataTreeItemRoot.h"

class KExprValues : public KDataTreeItemRoot<KExprValue> {
 public:
  explicit KExprValues(bool caseSensitive = true) : m_caseSensitive(caseSensitive) {}

  bool isCaseSensitive() const { return m_caseSensitive; }
  // The record named `name` (lower-cased first in a case-insensitive set), or null.
  const KExprValue* lookup(const KString& name) const;
  // Adds or overwrites a value (the name lower-cased in a case-insensitive set).
  void addValue(const KString& name, double value, KExpr* expression = nullptr);

  // The predefined values: "PI" = 3.141592653589793.
  static const KExprValues& predefined();

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }

 private:
  bool m_caseSensitive;
};

// The value trees are compiled once in the library and exported by the program.
extern template class KDataTreeItem<KExprValue>;
extern template class KTreeRootBase<KExprValue, KDataTreeItem<KExprValue>>;
extern template class KDataTreeItemRoot<KExprValue>;
