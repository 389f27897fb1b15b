#include "properties_report.h"

#include <gtest/gtest.h>

namespace {

void ShowBitmap(TViewerState& state, int format, int width, int height) {
  TBitmap source;
  source.SetPixelFormat(format);
  source.SetHeight(height);
  source.SetWidth(width);
  state.Picture.AssignBitmap(source);
  state.CurrentBitmap = &state.Picture.GetBitmap();
}

TEST(PropertiesReport, SixLinesForABitmap) {
  TViewerState state;
  ShowBitmap(state, pf24bit, 640, 480);
  const std::vector<std::string> expected = {
      "------------------------------", "Memory storage: Windows Bitmap",
      "------------------------------", "X size (pixels):  640",
      "Y size         :  480",          "Format         :  24 bit, RGB TrueColor"};
  EXPECT_EQ(PropertiesReportLines(state), expected);
}

TEST(PropertiesReport, QAVStorageDependsOnlyOnTheCurrentRecord) {
  TViewerState state;
  state.CurrentQAV = std::make_unique<TQAV>();
  state.Picture.AssignBitmap(*state.CurrentQAV->bitmap);
  state.CurrentBitmap = &state.Picture.GetBitmap();
  const auto lines = PropertiesReportLines(state);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[1], "Memory storage: QAV class 1   ");
  EXPECT_EQ(lines[3], "X size (pixels):  0");
  EXPECT_EQ(lines[4], "Y size         :  0");
  EXPECT_EQ(lines[5], "Format         :  Unknown");
}

TEST(PropertiesReport, BeforeAnyPictureReportsTheEmptyPicture) {
  TViewerState state;
  const auto lines = PropertiesReportLines(state);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[1], "Memory storage: Windows Bitmap");
  EXPECT_EQ(lines[3], "X size (pixels):  0");
  EXPECT_EQ(lines[5], "Format         :  Unknown");
}

TEST(PropertiesReport, FormatTexts) {
  const char* const expected[] = {"Unknown",
                                  "1 bit, monochrome",
                                  "4 bit, palette, 16 color",
                                  "8 bit, palette, 256 color",
                                  "15 bit, RGB HiColor",
                                  "16 bit, RGB HiColor",
                                  "24 bit, RGB TrueColor",
                                  "32 bit, RGB TrueColor",
                                  "Unknown",
                                  "Unknown"};
  for (int ordinal = 0; ordinal < 10; ++ordinal) {
    EXPECT_EQ(PixelFormatText(ordinal), expected[ordinal]) << ordinal;
  }
}

}  // namespace
