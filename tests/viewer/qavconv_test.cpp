// qavconv opens and saves exactly as the viewer's commands do: the same bytes on success and
// the same messages on failure.

#include <gtest/gtest.h>

#include <filesystem>

#include "bitmap.h"
#include "scratch_files.h"
#include "suite_checksums.h"
#include "run_process.h"
#include "run_qavconv.h"
#include "user_message.h"

namespace {

namespace fs = std::filesystem;

void WriteSmallBitmap(const std::string& path) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetHeight(3);
  bitmap.SetWidth(5);
  for (int row = 0; row < 3; ++row) {
    for (int byte = 0; byte < 15; ++byte)
      bitmap.RowData(row)[byte] = static_cast<uint8_t>(row * 40 + byte);
  }
  bitmap.SaveToBitmapFile(path);
}

TEST(Qavconv, CommandLine) {
  const ProcessResult help = Qavconv({"--help"});
  EXPECT_EQ(help.exitStatus, 0);
  EXPECT_NE(help.standardOutput.find("usage: qavconv"), std::string::npos);
  EXPECT_EQ(Qavconv({}).exitStatus, 2);
  EXPECT_EQ(Qavconv({"only-one.bmp"}).exitStatus, 2);
  EXPECT_EQ(Qavconv({"a.bmp", "b.bmp", "c.bmp"}).exitStatus, 2);
  EXPECT_EQ(Qavconv({"--iterations"}).exitStatus, 2);
}

TEST(Qavconv, MissingFileGivesTheViewersMessage) {
  TemporaryFolder folder;
  const std::string missing = folder.File("missing.bmp");
  const ProcessResult result = Qavconv({missing, folder.File("out.bmp")});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.standardError.substr(0, result.standardError.find('\n')),
            "Cannot open file " + missing);
  EXPECT_FALSE(fs::exists(folder.File("out.bmp")));
}

TEST(Qavconv, NameOfNoKnownKindIsAnError) {
  TemporaryFolder folder;
  WriteSmallBitmap(folder.File("photo.Bmp"));
  const ProcessResult result = Qavconv({folder.File("photo.Bmp"), folder.File("out.bmp")});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_FALSE(fs::exists(folder.File("out.bmp")));
}

TEST(Qavconv, SavesUnderExactlyTheGivenName) {
  TemporaryFolder folder;
  WriteSmallBitmap(folder.File("in.bmp"));
  for (const char* name : {"out.qav", "out"}) {
    const ProcessResult result = Qavconv({folder.File("in.bmp"), folder.File(name)});
    ASSERT_EQ(result.exitStatus, 0) << result.standardError;
    EXPECT_EQ(ReadWholeFile(folder.File(name)), ReadWholeFile(folder.File("in.bmp"))) << name;
  }
}

// Every file of the public bitmap suite: qavconv writes what the library saves after loading
// it, or fails with the message the library raises.
TEST(Qavconv, BitmapSuiteGivesTheLibrarysResults) {
  const fs::path suite = BmpSuiteFolder();
  TemporaryFolder folder;
  const std::string output = folder.File("out.bmp");
  int files = 0;
  for (const char* group : {"g", "q", "b", "x"}) {
    for (const auto& entry : fs::directory_iterator(suite / group)) {
      if (entry.path().extension() != ".bmp")
        continue;
      ++files;
      const std::string input = entry.path().string();
      std::string expectedError;
      std::vector<uint8_t> expectedBytes;
      try {
        TBitmap bitmap;
        bitmap.LoadFromBitmapFile(input);
        expectedBytes = bitmap.SaveToBitmapBytes();
      } catch (const Exception& error) {
        expectedError = FullMessage(error) + "\n";
      }
      fs::remove(output);
      const ProcessResult result = Qavconv({input, output});
      if (expectedError.empty()) {
        ASSERT_EQ(result.exitStatus, 0) << input << ": " << result.standardError;
        EXPECT_EQ(ReadWholeFile(output), expectedBytes) << input;
      } else {
        EXPECT_EQ(result.exitStatus, 1) << input;
        EXPECT_EQ(result.standardError, expectedError) << input;
      }
    }
  }
  EXPECT_GT(files, 0);
}

}  // namespace
