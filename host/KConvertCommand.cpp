// quelmhost convert: rewrites an object file in the other form or at another
// compression level, record by record in file order.
#include <cstdlib>
#include <cstring>

#include "host/KHostCommands.h"
#include "host/KObjectFileCommands.h"
#include "storage/objectfile/KBinaryPersistance.h"
#include "storage/objectfile/KTextPersistance.h"
#include "platform/KExceptions.h"

namespace {

const char kConvertUsage[] = "usage: quelmhost convert IN OUT --form text|binary [--level N]\n";

int convertUsage(const char* reason) {
  fprintf(stderr, "quelmhost: %s\n%s", reason, kConvertUsage);
  return KHOST_EXIT_USAGE;
}

}  // namespace

void KCopyObjectRecord(const KImplPersistance& in, const FObjectFileRecord& head, KPersistance& out) {
  const long n = head.m_count;
  switch (head.m_tag) {
    case 'O': out.beginObject(head.m_type, head.m_name); break;
    case 'E': out.endObject(); break;
    case 'I': out.writeI64(head.m_name, n, in.intValues()); break;
    case 'U': out.writeU64(head.m_name, n, in.uintValues()); break;
    case 'L': out.writeL64(head.m_name, n, in.uintValues()); break;
    case 'R': out.writeR(head.m_name, n, in.realValues()); break;
    case 'B': out.writeB(head.m_name, n, in.boolValues()); break;
    case 'C': out.writeC(head.m_name, n, in.charValues().GetString()); break;
    case 'S': out.writeS(head.m_name, n, in.stringValues()); break;
    default: AfxThrowFileException(CFileException::genericException, -1, nullptr);
  }
}


int KRunConvertCommand(int argc, char** argv) {
  const char* paths[2] = {nullptr, nullptr};
  int nPaths = 0;
  int form = -1;  // 0 text, 1 binary
  int level = -1;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (strcmp(arg, "--form") == 0) {
      if (++i >= argc) return convertUsage("--form takes text or binary");
      if (strcmp(argv[i], "text") == 0) {
        form = 0;
      } else if (strcmp(argv[i], "binary") == 0) {
        form = 1;
      } else {
        return convertUsage("--form takes text or binary");
      }
    } else if (strcmp(arg, "--level") == 0) {
      char* end = nullptr;
      if (++i >= argc) return convertUsage("--level takes a number from 0 to 9");
      long n = strtol(argv[i], &end, 10);
      if (end == argv[i] || *end || n < 0 || n > 9) return convertUsage("--level takes a number from 0 to 9");
      level = static_cast<int>(n);
    } else if (arg[0] == '-' && arg[1] != 0) {
      KString reason;
      reason.Format("unknown option '%s'", arg);
      return convertUsage(reason);
    } else if (nPaths == 2) {
      return convertUsage("convert takes two files");
    } else {
      paths[nPaths++] = arg;
    }
  }
  if (nPaths != 2) return convertUsage("convert needs IN and OUT");
  if (form < 0) return convertUsage("convert needs --form text or --form binary");

  // The file the failing step works on, for the message.
  const char* current = paths[0];
  KString reason;
  try {
    KObjectFileWalker walker(paths[0]);
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
