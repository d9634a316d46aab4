#include "containers/trees/KTreeCompare.h"

template QUELM_TREES_API int cmpFunc<long>(const long&, const long&, long);
