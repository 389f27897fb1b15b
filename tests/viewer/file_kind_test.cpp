#include "file_kind.h"

#include <gtest/gtest.h>

#include "viewer_state.h"

namespace {

struct NameCase {
  const char* path;
  int kind;
};

class FileKindTest : public testing::TestWithParam<NameCase> {};

TEST_P(FileKindTest, LastMatchingNameTestWins) {
  EXPECT_EQ(FileKindFromName(GetParam().path), GetParam().kind) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(
    NameTests, FileKindTest,
    testing::Values(NameCase{"/p/photo.qav", fkQAV}, NameCase{"/p/photo.QAV", fkQAV},
                    NameCase{"/p/photo.Qav", fkNone}, NameCase{"/p/photo.png", fkNone},
                    NameCase{"/p/a.gif.bmp", fkBitmap}, NameCase{"/p/a.bmp.gif", fkBitmap},
                    NameCase{"/p/a.qav.gif", fkGIF}, NameCase{"/p/pics.gif/photo.qav", fkGIF},
                    NameCase{"/p/x.BMP", fkBitmap}, NameCase{"/p/x.GIF", fkGIF},
                    NameCase{"/p/photo.qavx", fkQAV}, NameCase{"", fkNone}));

}  // namespace
