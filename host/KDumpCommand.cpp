// quelmhost dump: the listing of an object file, and the pieces the object
// file commands share (opening either form, the progress line).
#include <cfloat>
#include <charconv>
#include <cstring>
#include <vector>

#include "host/KCommandLine.h"
#include "host/KHostCommands.h"
#include "host/KObjectFileCommands.h"
#include "storage/objectfile/KTextPersistance.h"
#include "platform/KConsole.h"
#include "platform/KExceptions.h"

namespace {

const char kDumpUsage[] =
    "usage: quelmhost dump FILE [--header] [--object TYPE/NAME] [--all]\n"
    "  list the header, objects and attributes of an object file (either form)\n"
    "  --header            the header fields alone (reads nothing else)\n"
    "  --object TYPE/NAME  only the first object TYPE named NAME, with what it holds\n"
    "  --all               every value (else the first ones and a count of the rest)\n";
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

// Values per window while listing: the listing's memory stays at one window
// and the page cache, whatever the size of an attribute.
constexpr long kDumpWindow = 4096;

// The values of one attribute as they arrive, window by window: the first
// ones (all with --all), then a count of the rest.
class FValueLister {
 public:
  FValueLister(FILE* out, bool all) : m_out(out), m_bAll(all) {}

  void begin(char tag, long count) {
    m_tag = tag;
    m_nCount = count;
    m_nShown = 0;
    // Booleans and characters are short: eight times as many fit a line.
    m_nLimit = m_bAll ? count : std::min(count, (tag == 'B' || tag == 'C') ? kDumpShownValues * 8 : kDumpShownValues);
    if (tag == 'B') fputc(' ', m_out);
    if (tag == 'C') fputs(" \"", m_out);
  }

  // Values [first, first + n) stand in the buffers of `file` from index 0.
  void window(const KImplPersistance& file, long n) {
    const long take = std::min(n, m_nLimit - m_nShown);
    for (long i = 0; i < take; ++i) {
      switch (m_tag) {
        case 'I': fprintf(m_out, " %lld", static_cast<long long>(file.intValues()[i])); break;
        case 'U':
        case 'L': fprintf(m_out, " %llu", static_cast<unsigned long long>(file.uintValues()[i])); break;
        case 'R': putReal(m_out, file.realValues()[i]); break;
        case 'B': fputc(file.boolValues()[i] ? 'T' : 'F', m_out); break;
        case 'S': {
          const KString& s = file.stringValues()[i];
          fputs(" \"", m_out);
          putEscaped(m_out, s.GetString(), s.GetLength());
          fputc('"', m_out);
          break;
        }
        default: break;
      }
    }
    if (m_tag == 'C' && take > 0) {
      const KString& chars = file.charValues();
      putEscaped(m_out, chars.GetString(), std::min(take, static_cast<long>(chars.GetLength())));
    }
    if (take > 0) m_nShown += take;
  }

  void end() {
    if (m_tag == 'C') fputc('"', m_out);
    if (m_nShown < m_nCount) fprintf(m_out, " ... (%ld more)", m_nCount - m_nShown);
  }

 private:
  FILE* m_out;
  bool m_bAll;
  char m_tag = 0;
  long m_nCount = 0;
  long m_nShown = 0;
  long m_nLimit = 0;
};

void putHeader(FILE* out, const char* path, KObjectFileWalker& walker, bool withObjects) {
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
  if (withObjects) fprintf(out, "Objects: %ld\n", file.getObjectCount());
}

}  // namespace

// ---- shared ------------------------------------------------------------------

KProgressLine::KProgressLine(const char* label, ULONGLONG total)
    : m_label(label), m_total(total),
      m_bShown(total >= kProgressThreshold && KConsoleErrorIsTerminal()) {}

KProgressLine::KProgressLine(const char* label, KObjectFileWalker& walker)
    : KProgressLine(label, walker.getLogicalSize()) {}

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
  // The header alone needs nothing past the header area; one object is
  // listed as the records stream by, and the walk ends after its end record.
  // Only the whole listing, which states the number of objects first, reads
  // the file twice.
  const KObjectFileWalker::EMode mode = options.headerOnly  ? KObjectFileWalker::kHeaderOnly
                                        : options.hasObject ? KObjectFileWalker::kStream
                                                            : KObjectFileWalker::kIndexed;
  KObjectFileWalker walker(path, mode);
  if (!options.hasObject) putHeader(out, path, walker, mode == KObjectFileWalker::kIndexed);
  if (options.headerOnly) return true;

  KProgressLine progress("dump", walker);
  FValueLister lister(out, options.all);
  FObjectFileRecord record;
  int shownDepth = -1;  // with --object: depth of the object being listed
  bool listing = !options.hasObject;
  bool started = false;  // the current attribute's line is begun
  // An attribute's line is begun at its first window (or at its end when it
  // has no values), once its head is known.
  auto startLine = [&](char tag, long count, const KPersistName& name, int depth) {
    putIndent(out, depth - std::max(shownDepth, 0));
    fprintf(out, "%c ", tag);
    putName(out, name);
    fprintf(out, " [%ld]:", count);
    lister.begin(tag, count);
    started = true;
  };
  auto deliver = [&](long, long n) {
    if (!listing) return;
    const FRecordHead& head = walker.head();
    if (!started) startLine(head.m_tag, static_cast<long>(head.m_count), head.m_name, walker.getDepth());
    lister.window(walker.values(), n);
  };
  for (;;) {
    started = false;
    if (!walker.nextWindowed(record, kDumpWindow, deliver)) break;
    progress.update(record.m_position);
    if (record.m_tag == 'O' && !listing && record.m_type == options.objectType &&
        record.m_name == options.objectName) {
      listing = true;
      shownDepth = record.m_depth;
    }
    if (!listing) continue;
    if (record.m_tag == 'O') {
      putIndent(out, record.m_depth - std::max(shownDepth, 0));
      fputs("OBJECT ", out);
      putName(out, record.m_type);
      fputc(' ', out);
      putName(out, record.m_name);
      fputc('\n', out);
    } else if (record.m_tag == 'E') {
      putIndent(out, record.m_depth - std::max(shownDepth, 0));
      fputs("END\n", out);
      if (record.m_depth == shownDepth) return true;  // the object is listed whole
    } else {
      if (!started) startLine(record.m_tag, record.m_count, record.m_name, record.m_depth);
      lister.end();
      fputc('\n', out);
    }
  }
  return !options.hasObject;
}

int KRunDumpCommand(int argc, char** argv) {
  KDumpOptions options;
  std::vector<const char*> paths;
  KCommandLine line("dump", kDumpUsage);
  line.flag("--header", &options.headerOnly).flag("--all", &options.all);
  line.option("--object", [&options](const char* value) {
    const char* slash = std::strchr(value, '/');
    if (!slash) return KString("--object takes TYPE/NAME");
    options.hasObject = true;
    options.objectType = KPersistName(KString(value, static_cast<int>(slash - value)));
    options.objectName = KPersistName(slash + 1);
    return KString();
  });
  line.positionals(&paths, 1, 1, "dump needs a file");
  if (int status = line.parse(argc, argv); status >= 0) return status;
  if (options.headerOnly && options.hasObject) return line.usageError("--header and --object exclude each other");
  const char* path = paths[0];

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
