#include "host/KEvalCommand.h"

#include "host/CHostApp.h"
#include "host/KCommandLine.h"
#include "host/KHostApplication.h"
#include "host/KHostCommands.h"
#include "host/KUnitArguments.h"
#include "model/units/KEntryConversion.h"
#include "numerics/expr/KExpr.h"
#include "numerics/expr/KExprValues.h"
#include "storage/numbertext/KNumberText.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
// The unit-run options of eval and format, after each command's own lines.
#define KUNIT_RUN_HELP                                                                                        \
  "  --units SET      force,length,mass,time,temperature short names, e.g. N,m,kg,s,C or lbf,ft,lb,s,F\n"      \
  "  --quantity Q     dimensionless, length, time, pertime, timescale, rate, or a quantity code\n"              \
  "  --timescale T    Seconds, Minutes, Hours, Days or Increments\n"                                          \
  "  --option N=V     set a cached option of the library for the run (e.g. feetInchesFormat=true)\n"          \
  "  --               end of options\n"
const char kEvalUsage[] =
    "usage: quelmhost eval \"EXPR\" [--set NAME=VALUE]... [--feet | --inches]\n"
    "                      [--units SET] [--quantity Q] [--timescale T] [--option NAME=VALUE]...\n"
    KUNIT_RUN_HELP;
const char kFormatUsage[] =
    "usage: quelmhost format VALUE [--units SET] [--quantity Q] [--timescale T] [--digits N]\n"
    "                              [--option NAME=VALUE]...\n"
    KUNIT_RUN_HELP;
#undef KUNIT_RUN_HELP

// Parses and evaluates `text`; false with the message in `error` on failure.
bool evaluate(const KString& text, int lengthMode, const KExprValues& values, double& value, KString& error) {
  KExpr expr(false);
  try {
    expr.parse(text, false, lengthMode);
  } catch (const KExprException& e) {
    error = e.m_message;
    return false;
  }
  return !expr.evaluate(&values, &value, error);
}

// --units, --quantity, --timescale and the repeatable --option keep their
// texts; they are read once the application has started (the unit set and
// the option store live in it).
void addUnitRunOptions(KCommandLine& line, KUnitRunArguments& args) {
  auto keep = [](const char*& slot) {
    return [&slot](const char* value) {
      slot = value;
      return KString();
    };
  };
  line.option("--units", keep(args.units)).option("--quantity", keep(args.quantity));
  line.option("--timescale", keep(args.timescale));
  line.option(
      "--option",
      [&args](const char* value) {
        args.options.push_back(value);
        return KString();
      },
      true);
}

KHostApplication& hostApplication() { return static_cast<KHostApplication&>(CHostApp::applicationObject()); }

// Starts up and puts the unit arguments into the application; answers an
// exit status, or -1 to go on.
int prepareUnits(CHostApp& app, const KCommandLine& line, const KUnitRunArguments& unitArgs, long& code) {
  app.startUp();  // message texts come from the resource libraries
  KString error;
  if (applyUnitRunArguments(unitArgs, hostApplication(), code, error)) return line.usageError(error);
  return -1;
}
}  // namespace

int KRunEvalCommand(CHostApp& app, int argc, char** argv) {
  std::vector<const char*> texts;
  bool feet = false, inches = false;
  std::vector<std::pair<KString, KString>> settings;
  KUnitRunArguments unitArgs;
  KCommandLine line("eval", kEvalUsage);
  line.flag("--feet", &feet).flag("--inches", &inches);
  line.option(
      "--set",
      [&settings](const char* value) {
        KString setting(value);
        int eq = setting.Find('=');
        if (eq < 0) return KString("--set needs NAME=VALUE");
        KString name = setting.Left(eq);
        name.Trim();
        if (name.IsEmpty()) return KString("--set needs a name before '='");
        settings.emplace_back(name, setting.Mid(eq + 1));
        return KString();
      },
      true);
  addUnitRunOptions(line, unitArgs);
  line.positionals(&texts, 1, 1, "no expression given");
  if (int status = line.parse(argc, argv); status >= 0) return status;
  if (feet && inches) return line.usageError("give --feet or --inches, not both");
  const int lengthMode = feet ? kExprLengthFeet : inches ? kExprLengthInches : kExprLengthNone;
  if (lengthMode != kExprLengthNone && unitArgs.any())
    return line.usageError("--feet and --inches do not combine with --units, --quantity or --timescale");
  const char* text = texts[0];
  long code = 0;
  if (int status = prepareUnits(app, line, unitArgs, code); status >= 0) return status;

  KExprValues values(true);
  for (const auto& [name, valueText] : settings) {
    double v = 0.0;
    KString error;
    if (!evaluate(valueText, lengthMode, values, v, error)) {
      fprintf(stderr, "quelmhost eval: %s: %s\n", name.GetString(), error.GetString());
      return KHOST_EXIT_FAILED;
    }
    values.addValue(name, v);
  }
  double value = KExprUndefined;
  KString error;
  bool failed = unitArgs.any() ? textToReal(KString(text), value, error, &values, code, kEntryDigits, true)
                               : !evaluate(KString(text), lengthMode, values, value, error);
  if (failed) {
    fprintf(stderr, "quelmhost eval: %s\n", error.GetString());
    return KHOST_EXIT_FAILED;
  }
  KString out;
  numberToText(value, out, 0, 15, -1, 0.0, 0);
  printf("%s\n", out.GetString());
  return KHOST_EXIT_OK;
}

int KRunFormatCommand(CHostApp& app, int argc, char** argv) {
  std::vector<const char*> texts;
  int digits = kEntryDigits;
  KUnitRunArguments unitArgs;
  KCommandLine line("format", kFormatUsage);
  line.option("--digits", [&digits](const char* n) {
    auto r = std::from_chars(n, n + strlen(n), digits);
    if (!*n || r.ec != std::errc() || *r.ptr || digits < 1 || digits > KNumberText::kMaxDigits) {
      KString reason;
      reason.Format("--digits takes a number from 1 to %d", KNumberText::kMaxDigits);
      return reason;
    }
    return KString();
  });
  addUnitRunOptions(line, unitArgs);
  line.positionals(&texts, 1, 1, "no value given");
  if (int status = line.parse(argc, argv); status >= 0) return status;
  const char* text = texts[0];
  // Entry fields of a feet or inches unit set show lengths in feet and inches.
  KHostApplication& host = hostApplication();
  bool feetInchesGiven = false;
  for (const char* option : unitArgs.options) feetInchesGiven |= optionArgumentNames(option, "feetInchesFormat");
  long code = 0;
  if (int status = prepareUnits(app, line, unitArgs, code); status >= 0) return status;
  if (!feetInchesGiven && host.units().feetInchesMode() != 0)
    host.GetGlobalOptions()->setBoolean("feetInchesFormat", true, false, false);

  double value = KExprUndefined;
  KString error;
  if (textToReal(KString(text), value, error, nullptr, KQuantityCodes::kDimensionless, kEntryDigits, false)) {
    fprintf(stderr, "quelmhost format: %s\n", error.GetString());
    return KHOST_EXIT_FAILED;
  }
  KString out;
  numberToText(value, out, 0, digits, -1, 0.0, code);
  printf("%s\n", out.GetString());
  return KHOST_EXIT_OK;
}
