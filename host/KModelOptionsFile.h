// The options object of a model file ("KDatabaseOptions" at the top level of
// an object file of either form), read and written on its own for the host's
// commands and scripts.
//
// KSaveModelOptions rewrites the model through the object file save (a
// temporary file renamed over the model once complete), keeping every other
// object and attribute, the form, level, application number and mode; a
// missing model is created as a text file holding the options alone. Both
// throw the file layer's exceptions.
#pragma once
#include "model/options/KDatabaseOptions.h"

#include <memory>

class KImplPersistance;

// A model's store: options the file holds are added as they are (a model may
// carry options this program does not know); reader warnings go to standard
// error after `label`.
class KModelOptions : public KDatabaseOptions {
 public:
  explicit KModelOptions(const char* label = "quelmhost options") : m_label(label) {}

 protected:
  void unknownOption(const KOption<long>& r) override { addRecord(r); }
  void unknownOption(const KOption<double>& r) override { addRecord(r); }
  void unknownOption(const KOption<KString>& r) override { addRecord(r); }
  void unknownOption(const KOption<bool>& r) override { addRecord(r); }
  bool skipsRegistryDefaults() const override { return true; }
  void warn(const KString& text) override;

 private:
  const char* m_label;
};

// A reader of the object file `path` in its own form.
std::unique_ptr<KImplPersistance> KOpenObjectFileReader(const char* path);
// Reads the options of `path` into `store`.
void KReadModelOptions(const char* path, KDatabaseOptions& store);
// Rewrites `path` with `store` in place of its options object.
void KSaveModelOptions(const char* path, const KDatabaseOptions& store);
