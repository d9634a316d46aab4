#include "host/KObjectFileBrowser.h"

#include "host/KObjectFileCommands.h"
#include "platform/KExceptions.h"
#include "storage/objectfile/KBinaryPersistance.h"
#include "storage/objectfile/KObjectFileWalker.h"
#include "storage/objectfile/KTextPersistance.h"

#include <memory>

namespace {
// "cannot read model.qob: <reason>"
KString failure(const char* verb, const char* path, const CException& e) {
  KString message, reason;
  e.GetErrorMessage(message);
  reason.Format("cannot %s %s: %s", verb, path, message.IsEmpty() ? "not a readable object file" : message.GetString());
  return reason;
}
}  // namespace

const char* KObjectFileBrowser::tagWord(char tag) {
  switch (tag) {
    case 'I': return "integer";
    case 'U': return "unsigned";
    case 'L': return "long unsigned";
    case 'R': return "real";
    case 'B': return "boolean";
    case 'C': return "characters";
    case 'S': return "string";
    default: return "?";
  }
}

KString KObjectFileBrowser::nameText(const KPersistName& name) {
  if (!name.m_name.IsEmpty() || !name.isNumeric()) return name.m_name;
  KString text;
  text.Format("#%d.%d", name.m_nId, name.m_nIndex);
  return text;
}

bool KObjectFileBrowser::open(const char* path, KString& error) {
  std::vector<KObjectFileRow> rows;
  bool truncated = false;
  long objects = 0;
  bool text = false;
  try {
    KObjectFileWalker walker(path, KObjectFileWalker::kStream);
    text = walker.isText();
    FObjectFileRecord record;
    KObjectFileRow* row = nullptr;
    // The first window of each attribute fills its row's values.
    auto preview = [&](long first, long n) {
      if (!row || first != 0) return;
      const char tag = walker.head().m_tag;
      const LONGLONG count = walker.head().m_count;
      const long shown = std::min(n, kShownValues);
      if (tag == 'C') {
        row->values = walker.values().charValues().Left(static_cast<int>(kShownValues * 8));
        if (count > kShownValues * 8) row->values += "...";
        return;
      }
      for (long i = 0; i < shown; ++i) {
        if (i) row->values += ' ';
        // Strings are quoted, so that empty ones and blanks show.
        if (tag == 'S') row->values += '"' + KObjectFileWalker::valueText(walker.values(), tag, i) + '"';
        else row->values += KObjectFileWalker::valueText(walker.values(), tag, i);
      }
      if (count > shown) row->values += " ...";
    };
    while (true) {
      row = nullptr;
      const bool listed = static_cast<long>(rows.size()) < kRowLimit;
      if (listed) row = &rows.emplace_back();
      if (!walker.nextWindowed(record, kShownValues * 8, preview)) {
        if (row) rows.pop_back();
        break;
      }
      if (record.m_tag == 'E') {
        if (row) rows.pop_back();
        continue;
      }
      if (record.m_tag == 'O') ++objects;
      if (!row) {
        truncated = true;
        continue;
      }
      row->depth = record.m_depth;
      row->tag = record.m_tag;
      row->name = nameText(record.m_name);
      if (record.m_tag == 'O') {
        row->kind = nameText(record.m_type);
      } else {
        row->kind = tagWord(record.m_tag);
        row->count = record.m_count;
      }
    }
  } catch (const CException& e) {
    error = failure("read", path, e);
    return true;
  }
  m_rows = std::move(rows);
  m_path = path;
  m_bText = text;
  m_bTruncated = truncated;
  m_nObjects = objects;
  return false;
}

bool KObjectFileBrowser::saveCopy(const char* target, bool text, KString& error) const {
  if (!isOpen()) {
    error = "no object file is open";
    return true;
  }
  const char* current = m_path.GetString();
  try {
    KObjectFileWalker walker(m_path.GetString());
    const KImplPersistance& in = walker.values();
    const int level = in.getHeaderField(kHdrLevel);
    current = target;
    std::unique_ptr<KImplPersistance> out;
    if (text) out = std::make_unique<KTextPersistance>(target, true, level);
    else out = std::make_unique<KBinaryPersistance>(target, true, level);
    out->setApplication(in.getHeaderField(kHdrApplication));
    out->setMode(in.getHeaderField(kHdrMode));
    FObjectFileRecord record;
    while (true) {
      current = m_path.GetString();
      if (!walker.next(record)) break;
      current = target;
      KCopyObjectRecord(in, record, *out);
    }
    current = target;
    out->Close();
  } catch (const CException& e) {
    error = failure(current == target ? "write" : "read", current, e);
    return true;
  }
  return false;
}
