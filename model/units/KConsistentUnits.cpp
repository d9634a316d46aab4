#include "model/units/KConsistentUnits.h"

#include "containers/options/KOption.h"
#include "storage/numbertext/KQuantityCodes.h"
#include "storage/objectfile/KPersistance.h"

#include <cmath>

namespace {

// One unit the builders know: short name, long name, SI factor. For
// temperatures the factor is the scale and `offset` the offset.
struct UnitRow {
  const char* shortName;
  const char* longName;
  double factor;
  double offset;
};

const UnitRow kForceUnits[] = {
    {"N", "newtons", 1.0, 0}, {"kN", "kilonewtons", 1e3, 0}, {"MN", "meganewtons", 1e6, 0},
    {"lbf", "pounds force", 4.4482216152605, 0}, {"kip", "kips", 4448.2216152605, 0},
    {"kgf", "kilograms force", 9.80665, 0}, {"tonf", "tons force", 9964.01641818352, 0},
};
// "feet" and "inches" are the long names that select feet-and-inches entry.
const UnitRow kLengthUnits[] = {
    {"m", "metres", 1.0, 0}, {"mm", "millimetres", 1e-3, 0}, {"cm", "centimetres", 1e-2, 0},
    {"km", "kilometres", 1e3, 0}, {"um", "microns", 1e-6, 0}, {"in", "inches", 0.0254, 0},
    {"ft", "feet", 0.3048, 0}, {"yd", "yards", 0.9144, 0}, {"mi", "miles", 1609.344, 0},
    {"mil", "mils", 2.54e-5, 0},
};
const UnitRow kMassUnits[] = {
    {"kg", "kilograms", 1.0, 0}, {"g", "grams", 1e-3, 0}, {"t", "tonnes", 1e3, 0},
    {"lb", "pounds", 0.45359237, 0}, {"slug", "slugs", 14.593902937206364, 0},
    {"lbf.s2/in", "pound force seconds squared per inch", 175.12683524647636, 0},
};
const UnitRow kTimeUnits[] = {
    {"s", "seconds", 1.0, 0}, {"ms", "milliseconds", 1e-3, 0}, {"min", "minutes", 60.0, 0},
    {"h", "hours", 3600.0, 0},
};
const UnitRow kTemperatureUnits[] = {
    {"C", "Celsius", 1.0, 0.0}, {"K", "Kelvin", 1.0, 273.15}, {"F", "Fahrenheit", 1.8, 32.0},
};

template <size_t N>
const UnitRow* findUnit(const UnitRow (&rows)[N], const char* name) {
  for (const UnitRow& row : rows)
    if (compareOptionNames(row.shortName, name) == 0) return &row;
  return nullptr;
}

template <size_t N>
void listUnits(KString& text, const char* kind, const UnitRow (&rows)[N]) {
  text += kind;
  text += ":";
  for (const UnitRow& row : rows) {
    text += " ";
    text += row.shortName;
  }
  text += "\n";
}

bool near(double a, double b) { return std::fabs(a - b) < 0.0001; }

bool sameShortName(const char* given, const KString& own) { return compareOptionNames(given, own) == 0; }

// Field names of the stored record, in its order.
const char* const kTextKeys[] = {"m_name", "m_energyShortStr", "m_forceShortStr", "m_lengthShortStr",
                                 "m_massShortStr", "m_timeShortStr", "m_tempShortStr", "m_energyLongStr",
                                 "m_forceLongStr", "m_lengthLongStr", "m_massLongStr", "m_timeLongStr",
                                 "m_tempLongStr"};
const char* const kRealKeys[] = {"m_energyFactor", "m_forceFactor", "m_lengthFactor", "m_massFactor",
                                 "m_timeFactor", "m_tempFactor", "m_tempOffset"};

}  // namespace

KConsistentUnits::KConsistentUnits() { setFromShortNames("N", "m", "kg", "s", "C"); }

bool KConsistentUnits::setFromShortNames(const char* force, const char* length, const char* mass,
                                         const char* time, const char* temperature, KString* error) {
  const UnitRow* rows[5] = {findUnit(kForceUnits, force), findUnit(kLengthUnits, length),
                            findUnit(kMassUnits, mass), findUnit(kTimeUnits, time),
                            findUnit(kTemperatureUnits, temperature)};
  const char* given[5] = {force, length, mass, time, temperature};
  const char* kinds[5] = {"force", "length", "mass", "time", "temperature"};
  for (int i = 0; i < 5; ++i) {
    if (!rows[i]) {
      if (error) error->Format("unknown %s unit \"%s\"", kinds[i], given[i]);
      return true;
    }
  }
  m_forceShortStr = rows[0]->shortName;
  m_lengthShortStr = rows[1]->shortName;
  m_massShortStr = rows[2]->shortName;
  m_timeShortStr = rows[3]->shortName;
  m_tempShortStr = rows[4]->shortName;
  m_forceLongStr = rows[0]->longName;
  m_lengthLongStr = rows[1]->longName;
  m_massLongStr = rows[2]->longName;
  m_timeLongStr = rows[3]->longName;
  m_tempLongStr = rows[4]->longName;
  m_forceFactor = rows[0]->factor;
  m_lengthFactor = rows[1]->factor;
  m_massFactor = rows[2]->factor;
  m_timeFactor = rows[3]->factor;
  m_tempFactor = rows[4]->factor;
  m_tempOffset = rows[4]->offset;
  // Energy is force times length; the SI pair has its own name.
  bool joules = m_forceShortStr == "N" && m_lengthShortStr == "m";
  m_energyShortStr = joules ? KString("J") : m_forceShortStr + "." + m_lengthShortStr;
  m_energyLongStr = joules ? KString("joules") : m_forceLongStr + " " + m_lengthLongStr;
  m_energyFactor = m_forceFactor * m_lengthFactor;
  m_name.Format("%s,%s,%s,%s,%s", m_forceShortStr.GetString(), m_lengthShortStr.GetString(),
                m_massShortStr.GetString(), m_timeShortStr.GetString(), m_tempShortStr.GetString());
  return false;
}

bool KConsistentUnits::setFromSetName(const KString& setName, KString* error) {
  KString parts[5];
  int count = 0, start = 0;
  for (int i = 0; i <= setName.GetLength() && count <= 5; ++i) {
    if (i < setName.GetLength() && setName[i] != ',') continue;
    if (count < 5) {
      parts[count] = setName.Mid(start, i - start);
      parts[count].Trim();
    }
    ++count;
    start = i + 1;
  }
  if (count != 5) {
    if (error) error->Format("a unit set names five units (force,length,mass,time,temperature): \"%s\"",
                             setName.GetString());
    return true;
  }
  return setFromShortNames(parts[0], parts[1], parts[2], parts[3], parts[4], error);
}

KString KConsistentUnits::knownUnitNames() {
  KString text;
  listUnits(text, "force", kForceUnits);
  listUnits(text, "length", kLengthUnits);
  listUnits(text, "mass", kMassUnits);
  listUnits(text, "time", kTimeUnits);
  listUnits(text, "temperature", kTemperatureUnits);
  return text;
}

void KConsistentUnits::write(KPersistance& stream, const char* name) const {
  const KString* texts[] = {&m_name, &m_energyShortStr, &m_forceShortStr, &m_lengthShortStr, &m_massShortStr,
                            &m_timeShortStr, &m_tempShortStr, &m_energyLongStr, &m_forceLongStr,
                            &m_lengthLongStr, &m_massLongStr, &m_timeLongStr, &m_tempLongStr};
  const double reals[] = {m_energyFactor, m_forceFactor, m_lengthFactor, m_massFactor,
                          m_timeFactor, m_tempFactor, m_tempOffset};
  stream.beginObject("KConsistentUnits", name);
  for (int i = 0; i < 13; ++i) stream.writeString(kTextKeys[i], *texts[i]);
  for (int i = 0; i < 7; ++i) stream.writeReal(kRealKeys[i], reals[i]);
  stream.endObject();
}

void KConsistentUnits::read(KPersistance& stream, const char* name) {
  KString* texts[] = {&m_name, &m_energyShortStr, &m_forceShortStr, &m_lengthShortStr, &m_massShortStr,
                      &m_timeShortStr, &m_tempShortStr, &m_energyLongStr, &m_forceLongStr,
                      &m_lengthLongStr, &m_massLongStr, &m_timeLongStr, &m_tempLongStr};
  double* reals[] = {&m_energyFactor, &m_forceFactor, &m_lengthFactor, &m_massFactor,
                     &m_timeFactor, &m_tempFactor, &m_tempOffset};
  stream.enterObject("KConsistentUnits", name);
  for (int i = 0; i < 13; ++i) *texts[i] = stream.readString(kTextKeys[i], *texts[i]);
  for (int i = 0; i < 7; ++i)
    *reals[i] = stream.readReal(kRealKeys[i], *reals[i], -1.7976931348623157e308, 1.7976931348623157e308);
  stream.leaveObject();
}

bool KConsistentUnits::matches(const char* energy, const char* force, const char* length, const char* mass,
                               const char* time, const char* temperature, bool ignoreEnergy) const {
  if (!ignoreEnergy && !sameShortName(energy, m_energyShortStr)) return false;
  return sameShortName(force, m_forceShortStr) && sameShortName(length, m_lengthShortStr) &&
         sameShortName(mass, m_massShortStr) && sameShortName(time, m_timeShortStr) &&
         sameShortName(temperature, m_tempShortStr);
}

bool KConsistentUnits::isFahrenheit() const { return near(m_tempFactor, 1.8) && near(m_tempOffset, 32.0); }
bool KConsistentUnits::isKelvin() const { return near(m_tempFactor, 1.0) && near(m_tempOffset, 273.15); }
bool KConsistentUnits::isCelsius() const { return near(m_tempFactor, 1.0) && near(m_tempOffset, 0.0); }

bool KConsistentUnits::toKelvin(double& t) const {
  if (isKelvin()) return false;
  if (isCelsius()) {
    t += 273.15;
    return false;
  }
  if (isFahrenheit()) {
    t = (t - m_tempOffset) / m_tempFactor + 273.15;
    return false;
  }
  return true;
}

int KConsistentUnits::feetInchesMode() const {
  if (m_lengthLongStr == "feet") return 1;
  if (m_lengthLongStr == "inches") return 2;
  return 0;
}

bool KConsistentUnits::splitFeetInches(double v, double& feet, double& inches) const {
  switch (feetInchesMode()) {
    case 1:
      if (std::fabs(v) >= 1.0) {
        // fmod(v, trunc(v)) is the fraction of v beyond its whole feet.
        double fraction = std::fmod(v, std::trunc(v));
        feet = v - fraction;
        inches = fraction * 12.0;
        if (std::fabs(inches) < 0.0001) inches = 0.0;
      } else {
        feet = 0.0;
        inches = v * 12.0;
      }
      return false;
    case 2:
      inches = std::fmod(v, 12.0);
      feet = (v - inches) / 12.0;
      return false;
    default:
      return true;
  }
}

bool KConsistentUnits::convertFromSI(double& v, long code) const {
  int e[KQuantityCodes::kExponentCount];
  if (unpackDimensionCode(resolveTimescaleMarker(code), e)) return true;
  // A temperature interval of this set is tempFactor times the SI one.
  const double factors[5] = {m_forceFactor, m_lengthFactor, m_massFactor, m_timeFactor, 1.0 / m_tempFactor};
  double scale = 1.0;
  for (int i = 0; i < 5; ++i) scale *= std::pow(factors[i], e[i + 1]);
  v /= scale;
  return false;
}

KString KConsistentUnits::commandLine() const {
  KString line;
  line.Format("  SET UNITS LFORCE=\"%s\"  LLENGT=\"%s\"  LMASS=\"%s\"  LTIME=\"%s\"  LTEMP=\"%s\"",
              m_forceShortStr.GetString(), m_lengthShortStr.GetString(), m_massShortStr.GetString(),
              m_timeShortStr.GetString(), m_tempShortStr.GetString());
  return line;
}

KString KConsistentUnits::listingLine() const {
  KString line;
  if (m_forceShortStr.IsEmpty() || m_lengthShortStr.IsEmpty() || m_massShortStr.IsEmpty() ||
      m_timeShortStr.IsEmpty() || m_tempShortStr.IsEmpty())
    return line;
  line.Format("UNITS  %s  %s  %s  %s  %s \n", m_forceShortStr.GetString(), m_lengthShortStr.GetString(),
              m_massShortStr.GetString(), m_timeShortStr.GetString(), m_tempShortStr.GetString());
  return line;
}
