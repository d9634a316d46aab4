// quelmhost dump: the listing of an object file, and the pieces the object
// file commands share (opening either form, the progress line).
#include <cfloat>
#include <charconv>
#include <cstring>

#include "host/KHostCommands.h"
#include "host/KObjectFileCommands.h"
#include "storage/objectfile/KTextPersistance.h"
#include "platform/KConsole.h"
#include "platform/KExceptions.h"

namespace {

const char kDumpUsage[] = "usage: quelmhost dump FILE [--header] [--object TYPE/NAME] [--all]\n";
// Work below this many logical bytes shows no progress.
constexpr ULONGLONG kProgressThreshold = 4u << 20;

// Printable ASCII stays; quotes, backslashes and other bytes are escaped.
void putEscaped(FILE* out, const char* text, long length) {
  for (long i = 0; i < length; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    switch (c) {
      case '"': fputs("\\\"", out); break;
      case '\\': fputs("\\\\", out); break;
      case '\r': fputs("\\r", out); break;
      case '\n': fputs("\\n", out); break;
      case '\t': fputs("\\t", out); break;
      default:
        if (c < 0x20 || c >= 0x7f) {
          fprintf(out, "\\x%02x", c);
        } else {
          fputc(c, out);
        }
    }
  }
}

// "text", then (id N) and (index N) for the numbers that are set.
void putName(FILE* out, const KPersistName& name) {
  fputc('"', out);
  putEscaped(out, name.m_name.GetString(), name.m_name.GetLength());
  fputc('"', out);
  if (name.m_nId != 0) fprintf(out, " (id %d)", name.m_nId);
  if (name.m_nIndex != 0) fprintf(out, " (index %d)", name.m_nIndex);
}

// The shortest text that reads back as the same double; the undefined real
// as N/A, as the text form writes it.
void putReal(FILE* out, double value) {
  if (value == DBL_MIN) {  // the smallest positive normal double
    fputs(" N/A", out);
    return;
  }
  char text[40];
  auto result = std::to_chars(text, text + sizeof text, value);
  *result.ptr = 0;
  fprintf(out, " %s", text);
}

void putIndent(FILE* out, int depth) {
  for (int i = 0; i < depth; ++i) fputs("  ", out);
}

void putValues(FILE* out, const KImplPersistance& file, const FObjectFileRecord& head, bool all) {
  const long count = head.m_count;
  long shown = all ? count : std::min(count, kDumpShownValues);
  switch (head.m_tag) {
    case 'I':
      for (long i = 0; i < shown; ++i) fprintf(out, " %lld", static_cast<long long>(file.intValues()[i]));
      break;
    case 'U':
    case 'L':
      for (long i = 0; i < shown; ++i)
        fprintf(out, " %llu", static_cast<unsigned long long>(file.uintValues()[i]));
      break;
    case 'R':
      for (long i = 0; i < shown; ++i) putReal(out, file.realValues()[i]);
      break;
    case 'B':
      // Booleans and characters are short: ten times as many fit a line.
      shown = all ? count : std::min(count, kDumpShownValues * 8);
      fputc(' ', out);
      for (long i = 0; i < shown; ++i) fputc(file.boolValues()[i] ? 'T' : 'F', out);
      break;
    case 'C':
      shown = all ? count : std::min(count, kDumpShownValues * 8);
      shown = std::min(shown, static_cast<long>(file.charValues().GetLength()));
      fputs(" \"", out);
      putEscaped(out, file.charValues().GetString(), shown);
      fputc('"', out);
      break;
    case 'S':
      for (long i = 0; i < shown; ++i) {
        const KString& s = file.stringValues()[i];
        fputs(" \"", out);
        putEscaped(out, s.GetString(), s.GetLength());
        fputc('"', out);
      }
      break;
  }
  if (shown < count) fprintf(out, " ... (%ld more)", count - shown);
}

void putHeader(FILE* out, const char* path, KObjectFileWalker& walker) {
  const KImplPersistance& file = walker.values();
  bool text = walker.isText();
  fprintf(out, "File: %s\n", path);
  fprintf(out, "Form: %s\n", text ? "text" : "binary");
  fprintf(out, "Version: %d\n", file.getHeaderField(kHdrVersion));
  fprintf(out, "Application: %d\n", file.getHeaderField(kHdrApplication));
  fprintf(out, "Mode: %d\n", file.getHeaderField(kHdrMode));
  fprintf(out, "Compression level: %d\n", file.getHeaderField(kHdrLevel));
  fprintf(out,
          "Maximum counts: I32 %d, I64 %d, U32 %d, U64 %d, L32 %d, L64 %d, R %d, S %d, B %d, C %d\n",
          file.getHeaderField(kHdrMaxI32), file.getHeaderField(kHdrMaxI64),
          file.getHeaderField(kHdrMaxU32), file.getHeaderField(kHdrMaxU64),
          file.getHeaderField(kHdrMaxL32), file.getHeaderField(kHdrMaxL64),
          file.getHeaderField(kHdrMaxR), file.getHeaderField(kHdrMaxS), file.getHeaderField(kHdrMaxB),
          file.getHeaderField(kHdrMaxC));
  fprintf(out, "Objects: %ld\n", file.getObjectCount());
}

ULONGLONG logicalEnd(const KImplPersistance& file) {
  ULONGLONG end = 0;
  for (long i = 0; i < file.getObjectCount(); ++i) end = std::max(end, file.getObject(i).m_end);
  return end;
}

int dumpUsage(const char* reason) {
  fprintf(stderr, "quelmhost: %s\n%s", reason, kDumpUsage);
  return KHOST_EXIT_USAGE;
}

}  // namespace

// ---- shared ------------------------------------------------------------------

KProgressLine::KProgressLine(const char* label, ULONGLONG total)
    : m_label(label), m_total(total),
      m_bShown(total >= kProgressThreshold && KConsoleErrorIsTerminal()) {}

KProgressLine::KProgressLine(const char* label, KObjectFileWalker& walker)
    : KProgressLine(label, logicalEnd(walker.values())) {}

KProgressLine::~KProgressLine() {
  if (m_bShown && m_nLast >= 0) fputs("\r\033[K", stderr);
}

void KProgressLine::update(ULONGLONG done) {
  if (!m_bShown) return;
  int percent = static_cast<int>(std::min<ULONGLONG>(100, done * 100 / m_total));
  if (percent == m_nLast) return;
  m_nLast = percent;
  fprintf(stderr, "\r%s %3d%%", m_label, percent);
  fflush(stderr);
}

// ---- dump --------------------------------------------------------------------

bool KDumpObjectFile(const char* path, const KDumpOptions& options, FILE* out) {
  KObjectFileWalker walker(path);
  if (!options.hasObject) putHeader(out, path, walker);
  if (options.headerOnly) return true;

  KProgressLine progress("dump", walker);
  FObjectFileRecord record;
  int shownDepth = -1;  // with --object: depth of the object being listed
  bool found = false;
  while (walker.next(record)) {
    progress.update(record.m_position);
    if (options.hasObject && shownDepth < 0) {
      if (found || record.m_tag != 'O' || !(record.m_type == options.objectType) ||
          !(record.m_name == options.objectName))
        continue;
      shownDepth = record.m_depth;
      found = true;
    }
    putIndent(out, record.m_depth - std::max(shownDepth, 0));
    if (record.m_tag == 'O') {
      fputs("OBJECT ", out);
      putName(out, record.m_type);
      fputc(' ', out);
      putName(out, record.m_name);
      fputc('\n', out);
    } else if (record.m_tag == 'E') {
      fputs("END\n", out);
      if (record.m_depth == shownDepth) shownDepth = -1;
    } else {
      fprintf(out, "%c ", record.m_tag);
      putName(out, record.m_name);
      fprintf(out, " [%ld]:", record.m_count);
      putValues(out, walker.values(), record, options.all);
      fputc('\n', out);
    }
  }
  return !options.hasObject || found;
}

int KRunDumpCommand(int argc, char** argv) {
  KDumpOptions options;
  const char* path = nullptr;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (strcmp(arg, "--header") == 0) {
      options.headerOnly = true;
    } else if (strcmp(arg, "--all") == 0) {
      options.all = true;
    } else if (strcmp(arg, "--object") == 0) {
      if (++i >= argc) return dumpUsage("--object takes TYPE/NAME");
      const char* slash = strchr(argv[i], '/');
      if (!slash || options.hasObject) return dumpUsage("--object takes one TYPE/NAME");
      options.hasObject = true;
      options.objectType = KPersistName(KString(argv[i], static_cast<int>(slash - argv[i])));
      options.objectName = KPersistName(slash + 1);
    } else if (arg[0] == '-' && arg[1] != 0) {
      KString reason;
      reason.Format("unknown option '%s'", arg);
      return dumpUsage(reason);
    } else if (path) {
      return dumpUsage("dump takes one file");
    } else {
      path = arg;
    }
  }
  if (!path) return dumpUsage("dump needs a file");
  if (options.headerOnly && options.hasObject) return dumpUsage("--header and --object exclude each other");

  KString reason;
  try {
    if (KDumpObjectFile(path, options, stdout)) return KHOST_EXIT_OK;
    reason.Format("%s holds no object %s/%s", path, options.objectType.m_name.GetString(),
                  options.objectName.m_name.GetString());
  } catch (const CException& e) {
    KString message;
    e.GetErrorMessage(message);
    reason.Format("cannot read %s: %s", path, message.IsEmpty() ? "not a readable object file" : message.GetString());
  }
  fflush(stdout);
  fprintf(stderr, "quelmhost: %s\n", reason.GetString());
  return KHOST_EXIT_FAILED;
}
