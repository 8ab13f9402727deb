#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/Persistent.h"

namespace anthora {

class PropertyValue;

// A named object that may own others: destroying an owner destroys what it owns, the most
// recently inserted first.
class TComponent : public TPersistent {
  ANTHORA_CLASS(TComponent, TPersistent)

 public:
  explicit TComponent(TComponent* owner);
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;
  ~TComponent() override;

  TComponent* Owner() const { return FOwner; }
  const std::string& Name() const { return FName; }
  void SetName(std::string_view name) { FName = name; }
  long Tag = 0;

  const std::vector<TComponent*>& Components() const { return FComponents; }
  TComponent* FindComponent(std::string_view name) const;

  // True while a window description's properties are being set on the component; work
  // that depends on several properties waits for Loaded.
  bool Loading() const { return FLoading; }
  void BeginLoading() { FLoading = true; }
  // Called once the description has set every property of the component.
  virtual void Loaded() { FLoading = false; }

  // Sets a property read from a window description. False when the class has no property
  // of that name; a value of the wrong kind raises an error naming the property.
  virtual bool SetProperty(std::string_view name, const PropertyValue& value);

 protected:
  // Destroys the owned components now, while the owner is still whole.
  void DestroyComponents();

 private:
  TComponent* FOwner = nullptr;
  std::string FName;
  std::vector<TComponent*> FComponents;
  bool FLoading = false;
};

}  // namespace anthora
