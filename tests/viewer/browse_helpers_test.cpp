// The plain parts of the viewer's newer commands: the natural order Go walks, its steps at the
// ends of the list, the zoom steps, and the command line.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "command_line.h"
#include "image_folder.h"
#include "scratch_files.h"
#include "zoom.h"

namespace {

TEST(NaturalOrder, NumbersCompareByValueAndLettersWithoutCase) {
  std::vector<std::string> names = {"a10.bmp", "B1.bmp", "a2.bmp",   "a02.bmp",   "a1.bmp",
                                    "b1.bmp",  "a.bmp",  "a100.bmp", "x9y10.qav", "x9y9.qav"};
  std::sort(names.begin(), names.end(), NaturalLess);
  const std::vector<std::string> expected = {"a.bmp",    "a1.bmp",   "a02.bmp", "a2.bmp",
                                             "a10.bmp",  "a100.bmp", "B1.bmp",  "b1.bmp",
                                             "x9y9.qav", "x9y10.qav"};
  EXPECT_EQ(names, expected);
}

TEST(NaturalOrder, LongRunsOfDigitsDoNotOverflow) {
  EXPECT_TRUE(NaturalLess("p99999999999999999999", "p100000000000000000000"));
  EXPECT_FALSE(NaturalLess("p100000000000000000000", "p99999999999999999999"));
}

TEST(ImageFolder, ListsRecognisedFilesInNaturalOrder) {
  const TemporaryFolder scratch;
  const std::filesystem::path folder = scratch.Path();
  for (const char* name :
       {"a10.bmp", "a2.bmp", "a1.bmp", "c.qav", "b.GIF", "notes.txt", "photo.Qav", "d.png"}) {
    std::ofstream(folder / name) << "x";
  }
  std::filesystem::create_directory(folder / "sub.bmp");
  const std::vector<std::string> files = RecognisedFilesInFolder(folder.string());
  std::vector<std::string> names;
  for (const std::string& path : files)
    names.push_back(std::filesystem::path(path).filename().string());
  EXPECT_EQ(names, (std::vector<std::string>{"a1.bmp", "a2.bmp", "a10.bmp", "b.GIF", "c.qav"}));
  EXPECT_EQ(std::filesystem::path(files.front()).parent_path(), folder);
  EXPECT_TRUE(RecognisedFilesInFolder((folder / "missing").string()).empty());
}

TEST(GoSteps, StopAtTheEndsAndNeverLeadToTheFileShown) {
  const std::vector<std::string> list = {"/p/a1.bmp", "/p/a2.bmp", "/p/a10.bmp"};
  struct Case {
    std::string current;
    TGoStep step;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {"/p/a1.bmp", TGoStep::Next, "/p/a2.bmp"},
      {"/p/a2.bmp", TGoStep::Next, "/p/a10.bmp"},
      {"/p/a10.bmp", TGoStep::Next, std::nullopt},
      {"/p/a10.bmp", TGoStep::Previous, "/p/a2.bmp"},
      {"/p/a1.bmp", TGoStep::Previous, std::nullopt},
      {"/p/a2.bmp", TGoStep::First, "/p/a1.bmp"},
      {"/p/a2.bmp", TGoStep::Last, "/p/a10.bmp"},
      {"/p/a1.bmp", TGoStep::First, std::nullopt},
      {"/p/a10.bmp", TGoStep::Last, std::nullopt},
      {"/elsewhere.bmp", TGoStep::Next, std::nullopt},
      {"/elsewhere.bmp", TGoStep::First, "/p/a1.bmp"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StepThrough(list, c.current, c.step), c.expected)
        << c.current << " step " << static_cast<int>(c.step);
  }
  EXPECT_EQ(StepThrough({}, "/p/a1.bmp", TGoStep::First), std::nullopt);
}

TEST(Zoom, StepsDoubleAndHalveBetweenOneSixteenthAndThirtyTwo) {
  TZoom zoom;
  EXPECT_EQ(zoom.PercentText(), "100 %");
  for (int i = 0; i < 8; ++i)
    zoom = zoom.In();
  EXPECT_EQ(zoom.PercentText(), "3200 %");
  EXPECT_EQ(zoom.ToScreen(7), 224);
  EXPECT_EQ(zoom.ToPicture(63), 1);
  for (int i = 0; i < 12; ++i)
    zoom = zoom.Out();
  EXPECT_EQ(zoom.PercentText(), "6.25 %");
  // A partly covered last block still gets its screen pixel.
  EXPECT_EQ(zoom.ToScreen(33), 3);
  EXPECT_EQ(zoom.ToPicture(2), 32);
  // A very long enlarged side is cut at the largest widget rather than overflowing.
  EXPECT_EQ(TZoom::FromExponent(5).ToScreen(1 << 30), (1 << 24) - 1);
}

TEST(Zoom, FitShrinksOnlyAndShowsTheWholePicture) {
  EXPECT_EQ(TZoom::ToFit(100, 50, 426, 230), TZoom());
  EXPECT_EQ(TZoom::ToFit(1000, 300, 426, 230), TZoom::FromExponent(-2));
  EXPECT_EQ(TZoom::ToFit(426, 231, 426, 230), TZoom::FromExponent(-1));
  EXPECT_EQ(TZoom::ToFit(100000, 10, 426, 230), TZoom::FromExponent(-4));
}

TEST(CommandLine, FilesOptionsAndTheirRefusal) {
  using Action = TCommandLine::Action;
  EXPECT_EQ(ParseCommandLine({}).action, Action::ShowWindow);
  const TCommandLine files = ParseCommandLine({"a1.bmp", "-", "--", "--help", "-x.qav"});
  EXPECT_EQ(files.action, Action::ShowWindow);
  EXPECT_EQ(files.files, (std::vector<std::string>{"a1.bmp", "-", "--help", "-x.qav"}));
  EXPECT_EQ(ParseCommandLine({"a.bmp", "--help"}).action, Action::PrintHelp);
  EXPECT_EQ(ParseCommandLine({"-h"}).action, Action::PrintHelp);
  EXPECT_EQ(ParseCommandLine({"--version"}).action, Action::PrintVersion);
  // Help wins over an unknown option before it, so "qavshow --bad --help" still helps.
  EXPECT_EQ(ParseCommandLine({"--bad", "--help"}).action, Action::PrintHelp);
  const TCommandLine refused = ParseCommandLine({"a.bmp", "--bad"});
  EXPECT_EQ(refused.action, Action::Refuse);
  EXPECT_EQ(refused.complaint, "The option --bad is not known.");
}

}  // namespace
