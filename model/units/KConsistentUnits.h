// KConsistentUnits: the record that names a set of consistent units, one unit
// each for force, length, mass, time and temperature (energy follows from
// force and length). Every derived quantity of a model is in these units.
//
// Each unit carries a short name ("lbf"), a long name ("pound force") and the
// factor that turns one of it into SI units; temperature carries a scale and
// an offset instead (1.8 and 32 for Fahrenheit, 1 and 273.15 for Kelvin, 1 and
// 0 for Celsius). The long length name "feet" or "inches" switches entry and
// display of lengths to feet and inches.
//
// In object files the record is the object "KConsistentUnits" holding each
// field under its own member name: the thirteen texts as strings, then the
// seven numbers as reals, in the order of the declaration below. A missing
// field reads as the value it had before the read.
#pragma once
#include "core/application/KObject.h"
#include "platform/KString.h"

class KPersistance;

class KConsistentUnits : public KObject {
 public:
  // The SI set "N,m,kg,s,C".
  KConsistentUnits();
  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }

  // Builds the set from five short names (force, length, mass, time,
  // temperature), each one of the names knownUnitNames lists (compared
  // without regard to letter case). True (failed, *this unchanged) when a
  // name is unknown; `error` then names it.
  bool setFromShortNames(const char* force, const char* length, const char* mass, const char* time,
                         const char* temperature, KString* error = nullptr);
  // The same from a set name "force,length,mass,time,temperature", such as
  // "N,m,kg,s,C" or "lbf,ft,lb,s,F". True (failed) for anything else.
  bool setFromSetName(const KString& setName, KString* error = nullptr);
  // The short names the builders accept, one line per kind: "force: N kN ...".
  static KString knownUnitNames();

  // Object "KConsistentUnits" named `name`; the stream's exceptions pass.
  void write(KPersistance& stream, const char* name = "KConsistentUnits") const;
  void read(KPersistance& stream, const char* name = "KConsistentUnits");

  // True when each short name equals the set's, without regard to letter
  // case; the energy name is not compared when ignoreEnergy is set.
  bool matches(const char* energy, const char* force, const char* length, const char* mass,
               const char* time, const char* temperature, bool ignoreEnergy) const;

  bool isFahrenheit() const;
  bool isKelvin() const;
  bool isCelsius() const;
  // Temperature t of this set into Kelvin; true (t unchanged) when the set's
  // temperature is none of Kelvin, Celsius and Fahrenheit.
  bool toKelvin(double& t) const;

  // 0 none, 1 the length unit is feet, 2 inches (the entry modes of KExpr).
  int feetInchesMode() const;
  // Splits a length v of this set into whole feet and inches, both carrying
  // the sign of v. True (failed) when the length unit is neither feet nor
  // inches.
  bool splitFeetInches(double v, double& feet, double& inches) const;

  // Converts v from SI into this set's units of the quantity `code` (a time-
  // scale or rate marker counts as time or per time). True (v unchanged) for
  // an invalid code.
  bool convertFromSI(double& v, long code) const;

  // `  SET UNITS LFORCE="lbf"  LLENGT="ft"  LMASS="lb"  LTIME="s"  LTEMP="F"`
  KString commandLine() const;
  // "UNITS  lbf  ft  lb  s  F \n"; empty when any of the five names is empty.
  KString listingLine() const;

  KString m_name;
  KString m_energyShortStr;
  KString m_forceShortStr;
  KString m_lengthShortStr;
  KString m_massShortStr;
  KString m_timeShortStr;
  KString m_tempShortStr;
  KString m_energyLongStr;
  KString m_forceLongStr;
  KString m_lengthLongStr;
  KString m_massLongStr;
  KString m_timeLongStr;
  KString m_tempLongStr;
  double m_energyFactor = 1.0;
  double m_forceFactor = 1.0;
  double m_lengthFactor = 1.0;
  double m_massFactor = 1.0;
  double m_timeFactor = 1.0;
  double m_tempFactor = 1.0;
  double m_tempOffset = 0.0;
};
