#include "host/KWorkbenchEntry.h"

#include "containers/options/KLibraryOptions.h"

#include "model/units/KConsistentUnits.h"
#include "model/units/KEntryConversion.h"
#include "storage/numbertext/KNumberText.h"
#include "storage/numbertext/KQuantityCodes.h"

#include <cctype>
#include <string>

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

bool isNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
}  // namespace

KString KWorkbenchEntry::joinUnitNames(const KString& text) {
  static const std::vector<KString> names = lengthUnitNames();
  const std::string in = text.str();
  std::string out;
  size_t i = 0;
  while (i < in.size()) {
    // A number: digits and points, then an exponent; a name that starts
    // with a digit is not one.
    const bool startsNumber = std::isdigit(static_cast<unsigned char>(in[i])) && (i == 0 || !isNameChar(in[i - 1]));
    if (!startsNumber) {
      out += in[i++];
      continue;
    }
    size_t end = i;
    while (end < in.size() && (std::isdigit(static_cast<unsigned char>(in[end])) || in[end] == '.')) ++end;
    if (end < in.size() && (in[end] == 'e' || in[end] == 'E')) {
      size_t exponent = end + 1;
      if (exponent < in.size() && (in[exponent] == '+' || in[exponent] == '-')) ++exponent;
      if (exponent < in.size() && std::isdigit(static_cast<unsigned char>(in[exponent]))) {
        end = exponent;
        while (end < in.size() && std::isdigit(static_cast<unsigned char>(in[end]))) ++end;
      }
    }
    out.append(in, i, end - i);
    size_t name = end;
    while (name < in.size() && in[name] == ' ') ++name;
    size_t nameEnd = name;
    while (nameEnd < in.size() && isNameChar(in[nameEnd])) ++nameEnd;
    const std::string word = in.substr(name, nameEnd - name);
    bool unit = false;
    for (const KString& n : names) unit |= !word.empty() && word == n.str();
    if (unit) {
      out += '*';
      out += word;
      end = nameEnd;
    }
    i = end;
  }
  return KString(out);
}

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
  result.failed =
      textToReal(joinUnitNames(text), value, result.text, &values, KQuantityCodes::kLength, kEntryDigits, false);
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
