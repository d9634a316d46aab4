// Object files for scripts, as plain Python values.
//
// quelm.readObjectFile(path, reals="list") reads a file of either form into
//   {"form": "text"|"binary", "level": n, "application": n, "mode": n,
//    "records": [...]}
// with one tuple per record in file order:
//   ("O", type, name)           an object begins
//   ("E", type, name)           it ends
//   (tag, name, [values])       an attribute: tag "I" "U" "L" (ints), "R"
//                               (floats), "B" (bools), "S" (strs), "C" (one
//                               str of the characters)
// For attributes of millions of reals the "R" values can come as one buffer
// instead of a list, which the reader fills straight from the file:
// reals="array" gives an array.array("d"); reals=MAKE, a callable such as
// numpy.empty, gives MAKE(count), which must be a writable C-contiguous
// buffer of exactly count doubles (ValueError otherwise).
// Numeric names read as "#id.index" when the file gives no text for them.
//
// quelm.writeObjectFile(path, records, form="text", level=1, application=0,
// mode=0) writes such records through the object file save: the old file is
// replaced only once the new one is complete, so a bad record (ValueError)
// leaves it as it was. Attributes belong inside an object: one outside any,
// or an end with no object open, is such a bad record.
#pragma once
#include <pybind11/pybind11.h>

void KBindObjectFiles(pybind11::module_& m);
