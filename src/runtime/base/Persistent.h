#pragma once

#include "runtime/base/Object.h"

namespace anthora {

// An object that can take over the contents of another. Assign asks the source to copy
// itself into this object; a class that knows its sources overrides Assign, one that knows
// its targets overrides AssignTo.
class TPersistent : public TObject {
  ANTHORA_CLASS(TPersistent, TObject)

 public:
  // The source is not const: copying out of it may have to build what it copies (decode).
  virtual void Assign(TPersistent& source);

 protected:
  virtual void AssignTo(TPersistent& dest);
  // EConvertError "Cannot assign a <source> to a <this>".
  [[noreturn]] void AssignError(const TPersistent* source) const;
};

}  // namespace anthora
