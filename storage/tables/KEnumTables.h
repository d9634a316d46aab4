// The enumeration tables. Each getTripleArray overload sets `table` to the
// first row of its enumeration's table and `count` to its rows. A table is a
// function-local static built on the first call, loading its resource texts
// from the resource chain attached at that moment, and destroyed at exit.
#pragma once
#include "storage/tables/KEnumTrpl.h"
#include "storage/tables/KEnums.h"

#define QUELM_ENUM_TABLE(E)                                   \
  extern template class KEnumTrpl<E>;                         \
  void getTripleArray(KEnumTrpl<E>*& table, long& count);

QUELM_ENUM_TABLE(KEnum::InheritAttrType)
QUELM_ENUM_TABLE(KEnum::LinesLabelAxis)
QUELM_ENUM_TABLE(KEnum::SurfacesLabelAxis)
QUELM_ENUM_TABLE(KSharedEnums::KSharedEnum::LoadcaseType)
QUELM_ENUM_TABLE(KEnum::LocalCoordsSubType)
QUELM_ENUM_TABLE(MiscEnums)
QUELM_ENUM_TABLE(KEnum::ModelObjects)
QUELM_ENUM_TABLE(KEnum::ModelSection)
QUELM_ENUM_TABLE(KEnum::ProjectionType)
QUELM_ENUM_TABLE(KEnum::TreeItemType)
QUELM_ENUM_TABLE(KEnum::mergeOptions)
QUELM_ENUM_TABLE(KEnum::toolBarId)
QUELM_ENUM_TABLE(KSharedEnums::KSharedEnum::timescale)
QUELM_ENUM_TABLE(KEnum::ModellerType)
QUELM_ENUM_TABLE(KEnum::ProductOption)

#undef QUELM_ENUM_TABLE
