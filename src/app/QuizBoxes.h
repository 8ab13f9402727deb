#pragma once

// The boxes and the progress window of making a quiz from a file manager, in the program's own
// windows and the user's language.
#include <optional>
#include <string>

#include "authoring/SetBuilder.h"
#include "runtime/ui/Forms.h"

namespace anthora {

// The boxes about one folder, each titled with the command's name and the folder's.
class Boxes {
 public:
  Boxes(TApplication& application, const std::string& folder);

  void Tell(const std::string& text, bool error = false);
  bool Ask(const std::string& text);
  // One of the choices named, or the last one (pressed by Escape) when the box was closed; a
  // middle one only when named, the second middle one after the first.
  enum class Choice { First, Middle, SecondMiddle, Last };
  Choice Choose(const std::string& text, const std::string& first, const std::string& last,
                const std::string& middle = {}, const std::string& secondMiddle = {});
  const std::string& Title() const { return FTitle; }

 private:
  TApplication& FApplication;
  std::string FTitle;  // in the runtime's single-byte text
};

// Makes the set in memory on other threads, showing its progress once it takes a while; none
// when the teacher cancelled it or the desktop closed its window.
std::optional<MadeSet> MakeWithProgress(TApplication& application, const Boxes& boxes,
                                        const std::string& source);

}  // namespace anthora
