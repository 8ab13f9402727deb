#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <variant>

#include "platform/Keys.h"
#include "runtime/base/Object.h"

namespace anthora {

enum class TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
using TMouseEvent =
    std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TKeyEvent = std::function<void(TObject* sender, TKey& key, TShiftState shift)>;

// The handler methods of a form by name, for binding the events of a window description.
class EventHandlers {
 public:
  using Handler = std::variant<TNotifyEvent, TMouseMoveEvent>;

  void Add(std::string_view name, Handler handler) { FHandlers[std::string(name)] = handler; }
  const Handler* Find(std::string_view name) const {
    const auto found = FHandlers.find(name);
    return found == FHandlers.end() ? nullptr : &found->second;
  }

 private:
  std::map<std::string, Handler, std::less<>> FHandlers;
};

}  // namespace anthora
