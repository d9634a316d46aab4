// K2dCoordsPairing: a point, a flag and an object that the pairing owns
// (deleted with the pairing through its virtual destructor; null when
// there is none). Pairings are not copied: arrays of them hold pointers.
#pragma once
#include "core/application/KObject.h"
#include "geometry/coords/K2dCoords.h"

class K2dCoordsPairing : public KObject {
 public:
  K2dCoordsPairing() : m_coords(0.0, 0.0) {}
  K2dCoordsPairing(const K2dCoords& coords, bool flag) : m_flag(flag), m_coords(coords) {}
  ~K2dCoordsPairing() override { delete m_pObject; }
  K2dCoordsPairing(const K2dCoordsPairing&) = delete;
  K2dCoordsPairing& operator=(const K2dCoordsPairing&) = delete;

  bool getFlag() const { return m_flag; }
  void setFlag(bool flag) { m_flag = flag; }
  const K2dCoords& getCoords() const { return m_coords; }
  void setCoords(const K2dCoords& coords) { m_coords = coords; }
  KObject* getObject() const { return m_pObject; }
  // Takes ownership of object; the one held before is deleted.
  void setObject(KObject* object) {
    if (object == m_pObject) return;
    delete m_pObject;
    m_pObject = object;
  }
  // Gives up ownership: the caller deletes what this answers.
  KObject* releaseObject() {
    KObject* object = m_pObject;
    m_pObject = nullptr;
    return object;
  }

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }
  long dumpAllocatedMembers(_TREEITEM* parent, bool list, KString& name) const override {
    return m_pObject ? m_pObject->getSizeOfThis() + m_pObject->dumpAllocatedMembers(parent, list, name) : 0;
  }

 private:
  bool m_flag = false;
  K2dCoords m_coords;
  KObject* m_pObject = nullptr;
};
