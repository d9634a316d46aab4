// The object file commands of quelmhost:
//
//   dump FILE [--header] [--object TYPE/NAME] [--all]
//       Lists the file (text or binary form, any level) on standard output:
//       the header fields, then every object and attribute in file order,
//       indented two blanks per level. An attribute line is
//         <tag> "<name>" [<count>]: <values>
//       with at most kDumpShownValues values (the rest counted) unless --all.
//       --header prints the header fields alone; --object prints only the
//       first object of type TYPE named NAME (the text before the first '/'
//       is the type) and everything it holds.
//   convert IN OUT --form text|binary [--level N]
//       Rewrites IN as OUT in the given form and compression level (default:
//       the level of IN), keeping every object and attribute with its names,
//       numbers and values, and the header's application number and mode.
//       OUT is replaced only when the whole file was written.
//
// Both show a percent line on standard error while they work through a
// large file, when standard error is a terminal. A file that cannot be read
// ends with a message naming it and exit status 1; wrong usage gives 2.
#pragma once
#include <cstdio>
#include "storage/objectfile/KObjectFileWalker.h"

// Values listed per attribute without --all.
constexpr long kDumpShownValues = 10;

struct KDumpOptions {
  bool headerOnly = false;
  bool all = false;
  bool hasObject = false;
  KPersistName objectType;
  KPersistName objectName;
};

// Writes the listing of `path` to `out`. Throws CFileException and
// CMemoryException for unreadable files; answers false when --object named
// an object that the file does not hold.
bool KDumpObjectFile(const char* path, const KDumpOptions& options, FILE* out);

// Writes the record just read from `in` to `out`. Integers come out of the
// reader widened to 64 bits and are written so. Throws CFileException for
// an unknown record tag.
void KCopyObjectRecord(const KImplPersistance& in, const FObjectFileRecord& head, KPersistance& out);

// argv[0] is the command name ("dump" / "convert"). Answer the exit status.
int KRunDumpCommand(int argc, char** argv);
int KRunConvertCommand(int argc, char** argv);

// A percent line on standard error, redrawn in place; silent unless standard
// error is a terminal and the work is large.
class KProgressLine {
 public:
  // The logical end of the file that `walker` reads, as the total.
  KProgressLine(const char* label, KObjectFileWalker& walker);
  KProgressLine(const char* label, ULONGLONG total);
  ~KProgressLine();
  void update(ULONGLONG done);

 private:
  const char* m_label;
  ULONGLONG m_total;
  bool m_bShown;
  int m_nLast = -1;
};
