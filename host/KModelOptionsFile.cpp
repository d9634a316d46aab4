#include "host/KModelOptionsFile.h"

#include "host/KObjectFileCommands.h"
#include "platform/KFileSystem.h"
#include "storage/objectfile/KBinaryPersistance.h"
#include "storage/objectfile/KTextPersistance.h"

#include <cstdio>

void KModelOptions::warn(const KString& text) { fprintf(stderr, "%s: %s\n", m_label, text.GetString()); }

std::unique_ptr<KImplPersistance> KOpenObjectFileReader(const char* path) {
  if (KIsTextObjectFile(path)) return std::make_unique<KTextPersistance>(path, false);
  return std::make_unique<KBinaryPersistance>(path, false);
}

void KReadModelOptions(const char* path, KDatabaseOptions& store) {
  std::unique_ptr<KImplPersistance> in = KOpenObjectFileReader(path);
  store.read(*in, nullptr);
}

void KSaveModelOptions(const char* path, const KDatabaseOptions& store) {
  if (!KFileSystem::Current()->exists(path)) {
    KTextPersistance out(path, true);
    store.write(out, nullptr);
    out.Close();
    return;
  }
  KObjectFileWalker walker(path, KObjectFileWalker::kStream);
  const KImplPersistance& in = walker.values();
  std::unique_ptr<KImplPersistance> out;
  int level = in.getHeaderField(kHdrLevel);
  if (walker.isText()) out = std::make_unique<KTextPersistance>(path, true, level);
  else out = std::make_unique<KBinaryPersistance>(path, true, level);
  out->setApplication(in.getHeaderField(kHdrApplication));
  out->setMode(in.getHeaderField(kHdrMode));
  FObjectFileRecord record;
  int depth = 0, skipping = -1;
  bool written = false;
  while (walker.next(record)) {
    if (record.m_tag == 'O') {
      if (depth == 0 && skipping < 0 && !written && record.m_type == KPersistName("KDatabaseOptions")) {
        skipping = depth;
        store.write(*out, nullptr);
        written = true;
      }
      ++depth;
    } else if (record.m_tag == 'E') {
      --depth;
      if (skipping == depth) {
        skipping = -1;
        continue;
      }
    }
    if (skipping < 0) KCopyObjectRecord(in, record, *out);
  }
  if (!written) store.write(*out, nullptr);
  out->Close();
}

