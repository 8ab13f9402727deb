#pragma once

#include <functional>
#include <string_view>

namespace anthora {

// A class as the runtime names it: its name and its parent, for ClassName and for tests of
// "is this class or one derived from it".
struct TMetaClass {
  std::string_view Name;
  const TMetaClass* Parent = nullptr;

  bool InheritsFrom(const TMetaClass& ancestor) const {
    for (const TMetaClass* cls = this; cls; cls = cls->Parent) {
      if (cls == &ancestor) return true;
    }
    return false;
  }
};

// The root of the runtime's named classes.
class TObject {
 public:
  static const TMetaClass& StaticClass() {
    static const TMetaClass meta{"TObject"};
    return meta;
  }

  virtual ~TObject() = default;
  virtual const TMetaClass& ClassType() const { return StaticClass(); }
  std::string_view ClassName() const { return ClassType().Name; }
  bool InheritsFrom(const TMetaClass& ancestor) const { return ClassType().InheritsFrom(ancestor); }
};

// Declares StaticClass and ClassType of a class derived from PARENT.
#define ANTHORA_CLASS(NAME, PARENT)                                         \
 public:                                                                    \
  static const ::anthora::TMetaClass& StaticClass() {                       \
    static const ::anthora::TMetaClass meta{#NAME, &PARENT::StaticClass()}; \
    return meta;                                                            \
  }                                                                         \
  const ::anthora::TMetaClass& ClassType() const override {                 \
    return StaticClass();                                                   \
  }

// A handler called with the object that raised the event; an empty one is skipped.
using TNotifyEvent = std::function<void(TObject* sender)>;

}  // namespace anthora
