// KScriptExportObjImpl<T>: completes a KScriptExportObj (or a class derived
// from it) with the flag that decides whether the object deletes itself when
// the script side drops its last reference. The flag is false on
// construction: the library owns its objects unless told otherwise.
//
// The library compiles the instances for KScriptExportObj and
// KGenericTreeItem once (KScriptExportInstantiations.cpp); the program
// exports them so that plug-ins derive from the same code.
#pragma once
#include "core/script/KScriptExportObj.h"

#include <type_traits>
#include <utility>

template <class T>
class KScriptExportObjImpl : public T {
 public:
  KScriptExportObjImpl();
  // Hands its arguments to a constructor of T.
  template <class First, class... Rest>
    requires(!std::is_same_v<std::remove_cvref_t<First>, KScriptExportObjImpl>)
  explicit KScriptExportObjImpl(First&& first, Rest&&... rest)
      : T(std::forward<First>(first), std::forward<Rest>(rest)...) {}
  KScriptExportObjImpl(const KScriptExportObjImpl& other);
  ~KScriptExportObjImpl() override;
  // Copies the flag; the script handle stays with each object (see KScriptExportObj).
  KScriptExportObjImpl& operator=(const KScriptExportObjImpl& other);

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }
  void setDeleteOnLastScriptRelease(bool on) override;
  bool getDeleteOnLastScriptRelease() const override;

 private:
  bool m_deleteOnLastScriptRelease = false;
};

template <class T>
KScriptExportObjImpl<T>::KScriptExportObjImpl() = default;

template <class T>
KScriptExportObjImpl<T>::KScriptExportObjImpl(const KScriptExportObjImpl& other)
    : T(other), m_deleteOnLastScriptRelease(other.m_deleteOnLastScriptRelease) {}

template <class T>
KScriptExportObjImpl<T>::~KScriptExportObjImpl() = default;

template <class T>
KScriptExportObjImpl<T>& KScriptExportObjImpl<T>::operator=(const KScriptExportObjImpl& other) {
  T::operator=(other);
  m_deleteOnLastScriptRelease = other.m_deleteOnLastScriptRelease;
  return *this;
}

template <class T>
void KScriptExportObjImpl<T>::setDeleteOnLastScriptRelease(bool on) {
  m_deleteOnLastScriptRelease = on;
}

template <class T>
bool KScriptExportObjImpl<T>::getDeleteOnLastScriptRelease() const {
  return m_deleteOnLastScriptRelease;
}

extern template class KScriptExportObjImpl<KScriptExportObj>;
