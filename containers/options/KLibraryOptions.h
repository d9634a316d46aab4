// Cached options read by library code that lives in higher layers (the
// expression trace, the dialogs, number formatting, the application shell,
// the numerical routines and geometric tolerances). Each accessor builds its
// option on first use and answers the same object afterwards; readers call
// value() at each use so that a change takes effect at the next read.
//
// The memory allocator's options belong to the allocator itself.
#pragma once
#include "containers/options/KOptionBase.h"

// Expression evaluator trace.
KBoolOption& exprDebugOption();             // "exprDebug", false

// Dialogs: unit labels ("in" when true, "mm" otherwise) and screen-unit
// conversion; whether exceptions during dialog initialisation are caught.
KBoolOption& screenUnitsUSOption();         // "screenUnitsUS", false
KBoolOption& catchOnInitDialogExceptionOption();  // "catchOnInitDialogException", false

// Number formatting.
KBoolOption& feetInchesFormatOption();      // "feetInchesFormat", false
KBoolOption& oldEMinus3FormatOption();      // "oldEMinus3Format", false

// File-name handling of the application shell.
KBoolOption& v147FilenamesOption();         // "V147filenames", false

// Numerical routines on two-dimensional and coordinate arrays.
KIntegerOption& maxSphByCsizeOption();      // "maxSphByCsize", 100
KDoubleOption& matrixDetTolOption();        // "matrixDetTol", 1e-12
KDoubleOption& singularMatrixTolOption();   // "singularMatrixTol", 1e-09
KDoubleOption& minPerpTolDistOption();      // "minPerpTolDist", 1e-08

// 2-D and 3-D matrix inversion.
KDoubleOption& matInvertTolOption();        // "matInvertTol", 1e-12

// Two-dimensional shape coordinates.
KDoubleOption& intersectTolOption();        // "intersectTol", 0.0001
KDoubleOption& point3TolOption();           // "point3Tol", 0.0001
