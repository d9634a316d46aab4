#include "host/KScriptCommand.h"

#include "host/CHostApp.h"
#include "host/KCommandLine.h"
#include "host/KHostCommands.h"
#include "host/KModelOptionsFile.h"
#include "host/pyscript/KPyEmbedded.h"
#include "platform/KExceptions.h"
#include "platform/KFileSystem.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char kUsage[] =
    "usage: quelmhost script FILE|- [ARGS]... [--model MODEL]\n"
    "  run the Python script FILE (\"-\": standard input) with module quelm built in;\n"
    "  sys.argv is FILE and ARGS (put ARGS that begin with \"--\" after \"--\")\n"
    "  --model MODEL  bind the options of MODEL as `options` and save the model when\n"
    "                 the script ends without error\n";

bool readSource(const char* file, std::string& source) {
  std::ostringstream text;
  if (std::string(file) == "-") {
    text << std::cin.rdbuf();
  } else {
    std::ifstream in(file, std::ios::binary);
    if (!in) return true;
    text << in.rdbuf();
  }
  source = text.str();
  return false;
}

KString fileMessage(const CException& e) {
  KString message;
  e.GetErrorMessage(message);
  return message.IsEmpty() ? KString("not a readable object file") : message;
}

}  // namespace

int KRunScriptCommand(CHostApp& app, int argc, char** argv) {
  std::vector<const char*> words;
  const char* model = nullptr;
  KCommandLine line("script", kUsage);
  line.option("--model", [&model](const char* value) {
    model = value;
    return KString();
  });
  line.positionals(&words, 1, static_cast<size_t>(-1), "script needs FILE (or - for standard input)");
  if (int status = line.parse(argc, argv); status >= 0) return status;
  app.startUp();

  std::string source;
  if (readSource(words[0], source)) {
    fprintf(stderr, "quelmhost script: cannot read %s\n", words[0]);
    return KHOST_EXIT_FAILED;
  }
  std::vector<std::string> args(words.begin(), words.end());
  const std::string name = args[0] == "-" ? std::string("<stdin>") : args[0];

  KModelOptions store("quelmhost script");
  if (model) {
    try {
      if (KFileSystem::Current()->exists(model)) KReadModelOptions(model, store);
    } catch (const CException& e) {
      fprintf(stderr, "quelmhost script: cannot read %s: %s\n", model, fileMessage(e).GetString());
      return KHOST_EXIT_FAILED;
    }
  }
  fflush(stdout);
  int status = KPyRunScript(name, source, args, model ? &store : nullptr);
  if (status != 0 || !model) return status;
  try {
    KSaveModelOptions(model, store);
  } catch (const CException& e) {
    fprintf(stderr, "quelmhost script: cannot write %s: %s\n", model, fileMessage(e).GetString());
    return KHOST_EXIT_FAILED;
  }
  return KHOST_EXIT_OK;
}
