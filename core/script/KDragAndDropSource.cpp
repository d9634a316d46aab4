#include "core/script/KDragAndDropSource.h"

#include "core/application/KApplicationAbstract.h"
#include "platform/KTime.h"

#include <charconv>
#include <map>

UINT KOleDataSource::m_created_S = 0;
UINT KOleDataSource::m_destroyed_S = 0;

void KOleDataSource::dumpCounters() {
  KString line;
  line.Format("KOleDataSource::m_created_S %u", m_created_S);
  KGetApplication()->OutputLine(line);
  line.Format("KOleDataSource::m_destroyed_S %u", m_destroyed_S);
  KGetApplication()->OutputLine(line);
}

namespace {
struct KDragEntry {
  KDragAndDropSource* object;
  KString typeName;
};
// The objects that started a drag, by address, with the type name they gave;
// an entry leaves with its object. Never destroyed: a source that is itself
// a static may be destroyed at exit after any static built later.
std::map<intptr_t, KDragEntry>& dragSources() {
  static auto* sources = new std::map<intptr_t, KDragEntry>;
  return *sources;
}
}  // namespace

KDragAndDropSource::~KDragAndDropSource() { dragSources().erase(reinterpret_cast<intptr_t>(this)); }

CLIPFORMAT KDragAndDropSource::getByAddressFormat() {
  static const CLIPFORMAT format = static_cast<CLIPFORMAT>(RegisterClipboardFormatA("by address"));
  return format;
}

KString KDragAndDropSource::payloadTimeStamp() {
  return KFormatTime(KGetApplication()->GetStartTime(), "%Y:%m:%d:%H:%M:%S");
}

KString KDragAndDropSource::makeByAddressPayload(const KString& typeName) const {
  dragSources()[reinterpret_cast<intptr_t>(this)] = {const_cast<KDragAndDropSource*>(this), typeName};
  KString payload;
  payload.Format("%s'%s'%Id", payloadTimeStamp().GetString(), typeName.GetString(),
                 reinterpret_cast<intptr_t>(this));
  return payload;
}

std::unique_ptr<KOleDataSource> KDragAndDropSource::createDataSource(const KString& typeName) const {
  auto source = std::make_unique<KOleDataSource>();
  KString payload = makeByAddressPayload(typeName);
  // With its terminating zero, as a text on the clipboard is.
  source->CacheData(getByAddressFormat(), payload.GetString(), static_cast<size_t>(payload.GetLength()) + 1);
  return source;
}

KDragAndDropSource* KDragAndDropSource::fromByAddressPayload(const KString& payload, const KString& typeName) {
  // The stamp ends at the first apostrophe and the address starts after the
  // last, so a type name may hold apostrophes of its own.
  int first = payload.Find('\'');
  int last = payload.ReverseFind('\'');
  if (first < 0 || last <= first) return nullptr;
  if (payload.Left(first) != payloadTimeStamp()) return nullptr;
  if (payload.Mid(first + 1, last - first - 1) != typeName) return nullptr;
  const char* digits = payload.GetString() + last + 1;
  const char* end = payload.GetString() + payload.GetLength();
  intptr_t address = 0;
  auto [stop, error] = std::from_chars(digits, end, address);
  if (error != std::errc() || stop != end || digits == end) return nullptr;
  // Only the address of a living object that dragged itself under this type
  // name: never a number that merely looks like one.
  auto it = dragSources().find(address);
  return (it != dragSources().end() && it->second.typeName == typeName) ? it->second.object : nullptr;
}

KDragAndDropSource* KDragAndDropSource::fromDataSource(const COleDataSource& data, const KString& typeName) {
  std::string bytes;
  if (!data.GetData(getByAddressFormat(), bytes)) return nullptr;
  size_t zero = bytes.find('\0');
  if (zero != std::string::npos) bytes.resize(zero);
  return fromByAddressPayload(KString(std::move(bytes)), typeName);
}
