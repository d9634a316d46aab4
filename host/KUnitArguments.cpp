#include "host/KUnitArguments.h"

#include "containers/options/KOption.h"
#include "model/options/KDatabaseOptions.h"
#include "model/units/KConsistentUnits.h"
#include "model/units/KTimescaleUnits.h"
#include "host/KHostApplication.h"
#include "storage/numbertext/KQuantityCodes.h"

#include <charconv>
#include <cstring>


namespace {
struct QuantityName {
  const char* name;
  long code;
};
const QuantityName kQuantities[] = {
    {"dimensionless", KQuantityCodes::kDimensionless}, {"length", KQuantityCodes::kLength},
    {"time", KQuantityCodes::kTime},                   {"pertime", KQuantityCodes::kPerTime},
    {"timescale", KQuantityCodes::kTimescale},         {"rate", KQuantityCodes::kRate},
};

template <class T>
bool wholeNumber(const char* first, T& out) {
  const char* last = first + strlen(first);
  if (first != last && *first == '+') ++first;
  auto r = std::from_chars(first, last, out);
  return first != last && r.ec == std::errc() && r.ptr == last;
}
}  // namespace

bool readUnitsArgument(const char* text, KConsistentUnits& units, KString& error) {
  if (!units.setFromSetName(text, &error)) return false;
  error += "\nknown units:\n";
  error += KConsistentUnits::knownUnitNames();
  error.TrimRight();
  return true;
}

bool readQuantityArgument(const char* text, long& code, KString& error) {
  for (const QuantityName& q : kQuantities) {
    if (compareOptionNames(q.name, text) == 0) {
      code = q.code;
      return false;
    }
  }
  int exponents[KQuantityCodes::kExponentCount];
  long number = 0;
  if (wholeNumber(text, number) && !unpackDimensionCode(number, exponents)) {
    code = number;
    return false;
  }
  error.Format("unknown quantity \"%s\" (dimensionless, length, time, pertime, timescale, rate, or a code)", text);
  return true;
}

bool readTimescaleArgument(const char* text, KTimescaleUnits& timescale, KString& error) {
  if (!timescale.setFromText(text)) return false;
  error.Format("unknown time scale \"%s\" (Seconds, Minutes, Hours, Days, Increments)", text);
  return true;
}

bool optionArgumentNames(const char* text, const char* option) {
  const char* eq = strchr(text, '=');
  KString name = eq ? KString(std::string(text, static_cast<size_t>(eq - text))) : KString(text);
  name.Trim();
  return compareOptionNames(name, option) == 0;
}

bool applyOptionArgument(const char* text, KDatabaseOptions& store, KString& error) {
  const char* eq = strchr(text, '=');
  if (!eq || eq == text) {
    error.Format("--option needs NAME=VALUE, not \"%s\"", text);
    return true;
  }
  KString name(std::string(text, static_cast<size_t>(eq - text)));
  name.Trim();
  KString value(eq + 1);
  value.Trim();
  for (int i = 0; i < kLibraryCachedOptionCount; ++i) {
    const KCachedOptionInfo& o = kLibraryCachedOptions[i];
    if (compareOptionNames(o.name, name) != 0) continue;
    bool bad = false;
    if (o.type == 'B') {
      bool on = value == "true" || value == "1";
      bad = !on && value != "false" && value != "0";
      if (!bad) store.setBoolean(o.name, on, false, false);
    } else if (o.type == 'I') {
      long v = 0;
      bad = !wholeNumber(value.GetString(), v);
      if (!bad) store.setInteger(o.name, v, false, false);
    } else {
      double v = 0.0;
      bad = !wholeNumber(value.GetString(), v);
      if (!bad) store.setDouble(o.name, v, false, false);
    }
    if (bad) {
      error.Format("option %s takes %s, not \"%s\"", o.name,
                   o.type == 'B' ? "true or false" : o.type == 'I' ? "a whole number" : "a number",
                   value.GetString());
    }
    return bad;
  }
  error.Format("unknown option \"%s\"", name.GetString());
  return true;
}

bool applyUnitRunArguments(const KUnitRunArguments& args, KHostApplication& app, long& quantityCode,
                           KString& error) {
  quantityCode = KQuantityCodes::kDimensionless;
  if (args.units && readUnitsArgument(args.units, app.units(), error)) return true;
  if (args.quantity && readQuantityArgument(args.quantity, quantityCode, error)) return true;
  if (args.timescale && readTimescaleArgument(args.timescale, app.timescale(), error)) return true;
  for (const char* option : args.options)
    if (applyOptionArgument(option, *app.GetGlobalOptions(), error)) return true;
  return false;
}
