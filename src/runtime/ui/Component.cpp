#include "runtime/ui/Component.h"

#include <algorithm>

#include "runtime/files/PropertyValue.h"

namespace anthora {

TComponent::TComponent(TComponent* owner) : FOwner(owner) {
  if (FOwner) FOwner->FComponents.push_back(this);
}

TComponent::~TComponent() {
  DestroyComponents();
  if (FOwner) std::erase(FOwner->FComponents, this);
}

void TComponent::DestroyComponents() {
  while (!FComponents.empty()) delete FComponents.back();  // each removes itself
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  const auto found = std::find_if(FComponents.begin(), FComponents.end(),
                                  [name](const TComponent* c) { return c->Name() == name; });
  return found == FComponents.end() ? nullptr : *found;
}

bool TComponent::SetProperty(std::string_view name, const PropertyValue& value) {
  if (name == "Name") {
    SetName(value.AsString());
  } else if (name == "Tag") {
    Tag = value.AsInteger();
  } else {
    return false;
  }
  return true;
}

}  // namespace anthora
