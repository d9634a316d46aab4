#include "host/KWorkbenchEntry.h"

#include "containers/options/KLibraryOptions.h"

#include "model/units/KConsistentUnits.h"
#include "model/units/KEntryConversion.h"
#include "storage/numbertext/KNumberText.h"
#include "storage/numbertext/KQuantityCodes.h"

namespace {
// The short length names the unit sets know, from their listing line
// "length: m mm ...".
std::vector<KString> lengthUnitNames() {
  std::vector<KString> names;
  KString all = KConsistentUnits::knownUnitNames();
  int at = all.Find("length:");
  if (at < 0) return names;
  int end = all.Find('\n', at);
  KString line = all.Mid(at + 7, end < 0 ? -1 : end - at - 7);
  int pos = 0;
  for (KString name = line.Tokenize(" ", pos); pos >= 0; name = line.Tokenize(" ", pos)) names.push_back(name);
  return names;
}
}  // namespace

bool KWorkbenchEntry::setUnits(const KString& setName, KString& error) {
  KConsistentUnits units;
  if (units.setFromSetName(setName, &error)) return true;
  m_units = units;
  return false;
}

KString KWorkbenchEntry::unitsName() const {
  const KConsistentUnits& u = m_units;
  KString name;
  name.Format("%s,%s,%s,%s,%s", u.m_forceShortStr.GetString(), u.m_lengthShortStr.GetString(),
              u.m_massShortStr.GetString(), u.m_timeShortStr.GetString(), u.m_tempShortStr.GetString());
  return name;
}

void KWorkbenchEntry::bindNames(KExprValues& values) const {
  static const std::vector<KString> names = lengthUnitNames();
  const KConsistentUnits& current = m_units;
  for (const KString& name : names) {
    KConsistentUnits one;
    if (one.setFromShortNames("N", name.GetString(), "kg", "s", "C")) continue;
    values.addValue(name, one.m_lengthFactor / current.m_lengthFactor);
  }
  for (const auto& [name, value] : m_own) values.addValue(name, value);
}

KWorkbenchResult KWorkbenchEntry::evaluate(const KString& text) {
  KExprValues values(true);
  bindNames(values);
  KWorkbenchResult result;
  result.unit = m_units.m_lengthShortStr;
  double value = m_last;
  result.failed = textToReal(text, value, result.text, &values, KQuantityCodes::kLength, kEntryDigits, false);
  if (result.failed) return result;
  m_last = value;
  result.value = value;
  numberToText(value, result.text, 0, kEntryDigits, -1, 0.0, KQuantityCodes::kLength);
  if (value != KNumberText::kUndefined) {
    const double metres = value * m_units.m_lengthFactor;
    numberToText(metres / (screenUnitsUSOption().value() ? 0.0254 : 0.001), result.screenText, 0, 6, -1, 0.0, 0);
  } else {
    result.screenText = result.text;
  }
  return result;
}
