// KWorkbenchEntry: the workbench's entry field without its window. A text is
// read as an entry field of a length reads it (KEntryConversion: numbers,
// expressions, feet and inches in a feet or inches unit set) in the
// application's current unit set, and shown back as such a field shows it.
//
// Length-unit names stand for one of that unit in the current set's length
// unit, so "1*ft + 2*in" is 0.3556 in metres and 1' 2" in feet; a unit name
// right after a number multiplies it ("1 ft + 2 in", "3mm"). A name the
// caller binds itself (setValue) wins over a unit name.
#pragma once
#include "numerics/expr/KExprValues.h"
#include "platform/KString.h"

#include <utility>
#include <vector>

class KConsistentUnits;

struct KWorkbenchResult {
  bool failed = true;
  double value = 0.0;  // in the current unit set
  KString text;        // the value as the field shows it, or the error message
  KString unit;        // the set's length unit ("m", "ft")
  // The same length in screen units, inches when the option "screenUnitsUS"
  // is on and millimetres otherwise (the unit the dialogs' unit labels name).
  KString screenText;
};

class KWorkbenchEntry {
 public:
  // `units`: the set the current application converts and splits lengths
  // by (the host's KHostApplication::units()).
  explicit KWorkbenchEntry(KConsistentUnits& units) : m_units(units) {}

  // Makes `setName` ("lbf,ft,lb,s,F") the current unit set; true (failed,
  // set unchanged) with the reason in `error`.
  bool setUnits(const KString& setName, KString& error);
  // The current set as "force,length,mass,time,temperature".
  KString unitsName() const;

  // Reads `text`; the field's previous value counts as unchanged text.
  KWorkbenchResult evaluate(const KString& text);
  void setValue(const KString& name, double value) { m_own.emplace_back(name, value); }

  // `text` with a "*" between each number and a length-unit name that
  // follows it (blanks between them dropped): "1 ft" gives "1*ft".
  static KString joinUnitNames(const KString& text);

 private:
  // The named values of one evaluation: the unit names, then the caller's.
  void bindNames(KExprValues& values) const;

  KConsistentUnits& m_units;
  double m_last = 0.0;
  std::vector<std::pair<KString, double>> m_own;
};
