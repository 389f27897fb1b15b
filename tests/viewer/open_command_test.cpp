// File > Open and File > Save through the viewer's commands, without a window: what each
// loader makes of names that are not regular files, of a missing file, of a refused QAV file
// followed by Save, and of a re-decode that fails.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "graphic_errors.h"
#include "open_command.h"
#include "reiterate.h"
#include "save_command.h"
#include "scratch_files.h"

namespace {

// Opens path with a fresh state whose hand-over folder is `handOver`; returns the error raised.
template <typename Error>
Error OpenExpecting(const std::string& path, const std::string& handOver) {
  TViewerState state;
  state.HandOverFolder = handOver;
  state.ConverterPath = "/nonexistent/picconv";
  try {
    OpenImageFile(state, path);
  } catch (const Error& error) {
    return error;
  }
  ADD_FAILURE() << path << " was opened";
  return Error(path, "");
}

TEST(OpenCommand, NamesThatAreNotRegularFilesAreRefusedWithoutWaitingOrReading) {
  TemporaryFolder folder;
  TemporaryFolder handOver;
  for (const char* extension : {".qav", ".bmp", ".gif"}) {
    const std::string pipe = folder.File(std::string("pipe") + extension);
    const std::string directory = folder.File(std::string("folder") + extension);
    const std::string device = folder.File(std::string("zero") + extension);
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    ASSERT_EQ(mkdir(directory.c_str(), 0700), 0);
    ASSERT_EQ(symlink("/dev/zero", device.c_str()), 0);
    for (const std::string& path : {pipe, directory, device}) {
      SCOPED_TRACE(path);
      const EFOpenError error = OpenExpecting<EFOpenError>(path, handOver.Path());
      EXPECT_EQ(std::string(error.what()), "Cannot open file " + path);
      EXPECT_NE(error.Detail().find("not a regular file"), std::string::npos) << error.Detail();
    }
  }
  // Nothing was handed over to the converter.
  EXPECT_NE(access(handOver.File("picconv.gif").c_str(), F_OK), 0);
}

TEST(OpenCommand, AMissingFileSaysWhy) {
  TemporaryFolder folder;
  for (const char* name : {"missing.qav", "missing.bmp", "missing.gif"}) {
    const std::string path = folder.File(name);
    const EFOpenError error = OpenExpecting<EFOpenError>(path, folder.Path());
    EXPECT_EQ(std::string(error.what()), "Cannot open file " + path);
    EXPECT_NE(error.Detail().find("o such file"), std::string::npos) << error.Detail();
  }
}

TEST(SaveCommand, ARefusedQavFileLeavesNothingToSaveAndTheTargetAlone) {
  TemporaryFolder folder;
  const std::string refused = folder.File("bad.qav");
  WriteWholeFile(refused, {'Q', 'A', 'V', 0, 0x31});  // cut short in its header
  const std::string existing = folder.File("keep.bmp");
  const std::vector<uint8_t> kept = ReadWholeFile(std::string(SAMPLES_DIR) + "/chelsea-1bit.bmp");
  WriteWholeFile(existing, kept);

  TViewerState state;
  OpenImageFile(state, std::string(SAMPLES_DIR) + "/chelsea-1bit.bmp");
  EXPECT_THROW(OpenImageFile(state, refused), EInvalidGraphic);
  EXPECT_THROW(SaveImageFile(state, existing), ENoPictureToSave);
  EXPECT_EQ(ReadWholeFile(existing), kept);
}

TEST(ReiterateCommand, AFailedReDecodeIsReportedAndLeavesThePictureAlone) {
  TViewerState state;
  OpenImageFile(state, std::string(SAMPLES_DIR) + "/astronaut-fractal-8px.qav");
  TQAV& record = *state.CurrentQAV;
  const std::vector<uint8_t> shown(record.bitmap->RowData(0),
                                   record.bitmap->RowData(0) + 3 * record.width);
  record.domainIndices[0] = 0xFFFF;  // names no domain block
  const QavStatus status = Reiterate(&record, 4);
  EXPECT_EQ(status, QavCode::BadDomainIndex);
  EXPECT_EQ(
      std::vector<uint8_t>(record.bitmap->RowData(0), record.bitmap->RowData(0) + 3 * record.width),
      shown);

  TViewerState bitmapOnly;
  bitmapOnly.CurrentQAV = std::make_unique<TQAV>();
  EXPECT_EQ(Reiterate(bitmapOnly.CurrentQAV.get(), 4), QavCode::NoFractalParameters);
}

}  // namespace
