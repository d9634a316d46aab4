// KDragAndDropSource: a script-exported object that can be dragged within
// the running program. The drag carries the object by address, as text in the
// clipboard format registered under the name "by address":
//
//   <start time>'<type name>'<address>
//
// with the program's start time as "%Y:%m:%d:%H:%M:%S", a type name chosen
// by the caller, and the object's address as a signed decimal integer.
//
// An address is meaningful only inside the program instance that wrote it,
// and only while the object lives. The drop side therefore turns a payload
// into a pointer only when the time stamp is this program's, the type name is
// the one expected, and the address is that of a living object of this
// process that started a drag under that type name. Anything else, a payload
// from another instance among them, answers null.
#pragma once
#include "core/script/KOleDataSource.h"
#include "core/script/KScriptExportObj.h"

#include <memory>

class KDragAndDropSource : public KScriptExportObj {
 public:
  KDragAndDropSource() = default;
  KDragAndDropSource(const KDragAndDropSource& other) : KScriptExportObj(other) {}
  KDragAndDropSource& operator=(const KDragAndDropSource& other) {
    KScriptExportObj::operator=(other);
    return *this;
  }
  ~KDragAndDropSource() override;

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }

  // The "by address" clipboard format (registered once per process).
  static CLIPFORMAT getByAddressFormat();
  // The payload that carries this object under `typeName`; from now until the
  // object is destroyed, a drop in this program may find it by that payload.
  KString makeByAddressPayload(const KString& typeName) const;
  // A data source offering the payload in the "by address" format.
  std::unique_ptr<KOleDataSource> createDataSource(const KString& typeName) const;

  // The object a payload names, or null (see the acceptance rule above).
  static KDragAndDropSource* fromByAddressPayload(const KString& payload, const KString& typeName);
  static KDragAndDropSource* fromDataSource(const COleDataSource& data, const KString& typeName);

  // This program's time stamp in payloads.
  static KString payloadTimeStamp();
};
