#include "containers/options/KLibraryOptions.h"

KBoolOption& exprDebugOption() {
  static KBoolOption option("exprDebug", false);
  return option;
}

KBoolOption& screenUnitsUSOption() {
  static KBoolOption option("screenUnitsUS", false);
  return option;
}

KBoolOption& catchOnInitDialogExceptionOption() {
  static KBoolOption option("catchOnInitDialogException", false);
  return option;
}

KBoolOption& feetInchesFormatOption() {
  static KBoolOption option("feetInchesFormat", false);
  return option;
}

KBoolOption& oldEMinus3FormatOption() {
  static KBoolOption option("oldEMinus3Format", false);
  return option;
}

KBoolOption& v147FilenamesOption() {
  static KBoolOption option("V147filenames", false);
  return option;
}

KIntegerOption& maxSphByCsizeOption() {
  static KIntegerOption option("maxSphByCsize", 100);
  return option;
}

KDoubleOption& matrixDetTolOption() {
  static KDoubleOption option("matrixDetTol", 1e-12);
  return option;
}

KDoubleOption& singularMatrixTolOption() {
  static KDoubleOption option("singularMatrixTol", 1e-09);
  return option;
}

KDoubleOption& minPerpTolDistOption() {
  static KDoubleOption option("minPerpTolDist", 1e-08);
  return option;
}

KDoubleOption& matInvertTolOption() {
  static KDoubleOption option("matInvertTol", 1e-12);
  return option;
}

KDoubleOption& intersectTolOption() {
  static KDoubleOption option("intersectTol", 0.0001);
  return option;
}

KDoubleOption& point3TolOption() {
  static KDoubleOption option("point3Tol", 0.0001);
  return option;
}
