#include "storage/objectfile/FReadBack.h"

template class KPtrTreeItem<FReadBack>;
template class KTreeRootBase<FReadBack, KPtrTreeItem<FReadBack>>;
template class KTreeItem<FReadBack>;
