// The one zip reader: archives that common tools make are read, and every limit of its policy
// refuses what goes beyond it, by name and reason.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "runtime/files/ZipArchive.h"
#include "support/TempDir.h"
#include "support/ZipBytes.h"

namespace anthora {
namespace {

using test::ZipBytes;
using test::ZipPart;
using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::Field;
using ::testing::HasSubstr;

constexpr std::uint64_t kBudget = std::uint64_t{8} << 20;

// The reason the archive is refused at opening, at checking all entries or at reading them
// all; empty when it is read whole.
std::string Refusal(const std::string& bytes, std::uint64_t budget = kBudget) {
  try {
    ZipArchive archive(bytes, budget);
    archive.CheckAll();
    for (const ZipEntry& entry : archive.Entries()) archive.Read(entry);
  } catch (const ZipError& error) {
    return error.what();
  }
  return {};
}

void PutLittle(std::string& bytes, std::size_t at, std::uint64_t value, int count) {
  for (int i = 0; i < count; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// The unpacked size of the first entry changed in both of its headers, the bytes unchanged.
std::string Declared(std::string bytes, std::uint32_t size) {
  PutLittle(bytes, 22, size, 4);
  PutLittle(bytes, bytes.find("PK\1\2") + 24, size, 4);
  return bytes;
}

TEST(ZipArchive, NamesThatLeaveTheArchiveAreRefused) {
  for (const auto& [name, reason] : std::vector<std::pair<std::string, std::string>>{
           {"/etc/passwd", "'/etc/passwd' is an absolute name"},
           {"ris/../../x", "'ris/../../x' climbs out of its folder with '..'"},
           {"..\\x", "'../x' climbs out of its folder with '..'"},
           {"ris//x", "'ris//x' is not a plain name"},
           {"ris/\x1b[2Jx", "'ris/\\x1B[2Jx' has a control character in its name"},
           {std::string(1025, 'a'), "'" + std::string(40, 'a') + "…' is longer than 1024 bytes"},
       })
    EXPECT_EQ(Refusal(ZipBytes({{"ok", "x"}, {name, "x"}})), reason) << name;
  // A backslash is a folder's separator, as archives made on another system have it.
  const ZipArchive archive(ZipBytes({{"xl\\workbook.xml", "x"}, {"ris/", ""}}), kBudget);
  EXPECT_THAT(
      archive.Entries(),
      ElementsAre(AllOf(Field(&ZipEntry::Name, "xl/workbook.xml"), Field(&ZipEntry::Folder, false)),
                  AllOf(Field(&ZipEntry::Name, "ris/"), Field(&ZipEntry::Folder, true))));
  // A name as long as allowed is taken.
  EXPECT_EQ(Refusal(ZipBytes({{std::string(kZipMaxNameBytes, 'a'), "x"}})), "");
}

TEST(ZipArchive, SizesCountsAndPackingAreBounded) {
  // More entries than the policy allows: refused before the library reserves room for them,
  // also when only the end record claims them.
  std::vector<ZipPart> crowded;
  for (std::uint64_t i = 0; i <= kZipMaxEntries; ++i) crowded.push_back({std::to_string(i), ""});
  EXPECT_EQ(Refusal(ZipBytes(crowded)), "holds more than 10000 entries");
  std::string claiming = ZipBytes({{"a", "x"}});
  PutLittle(claiming, claiming.size() - 12, 60'000, 2);
  PutLittle(claiming, claiming.size() - 14, 60'000, 2);
  EXPECT_EQ(Refusal(claiming), "holds more than 10000 entries");
  // A 64-bit end record in an entry's bytes that the library would make room for.
  std::string end64 = std::string("PK\6\6", 4) + std::string(52, '\0');
  PutLittle(end64, 24, 1'000'000'000, 8);
  PutLittle(end64, 32, 1'000'000'000, 8);
  std::string locator = std::string("PK\6\7", 4) + std::string(16, '\0');
  PutLittle(locator, 8, 31, 8);  // where the entry's bytes start
  ZipPart inside{"a", end64 + locator + "PK\5\6" + std::string(18, '\0')};
  inside.Stored = true;
  EXPECT_EQ(Refusal(ZipBytes({inside})), "holds more than 10000 entries");

  // Packed too tightly, larger than the budget, each and all together.
  EXPECT_EQ(Refusal(ZipBytes({{"zeros", std::string(4u << 20, '\0')}})),
            "'zeros' unpacks to more than 200 times its packed size");
  std::string noise(3u << 20, '\0');
  for (std::size_t i = 0, seed = 7; i < noise.size(); ++i, seed = seed * 1103515245 + 12345)
    noise[i] = static_cast<char>(seed >> 16);
  EXPECT_EQ(Refusal(ZipBytes({{"a", noise}}), 2u << 20), "'a' unpacks to more than 2 MiB");
  EXPECT_EQ(Refusal(ZipBytes({{"a", noise}, {"b", noise}, {"c", noise}})),
            "unpacks to more than 8 MiB in all");

  // The sizes in the headers are not trusted: the bytes are counted as they come.
  EXPECT_EQ(Refusal(Declared(ZipBytes({{"a", std::string(1000, 'a')}}), 10)),
            "'a' holds more than its header says");
  EXPECT_EQ(Refusal(Declared(ZipBytes({{"a", std::string(1000, 'a')}}), 5000)),
            "'a' holds less than its header says");
}

// The end record is the last whose central directory lies just before it: what only looks like
// one, in an entry's bytes or the comment, or a 64-bit locator that leads nowhere, does not
// count. Bytes in front of an archive, as a self-extracting one has, are passed over.
TEST(ZipArchive, TheEndRecordIsFoundAsTheFormatSays) {
  // Looks like an end record claiming 65535 entries, and a 64-bit locator pointing nowhere.
  const std::string lookalike =
      std::string("PK\5\6\0\0\0\0\xff\xff\xff\xff", 12) + std::string(10, '\0');
  const std::string locator = std::string("PK\6\7\0\0\0\0\x10\0\0\0\0\0\0\0\1\0\0\0", 20);
  const auto stored = [](std::vector<ZipPart> parts) {
    for (ZipPart& part : parts) part.Stored = true;
    return ZipBytes(parts);
  };
  std::string commented = ZipBytes({{"a", "the text of a"}});
  commented += lookalike;
  PutLittle(commented, commented.size() - 24, lookalike.size(), 2);  // the comment's length
  const std::string sound = ZipBytes({{"a", "the text of a"}, {"b", "b"}});
  const struct {
    std::string Name, Bytes;
    std::size_t Entries;
    std::string First;  // the first entry's text
  } cases[] = {
      {"end record in an entry", stored({{"a", "x" + lookalike}}), 1, "x" + lookalike},
      {"locator and end record in entries",
       stored({{"a", locator + lookalike}, {"b", "b"}, {"c", lookalike + lookalike}}), 3,
       locator + lookalike},
      {"end record in the comment", commented, 1, "the text of a"},
      {"bytes in front", "#!/bin/sh\nexit 0\n" + std::string(5000, 'x') + sound, 2,
       "the text of a"},
      {"end record in the bytes in front", "MZ" + lookalike + locator + sound, 2, "the text of a"},
  };
  const test::TempDir dir;
  for (const auto& c : cases) {
    EXPECT_EQ(Refusal(c.Bytes), "") << c.Name;
    EXPECT_EQ(ZipArchive(c.Bytes, kBudget).Entries().size(), c.Entries) << c.Name;
    ZipArchive file = ZipArchive::OpenFile(dir.Write("a.zip", c.Bytes), kBudget);
    EXPECT_EQ(file.Read(file.Entries()[0]), c.First) << c.Name;
  }
}

TEST(ZipArchive, LinksSpecialFilesAndDamageAreRefused) {
  EXPECT_EQ(Refusal(ZipBytes({{"ris/x", "/etc/passwd", 0120777}})), "'ris/x' is a symbolic link");
  EXPECT_EQ(Refusal(ZipBytes({{"ris/x", "", 0010644}})), "'ris/x' is a special file");
  EXPECT_EQ(Refusal(ZipBytes({{"ris/x", "", 0040755}})), "'ris/x' is a folder and a file at once");

  EXPECT_EQ(Refusal(""), "not a zip archive");
  EXPECT_EQ(Refusal("PK\1\2 and then nothing of a zip"), "not a zip archive");
  // Cut short anywhere after its first entry's header: incomplete, and said so by its own type.
  const std::string sound = ZipBytes({{"a", "the text of a"}, {"b", "the text of b"}});
  for (const std::size_t kept : {std::size_t{4}, std::size_t{40}, sound.size() - 30}) {
    EXPECT_THROW(ZipArchive(sound.substr(0, kept), kBudget), ZipIncomplete) << kept;
    EXPECT_EQ(Refusal(sound.substr(0, kept)),
              "incomplete: it stops before the end of the zip archive");
  }
  std::string flipped = sound;
  flipped[40] = static_cast<char>(flipped[40] ^ 0x55);  // inside the packed bytes
  EXPECT_THAT(Refusal(flipped), HasSubstr("'a' is damaged ("));
}

// Archives made by Info-ZIP: written into a pipe (sizes in data descriptors after the data),
// with 64-bit records forced, with a 64-bit end record whose 16-bit counts say "see there", and
// with bytes in front.
TEST(ZipArchive, ArchivesCommonToolsMakeAreRead) {
  if (std::system("command -v zip >/dev/null") != 0) GTEST_SKIP() << "no zip command";
  const test::TempDir dir;
  dir.Write("ris/fen.ani", "1\r\nfen\r\n");
  dir.Write("ris/a.jpg", std::string(5000, 'j'));
  const std::string in = "cd '" + dir.Path().string() + "' && ";
  ASSERT_EQ(std::system(
                (in + "zip -q -r - ris | cat > piped.zip && zip -q -r -fz forced.zip ris").c_str()),
            0);
  std::string counted = test::ReadFile(dir.Path() / "forced.zip");
  ASSERT_EQ(counted.compare(counted.size() - 22, 4, "PK\5\6"), 0);
  PutLittle(counted, counted.size() - 14, 0xffff, 2);
  PutLittle(counted, counted.size() - 12, 0xffff, 2);
  const std::string zip64Counts = dir.Write("counted.zip", counted);
  ASSERT_EQ(std::system(("unzip -tq '" + zip64Counts + "' >/dev/null").c_str()), 0);

  // With bytes in front, as a self-extracting archive has them.
  const std::string fronted =
      dir.Write("fronted.zip", std::string(3000, '#') + test::ReadFile(dir.Path() / "forced.zip"));
  // unzip passes it with a warning about those bytes.
  ASSERT_EQ(std::system(("unzip -tq '" + fronted + "' >/dev/null 2>&1").c_str()), 1 << 8);

  for (const char* name : {"piped.zip", "forced.zip", "counted.zip", "fronted.zip"}) {
    ZipArchive archive = ZipArchive::OpenFile((dir.Path() / name).string(), kBudget);
    archive.CheckAll();
    const ZipEntry* entry = archive.Find("ris/fen.ani");
    ASSERT_NE(entry, nullptr) << name;
    EXPECT_EQ(archive.Read(*entry), "1\r\nfen\r\n") << name;
    EXPECT_EQ(archive.Read(*archive.Find("ris/a.jpg")), std::string(5000, 'j')) << name;
  }
}

}  // namespace
}  // namespace anthora
