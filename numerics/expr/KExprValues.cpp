#include "numerics/expr/KExprValues.h"

const KExprValue* KExprValues::lookup(const KString& name) const {
  if (getCount() == 0) return nullptr;
  if (m_caseSensitive) return find(static_cast<const void*>(name.GetString()));
  KString lower(name);
  lower.MakeLower();
  return find(static_cast<const void*>(lower.GetString()));
}

void KExprValues::addValue(const KString& name, double value, KExpr* expression) {
  KString key(name);
  if (!m_caseSensitive) key.MakeLower();
  add(KExprValue(key, value, expression));
}

const KExprValues& KExprValues::predefined() {
  static KExprValues values(true);
  static const bool filled = (values.addValue("PI", 3.141592653589793), true);
  (void)filled;
  return values;
}

template class KDataTreeItem<KExprValue>;
template class KTreeRootBase<KExprValue, KDataTreeItem<KExprValue>>;
template class KDataTreeItemRoot<KExprValue>;
