#include "runtime/base/Persistent.h"

#include "runtime/base/Exceptions.h"
#include "runtime/base/Format.h"

namespace anthora {

void TPersistent::Assign(TPersistent& source) {
  source.AssignTo(*this);
}

void TPersistent::AssignTo(TPersistent& dest) {
  dest.AssignError(this);
}

void TPersistent::AssignError(const TPersistent* source) const {
  const std::string_view sourceName = source ? source->ClassName() : "nil";
  throw EConvertError(Format("Cannot assign a %s to a %s", {sourceName, ClassName()}));
}

}  // namespace anthora
