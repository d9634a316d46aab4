// quelmhost convert: rewrites an object file in the other form or at another
// compression level, record by record in file order.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/KCommandLine.h"
#include "host/KHostCommands.h"
#include "host/KObjectFileCommands.h"
#include "storage/objectfile/KBinaryPersistance.h"
#include "storage/objectfile/KTextPersistance.h"
#include "platform/KExceptions.h"

namespace {

const char kConvertUsage[] =
    "usage: quelmhost convert IN OUT --form text|binary [--level N]\n"
    "  rewrite the object file IN as OUT in the given form; OUT is replaced only\n"
    "  once it is complete\n"
    "  --level N  compression level 0 (plain) to 9; default: the level of IN\n";

}  // namespace

int KRunConvertCommand(int argc, char** argv) {
  std::vector<const char*> paths;
  int form = -1;  // 0 text, 1 binary
  int level = -1;
  KCommandLine line("convert", kConvertUsage);
  line.option("--form", [&form](const char* value) {
    if (std::strcmp(value, "text") == 0) form = 0;
    else if (std::strcmp(value, "binary") == 0) form = 1;
    else return KString("--form takes text or binary");
    return KString();
  });
  line.option("--level", [&level](const char* value) {
    char* end = nullptr;
    long n = std::strtol(value, &end, 10);
    if (end == value || *end || n < 0 || n > 9) return KString("--level takes a number from 0 to 9");
    level = static_cast<int>(n);
    return KString();
  });
  line.positionals(&paths, 2, 2, "convert needs IN and OUT");
  if (int status = line.parse(argc, argv); status >= 0) return status;
  if (form < 0) return line.usageError("convert needs --form text or --form binary");

  // The file the failing step works on, for the message.
  const char* current = paths[0];
  KString reason;
  try {
    KObjectFileWalker walker(paths[0], KObjectFileWalker::kStream);
    const KImplPersistance& in = walker.values();
    if (level < 0) level = in.getHeaderField(kHdrLevel);
    current = paths[1];
    std::unique_ptr<KImplPersistance> out;
    if (form == 0) {
      out = std::make_unique<KTextPersistance>(paths[1], true, level);
    } else {
      out = std::make_unique<KBinaryPersistance>(paths[1], true, level);
    }
    out->setApplication(in.getHeaderField(kHdrApplication));
    out->setMode(in.getHeaderField(kHdrMode));

    KProgressLine progress("convert", walker);
    FObjectFileRecord record;
    current = paths[0];
    while (walker.next(record)) {
      progress.update(record.m_position);
      current = paths[1];
      KCopyObjectRecord(in, record, *out);
      current = paths[0];
    }
    current = paths[1];
    out->Close();
    return KHOST_EXIT_OK;
  } catch (const CException& e) {
    KString message;
    e.GetErrorMessage(message);
    reason.Format("cannot %s %s: %s", current == paths[0] ? "read" : "write", current,
                  message.IsEmpty() ? "not a readable object file" : message.GetString());
  }
  fprintf(stderr, "quelmhost: %s\n", reason.GetString());
  return KHOST_EXIT_FAILED;
}
