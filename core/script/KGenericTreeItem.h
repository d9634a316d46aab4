// KGenericTreeItem: an item of a program's object tree as scripts and drags
// see it: a named object that can be handed to scripts and dragged within the
// program. It holds only its name; the programs derive their tree items from
// KScriptExportObjImpl<KGenericTreeItem> and add what they show.
#pragma once
#include "core/script/KDragAndDropSource.h"
#include "core/script/KScriptExportObjImpl.h"

class KGenericTreeItem : public KDragAndDropSource {
 public:
  KGenericTreeItem() = default;
  explicit KGenericTreeItem(const KString& name) : m_name(name) {}

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }

  const KString& getName() const { return m_name; }
  void setName(const KString& name) { m_name = name; }
  // The type name its drags carry.
  static const char* dragTypeName() { return "KGenericTreeItem"; }

 private:
  KString m_name;
};

extern template class KScriptExportObjImpl<KGenericTreeItem>;
