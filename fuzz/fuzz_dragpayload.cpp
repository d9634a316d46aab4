// Feeds arbitrary "by address" payloads to the drop side. Whatever the bytes,
// the drop answers null or the one source that dragged itself in this
// process: never any other address.
#include "core/script/KGenericTreeItem.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static KScriptExportObjImpl<KGenericTreeItem> source(KString("dragged"));
  static const KString genuine = source.makeByAddressPayload("Group");
  KString payload(reinterpret_cast<const char*>(data), static_cast<int>(size));
  for (const char* type : {"Group", "Loadcase", ""}) {
    KDragAndDropSource* found = KDragAndDropSource::fromByAddressPayload(payload, type);
    if (found && found != &source) abort();
    if (found && payload != genuine) abort();
  }
  COleDataSource offered;
  offered.CacheData(KDragAndDropSource::getByAddressFormat(), data, size);
  KDragAndDropSource* found = KDragAndDropSource::fromDataSource(offered, "Group");
  if (found && found != &source) abort();
  return 0;
}
