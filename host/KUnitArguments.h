// Argument readers shared by the commands that work in a unit set (eval,
// format) and set options for their run. Each reads one argument's text and
// answers true (failed) with the reason in `error`; none prints or exits,
// so that a command-line parser can call them as it likes.
//
//   --units SET        "force,length,mass,time,temperature" short names,
//                      e.g. "N,m,kg,s,C" or "lbf,ft,lb,s,F"
//   --quantity Q       dimensionless, length, time, pertime, timescale, rate,
//                      or a quantity code as a number
//   --timescale T      Seconds, Minutes, Hours, Days, Increments
//   --option N=V       any cached option of the library (see
//                      kLibraryCachedOptions), set in the application-wide
//                      store for the run; V is true/false for switches, a
//                      whole number or a real as the option's type asks
#pragma once
#include "host/KLibraryCachedOptions.h"
#include "platform/KString.h"

#include <vector>

class KConsistentUnits;
class KTimescaleUnits;
class KDatabaseOptions;

bool readUnitsArgument(const char* text, KConsistentUnits& units, KString& error);
bool readQuantityArgument(const char* text, long& code, KString& error);
bool readTimescaleArgument(const char* text, KTimescaleUnits& timescale, KString& error);
// Sets the option in `store` (invisible, not stored in any model).
bool applyOptionArgument(const char* text, KDatabaseOptions& store, KString& error);
// True when `name` (an --option text "NAME=VALUE") names `option`.
bool optionArgumentNames(const char* text, const char* option);

// The unit-set arguments of one command run, as given.
struct KUnitRunArguments {
  const char* units = nullptr;
  const char* quantity = nullptr;
  const char* timescale = nullptr;
  std::vector<const char*> options;
  bool any() const { return units || quantity || timescale; }
};
class KHostApplication;
// Puts the run's unit set, time scale and options into `app` and reads the
// quantity (dimensionless when none is given). True (failed) with `error`.
bool applyUnitRunArguments(const KUnitRunArguments& args, KHostApplication& app, long& quantityCode,
                           KString& error);
