// quelmhost options MODEL list | get NAME | set NAME VALUE [--type T] | script [--all] [--commands]
//
// Works on the options object ("KDatabaseOptions" at the top level) of an
// object file of either form. `set` rewrites the file through the object
// file save (a temporary file renamed over the model once complete), keeping
// every other object and attribute, its form, level, application number and
// mode; a missing model is created as a text file holding the options alone.
#include "host/KOptionsCommand.h"

#include "host/CHostApp.h"
#include "host/KCommandLine.h"
#include "host/KHostCommands.h"
#include "host/KModelOptionsFile.h"
#include "host/KOptionTexts.h"
#include "host/KPythonOptionsScript.h"
#include "model/options/KDatabaseOptions.h"
#include "model/options/KOptionEntry.h"
#include "model/options/KOptionsScript.h"
#include "platform/KExceptions.h"
#include "platform/KFileSystem.h"
#include "storage/numbertext/KNumberText.h"
#include "storage/objectfile/KBinaryPersistance.h"
#include "storage/objectfile/KTextPersistance.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

const char kUsage[] =
    "usage: quelmhost options MODEL list\n"
    "       quelmhost options MODEL get NAME [--type int|real|string|bool]\n"
    "       quelmhost options MODEL set NAME VALUE [--type int|real|string|bool]\n"
    "       quelmhost options MODEL script [--all] [--commands]\n"
    "  list    one option a line: NAME = VALUE (type, visible|hidden, default|changed)\n"
    "  get     the value of one option\n"
    "  set     set (or add) an option and save the model; without --type an existing\n"
    "          option keeps its type and a new one is typed by its value\n"
    "  script  a Python script replaying the options (visible or modified ones; all\n"
    "          with --all), one call a line, for quelmhost script FILE --model MODEL;\n"
    "          --commands gives the options store's own replay commands instead\n"
    "          (--python, the default, is accepted too)\n"
    "  --      end of options\n";

const char* const kTypeWords[] = {"int", "real", "string", "bool"};

template <class T>
KString valueText(const T& v) { return KOptionValueText(v); }

template <class T>
void listType(const KDatabaseOptions& store, int type) {
  store.forEach<T>(
      [](const KOption<T>& r, void* c) {
        int t = *static_cast<int*>(c);
        bool isDefault = valueText(r.m_value) == valueText(r.m_defaultValue);
        printf("%s = %s (%s, %s, %s)\n", r.m_name.GetString(), valueText(r.m_value).GetString(), kTypeWords[t],
               r.m_visible ? "visible" : "hidden", isDefault ? "default" : "changed");
      },
      &type);
}

template <class T>
bool printValue(const KDatabaseOptions& store, const KString& name) {
  const KOption<T>* r = store.find<T>(name);
  if (r) printf("%s\n", valueText(r->m_value).GetString());
  return r != nullptr;
}

// The type index (0 int .. 3 bool) under which `name` exists, -1 if none.
int existingType(const KDatabaseOptions& store, const KString& name) {
  if (store.find<long>(name)) return 0;
  if (store.find<double>(name)) return 1;
  if (store.find<KString>(name)) return 2;
  if (store.find<bool>(name)) return 3;
  return -1;
}

// The type a new option's text suggests.
int typeOfText(const KString& text) {
  long l = 0;
  double d = 0;
  if (text == "true" || text == "false") return 3;
  if (optionValueFromText(text, l)) return 0;
  if (optionValueFromText(text, d)) return 1;
  return 2;
}

// Sets the option; true (failed) when the text is not a value of the type.
bool setOption(KDatabaseOptions& store, const KString& name, const KString& text, int type) {
  switch (type) {
    case 0: {
      long v = 0;
      if (!optionValueFromText(text, v)) return true;
      const KOption<long>* r = store.find<long>(name);
      store.setInteger(name, v, r ? r->m_visible : true, true);
      return false;
    }
    case 1: {
      double v = 0;
      if (!optionValueFromText(text, v)) return true;
      const KOption<double>* r = store.find<double>(name);
      store.setDouble(name, v, r ? r->m_visible : true, true);
      return false;
    }
    case 2: {
      const KOption<KString>* r = store.find<KString>(name);
      store.setString(name, text, r ? r->m_visible : true, true);
      return false;
    }
    default: {
      if (text != "true" && text != "false") return true;
      const KOption<bool>* r = store.find<bool>(name);
      store.setBoolean(name, text == "true", r ? r->m_visible : true, true);
      return false;
    }
  }
}

}  // namespace

int KRunOptionsCommand(CHostApp& app, int argc, char** argv) {
  enum : int { kList, kGet, kSet, kScript };
  std::vector<const char*> words;  // MODEL ACTION [NAME [VALUE]]
  int chosen = -1;
  int type = -1;
  bool all = false;
  KCommandLine line("options", kUsage);
  bool python = false;
  bool commands = false;
  line.flag("--all", &all);
  line.flag("--python", &python);
  line.flag("--commands", &commands);
  line.option("--type", [&type](const char* value) {
    for (int k = 0; k < 4; ++k)
      if (std::strcmp(value, kTypeWords[k]) == 0) type = k;
    return type < 0 ? KString("--type takes int, real, string or bool") : KString();
  });
  line.positionals(&words, 2, 4, "options needs MODEL and an action");
  line.actions(1, {{"list", 0}, {"get", 1}, {"set", 2}, {"script", 0}}, &chosen);
  if (int status = line.parse(argc, argv); status >= 0) return status;
  if (all && chosen != kScript) return line.usageError("--all belongs to script");
  if ((python || commands) && chosen != kScript) return line.usageError("--python and --commands belong to script");
  if (python && commands) return line.usageError("script takes either --python or --commands");
  if (type >= 0 && chosen != kGet && chosen != kSet) return line.usageError("--type belongs to get and set");
  const char* path = words[0];
  app.startUp();

  KModelOptions store("quelmhost options");
  KString reason;
  const char* stage = "read";
  try {
    if (chosen != kSet || KFileSystem::Current()->exists(path)) {
      KReadModelOptions(path, store);
    }
    if (chosen == kList) {
      listType<long>(store, 0);
      listType<double>(store, 1);
      listType<KString>(store, 2);
      listType<bool>(store, 3);
      return KHOST_EXIT_OK;
    }
    if (chosen == kScript && !commands) {
      fputs(KPythonOptionsScript(store, all).GetString(), stdout);
      return KHOST_EXIT_OK;
    }
    if (chosen == kScript) {
      struct Printer : KScriptRecorder {
        void record(int, const KString& command) override { printf("%s\n", command.GetString()); }
      } printer;
      store.generateScript(printer, KString(), all);
      return KHOST_EXIT_OK;
    }
    const KString name(words[2]);
    if (chosen == kGet) {
      int t = type >= 0 ? type : existingType(store, name);
      bool found = t == 0 ? printValue<long>(store, name)
                   : t == 1 ? printValue<double>(store, name)
                   : t == 2 ? printValue<KString>(store, name)
                   : t == 3 ? printValue<bool>(store, name) : false;
      if (found) return KHOST_EXIT_OK;
      reason.Format("%s holds no option %s", path, name.GetString());
    } else {
      const KString value(words[3]);
      int t = type >= 0 ? type : existingType(store, name);
      if (t < 0) t = typeOfText(value);
      if (setOption(store, name, value, t)) {
        reason.Format("\"%s\" is no %s value", value.GetString(), kTypeWords[t]);
        return line.usageError(reason);
      }
      stage = "write";
      KSaveModelOptions(path, store);
      return KHOST_EXIT_OK;
    }
  } catch (const CException& e) {
    KString message;
    e.GetErrorMessage(message);
    reason.Format("cannot %s %s: %s", stage, path, message.IsEmpty() ? "not a readable object file" : message.GetString());
  }
  fprintf(stderr, "quelmhost options: %s\n", reason.GetString());
  return KHOST_EXIT_FAILED;
}
