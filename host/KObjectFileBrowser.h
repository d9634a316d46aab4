// KObjectFileBrowser: the workbench's object-file browser without its
// window. It reads an object file of either form into one row per object and
// per attribute in file order (end records give no row), each attribute with
// its first values, and saves a copy of the file it read in either form.
//
// The file is read as a stream with the values in small windows, so a model
// with huge arrays is browsed in bounded memory; at most kRowLimit rows are
// kept (truncated() tells that more followed).
#pragma once
#include "platform/KString.h"

#include <vector>

struct KObjectFileRow {
  int depth = 0;     // objects: their own nesting level; attributes: the level they stand in
  char tag = 0;      // 'O' for an object, else the attribute's value tag
  KString kind;      // objects: the type name; attributes: the value type ("real", "string"...)
  KString name;
  long count = 0;    // attributes: number of values
  KString values;    // attributes: the first values, blank-separated (strings quoted), "..." when more follow
};

class KObjectFileBrowser {
 public:
  static constexpr long kRowLimit = 20000;
  static constexpr long kShownValues = 8;

  // Reads `path`. True (failed) with the reason in `error`; the rows of the
  // file read before are kept then.
  bool open(const char* path, KString& error);
  // Writes the file read last to `target` in the text or the binary form,
  // at its compression level, with its application number and mode. The
  // target is replaced only once the copy is complete. True (failed) with
  // the reason in `error`.
  bool saveCopy(const char* target, bool text, KString& error) const;

  const std::vector<KObjectFileRow>& rows() const { return m_rows; }
  const KString& path() const { return m_path; }
  bool isOpen() const { return !m_path.IsEmpty(); }
  bool isText() const { return m_bText; }
  bool truncated() const { return m_bTruncated; }
  long objectCount() const { return m_nObjects; }

  // The value type of a tag, as the rows name it.
  static const char* tagWord(char tag);
  // A name as the rows show it: its text, or "#id.index" for a numeric name
  // without one.
  static KString nameText(const class KPersistName& name);

 private:
  std::vector<KObjectFileRow> m_rows;
  KString m_path;
  bool m_bText = false;
  bool m_bTruncated = false;
  long m_nObjects = 0;
};
