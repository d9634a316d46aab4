// The options of a store as a Python script that replays them through
// `quelmhost script FILE --model MODEL`, one call a line:
//
//   options.setInteger("count", 7, True)
//   options.setDouble("tol", 0.0010000000000000000, False)
//   options.setString("title", "say \"hi\"\t\\", True)
//   options.setBoolean("flag", False, True)
//
// The options are those generateScript selects (visible or modified ones;
// every one with `all`), in its order. Texts are Python string literals in
// which backslash, double quote and the control characters (C1 ones too) are
// escaped and valid UTF-8 stands as it is; a byte that is not part of valid
// UTF-8 is written as the lone surrogate "\udcXX" that the bindings turn
// back into byte XX (see KPyText), so any byte string comes back as it was.
// Reals carry 17 significant digits, and infinities and NaN are written
// float("inf"), float("-inf"), float("nan").
#pragma once
#include "platform/KString.h"

class KDatabaseOptions;

// Appends `text` as a double-quoted Python literal.
void appendPythonQuoted(KString& out, const KString& text);
// The replay lines, each ending in a line end.
KString KPythonOptionsScript(const KDatabaseOptions& store, bool all);
