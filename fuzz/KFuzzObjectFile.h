// Shared by the object file fuzz targets: puts the input into a scratch file
// and walks it with a reader of the given form. A refusal must be a
// CFileException (or CMemoryException); anything else, a crash or a hang
// is a fault.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

#include "storage/objectfile/KBinaryPersistance.h"
#include "storage/objectfile/KTextPersistance.h"

inline const std::string& kFuzzFile() {
  static const std::string path = "/tmp/quelm-fuzz-objectfile-" + std::to_string(::getpid());
  return path;
}

inline void kFuzzStore(const uint8_t* data, size_t size) {
  FILE* f = std::fopen(kFuzzFile().c_str(), "wb");
  if (!f) abort();
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
}

// Reads by name with nothing checked at open: the index grows from its
// frontier as the reads need it (a missing attribute passes the whole body).
template <class P>
void kFuzzReadUnchecked() {
  try {
    P reader(kFuzzFile().c_str(), false);
    reader.setCheckedAtOpen(0);
    reader.enterObject("any", "name");
    reader.readReal("r", 0.0);
    reader.readInt("missing", 0);
    if (reader.objectExists("Part", "p1")) {
      reader.enterObject("Part", "p1");
      reader.readString("s", "");
      reader.leaveObject();
    }
    reader.leaveObject();
  } catch (const CFileException&) {
  } catch (const CMemoryException&) {
  }
}

// Opens, then walks every record and enters every object, reading each
// attribute by name.
template <class P>
void kFuzzWalk(bool headerOnly) {
  if (!headerOnly) kFuzzReadUnchecked<P>();
  try {
    P reader(kFuzzFile().c_str(), false);
    reader.open();
    if (headerOnly) return;
    FRecordHead head;
    reader.rewindRecords();
    while (reader.readNextRecord(head)) {
    }
    // Reals into the caller's memory: the room asked for must fit the file.
    std::vector<double> room;
    const std::function<double*(long)> place = [&room](long n) {
      room.assign(static_cast<size_t>(n), 0.0);
      return room.data();
    };
    reader.rewindRecords();
    while (reader.readNextRecordPlacingReals(head, place)) {
    }
    for (long i = 0; i < reader.getObjectCount() && i < 200; ++i) {
      const FObjectEntry& e = reader.getObject(i);
      if (e.m_parent != -1) continue;
      reader.enterObject(e.m_type, e.m_name);
      reader.readInt("a", 0);
      reader.readString("s", "");
      reader.readReal("r", 0.0);
      reader.leaveObject();
    }
  } catch (const CFileException&) {
  } catch (const CMemoryException&) {
  }
}
