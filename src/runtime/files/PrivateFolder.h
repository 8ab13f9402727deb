#pragma once

#include <string>

namespace anthora {

// A new folder that only this user can enter (mode 0700), made under a parent folder with a
// name that starts with a prefix and ends in six random characters; removed with everything in
// it when the object goes.
class PrivateFolder {
 public:
  // Throws std::system_error naming the parent when the folder cannot be made.
  PrivateFolder(const std::string& parent, const std::string& prefix);
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;
  ~PrivateFolder();

  const std::string& Path() const { return FPath; }
  // The path of a name inside the folder.
  std::string operator/(const std::string& name) const { return FPath + '/' + name; }

 private:
  std::string FPath;
};

// Removes a file or a folder with everything in it; symbolic links are removed, never followed.
// Failures are ignored: this is clean-up.
void RemoveTree(const std::string& path);

}  // namespace anthora
