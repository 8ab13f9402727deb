// A program is run from a folder beside this one only when no other user could have put it
// there: the folder and those above it, up to the one they share with this program's, belong
// to root or the user and no one else can write in them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "runtime/base/System.h"
#include "support/TempDir.h"

namespace anthora {
namespace {

namespace fs = std::filesystem;

TEST(UntrustedFolder, OnlyFoldersNoOtherUserCanChangeUpToTheProgramsOwn) {
  const test::TempDir temp;
  const fs::path prefix = temp.Path() / "prefix";
  const fs::path bin = prefix / "bin";
  const fs::path helpers = prefix / "libexec/anthora";
  fs::create_directories(bin);
  fs::create_directories(helpers);
  ASSERT_EQ(chmod(temp.Path().c_str(), 0777), 0);  // above the shared folder: not looked at
  struct Case {
    const char* What;
    fs::path Changed;
    mode_t Mode;
    bool Trusted;
  };
  for (const Case& c : {Case{"all the user's own", prefix, 0755, true},
                        {"the helpers' folder open to all", helpers, 0777, false},
                        {"its parent open to the user's own group", prefix / "libexec", 0775, true},
                        {"the shared folder open to all but sticky", prefix, 01777, false},
                        {"the program's own folder open to all", bin, 0777, false}}) {
    ASSERT_EQ(chmod(c.Changed.c_str(), c.Mode), 0);
    const fs::path folder = c.Changed == bin ? bin : helpers;
    EXPECT_EQ(UntrustedFolder((bin / "../libexec/anthora").string(), bin.string()).empty() &&
                  UntrustedFolder(bin.string(), bin.string()).empty(),
              c.Trusted)
        << c.What << ": " << UntrustedFolder(folder.string(), bin.string());
    ASSERT_EQ(chmod(c.Changed.c_str(), 0755), 0);
  }
  EXPECT_EQ(UntrustedFolder((prefix / "missing").string(), bin.string()), "");

  // Another group's folder, and another user's, for root.
  if (geteuid() == 0) {
    const fs::path libexec = fs::canonical(prefix / "libexec");
    ASSERT_EQ(chown(libexec.c_str(), 0, 65534), 0);
    ASSERT_EQ(chmod(libexec.c_str(), 0775), 0);
    EXPECT_EQ(UntrustedFolder(helpers.string(), bin.string()),
              "other users can write in '" + libexec.string() + "'");
    ASSERT_EQ(chown(helpers.c_str(), 65534, 65534), 0);
    EXPECT_EQ(UntrustedFolder(helpers.string(), bin.string()),
              "'" + fs::canonical(helpers).string() + "' belongs to another user");
  }
  EXPECT_EQ(UntrustedFolder("/usr/bin", "/usr/bin"), "");
}

}  // namespace
}  // namespace anthora
