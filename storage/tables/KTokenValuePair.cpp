// The token-value pair trees, compiled once in the library and exported from
// the program.
#include "storage/tables/KTokenValuePair.h"

template class KPtrTreeItem<KTokenValuePair>;
template class KTreeRootBase<KTokenValuePair, KPtrTreeItem<KTokenValuePair>>;
template class KTreeItem<KTokenValuePair>;
template class KConstTreeItem<KTokenValuePair>;
