// The viewer's side of the hand-over, with the real converter, without a window.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "gif_bridge.h"
#include "gif_fixtures.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> SmallGif(int w, int h, int seed) {
  return EncodeGif({w, h, DistinctColours(16, seed), 0, {PatternFrame(0, 0, w, h, 16, seed)}});
}

class GifBridge : public testing::Test {
 protected:
  ScratchWorkingDirectory scratch;
  TBitmap target;

  fs::path GifElsewhere(const std::string& name, const std::vector<uint8_t>& bytes) {
    fs::create_directories("elsewhere.gif");
    const fs::path file = scratch.Path() / "elsewhere.gif" / name;
    WriteBytes(file, bytes);
    return file;
  }
};

TEST_F(GifBridge, CopiesTheChosenFileByteForByteAndLoadsTheResult) {
  const std::vector<uint8_t> gif = SmallGif(9, 5, 1);
  ConvertGifThroughPicconv(GifElsewhere("first.gif", gif), PICCONV_PATH, target);
  EXPECT_EQ(ReadBytes("picconv.gif"), gif);
  EXPECT_TRUE(fs::exists("picconv.bmp"));
  EXPECT_EQ(target.GetWidth(), 9);
  EXPECT_EQ(target.GetHeight(), 5);
}

TEST_F(GifBridge, TheSecondOfTwoFilesIsShown) {
  ConvertGifThroughPicconv(GifElsewhere("first.gif", SmallGif(9, 5, 1)), PICCONV_PATH, target);
  const std::vector<uint8_t> second = SmallGif(3, 11, 2);
  ConvertGifThroughPicconv(GifElsewhere("second.gif", second), PICCONV_PATH, target);
  EXPECT_EQ(ReadBytes("picconv.gif"), second);
  EXPECT_EQ(target.GetWidth(), 3);
  EXPECT_EQ(target.GetHeight(), 11);
  const ComposedGif decoded = DecodeGifPicture(second.data(), second.size());
  const PALETTEENTRY& entry = target.GetPalette()->Entries().at(target.RowData(10)[2]);
  EXPECT_EQ((GifRgb{entry.peRed, entry.peGreen, entry.peBlue}), decoded.PixelAt(2, 10));
}

TEST_F(GifBridge, AFailedConversionNeverShowsAnEarlierBitmap) {
  ConvertGifThroughPicconv(GifElsewhere("good.gif", SmallGif(9, 5, 1)), PICCONV_PATH, target);
  const fs::path empty = GifElsewhere("empty.gif", {});
  try {
    ConvertGifThroughPicconv(empty, PICCONV_PATH, target);
    FAIL() << "converted";
  } catch (const EGifConversionError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot convert GIF file " + empty.string());
    // The converter's one-line reason, under the user's file name: neither the converter nor
    // the hand-over file, which the user never chose, is named.
    EXPECT_FALSE(error.Detail().empty());
    EXPECT_EQ(error.Detail().find("picconv"), std::string::npos) << error.Detail();
    EXPECT_EQ(error.Detail().find('\n'), std::string::npos);
  }
  EXPECT_EQ(fs::file_size("picconv.gif"), 0u);
  EXPECT_EQ(target.GetWidth(), 9) << "target left as it was";
}

// Converters that cannot start or end badly, each with the reason the error carries.
TEST_F(GifBridge, ConverterFailuresNameTheReason) {
  const fs::path gif = GifElsewhere("good.gif", SmallGif(4, 4, 0));
  struct Script {
    const char* name;
    const char* body;
    const char* reasonPart;
  };
  const Script scripts[] = {
      {"silent_failure", "exit 3", "status 3"},
      {"crashes", "kill -SEGV $$", "signal"},
      {"says_why", "echo first >&2; echo 'disk on fire' >&2; exit 1", "disk on fire"},
  };
  for (const Script& script : scripts) {
    const fs::path program = scratch.Path() / script.name;
    std::ofstream(program) << "#!/bin/sh\n" << script.body << "\n";
    fs::permissions(program, fs::perms::owner_all);
    try {
      ConvertGifThroughPicconv(gif, program, target);
      ADD_FAILURE() << script.name << " converted";
    } catch (const EGifConversionError& error) {
      EXPECT_NE(error.Detail().find(script.reasonPart), std::string::npos)
          << script.name << ": " << error.Detail();
    }
  }
  try {
    ConvertGifThroughPicconv(gif, scratch.Path() / "no-such-converter", target);
    ADD_FAILURE() << "converted without a converter";
  } catch (const EGifConversionError& error) {
    EXPECT_NE(error.Detail().find("cannot start"), std::string::npos) << error.Detail();
  }
  EXPECT_TRUE(target.Empty());
}

TEST_F(GifBridge, TheHandOverFileItselfIsRefusedUntouched) {
  const std::vector<uint8_t> gif = SmallGif(6, 6, 3);
  WriteBytes("picconv.gif", gif);
  for (const fs::path& chosen : {fs::path("picconv.gif"), scratch.Path() / "picconv.gif"}) {
    try {
      ConvertGifThroughPicconv(chosen, PICCONV_PATH, target);
      ADD_FAILURE() << chosen << " converted";
    } catch (const EFCreateError& error) {
      EXPECT_EQ(std::string(error.what()), "Cannot create file picconv.gif");
    }
  }
  EXPECT_EQ(ReadBytes("picconv.gif"), gif);
}

TEST_F(GifBridge, AMissingChosenFileCannotBeOpened) {
  const fs::path missing = scratch.Path() / "missing.gif";
  try {
    ConvertGifThroughPicconv(missing, PICCONV_PATH, target);
    FAIL() << "converted";
  } catch (const EFOpenError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot open file " + missing.string());
  }
  EXPECT_FALSE(fs::exists("picconv.gif"));
}

TEST(ConverterLookup, FindsTheConverterBesideTheRunningProgram) {
  // The tests are built into the same folder as the converter.
  EXPECT_EQ(fs::path(ConverterForThisProgram()), fs::canonical(PICCONV_PATH));
}

TEST_F(GifBridge, AnInstalledProgramTakesItsOwnHelperOverAPicconvInBin) {
  fs::create_directories("usr/bin");
  const fs::path program = scratch.Path() / "usr/bin/qavconv";
  const fs::path stranger = scratch.Path() / "usr/bin/picconv";
  fs::copy_file(PICCONV_PATH, stranger);
  EXPECT_EQ(ConverterForExecutable(program), stranger) << "no helper installed: the build tree";

  const fs::path helper = scratch.Path() / "usr/libexec/qavshow/picconv";
  fs::create_directories(helper.parent_path());
  WriteBytes(helper, {});
  EXPECT_EQ(ConverterForExecutable(program), stranger) << "a helper that cannot run is no helper";
  fs::permissions(helper, fs::perms::owner_exec, fs::perm_options::add);
  EXPECT_EQ(fs::canonical(ConverterForExecutable(program)), helper);
}

}  // namespace
