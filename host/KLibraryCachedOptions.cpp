#include "host/KLibraryCachedOptions.h"

const KCachedOptionInfo kLibraryCachedOptions[] = {
    {"exprDebug", 'B', 0},
    {"screenUnitsUS", 'B', 0},
    {"feetInchesFormat", 'B', 0},
    {"oldEMinus3Format", 'B', 0},
    {"catchOnInitDialogException", 'B', 0},
    {"V147filenames", 'B', 0},
    {"slowFrugalMemoryMode", 'B', 0},
    {"removeEmptyBlocks", 'B', 1},
    {"debugAllocList", 'I', 0},
    {"maxBlockSize", 'I', 100000},
    {"maxSphByCsize", 'I', 100},
    {"matrixDetTol", 'R', 1e-12},
    {"matInvertTol", 'R', 1e-12},
    {"singularMatrixTol", 'R', 1e-09},
    {"minPerpTolDist", 'R', 1e-08},
    {"intersectTol", 'R', 0.0001},
    {"point3Tol", 'R', 0.0001},
};
const int kLibraryCachedOptionCount = static_cast<int>(sizeof(kLibraryCachedOptions) / sizeof(kLibraryCachedOptions[0]));
