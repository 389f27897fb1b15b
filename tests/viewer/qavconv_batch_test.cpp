// qavconv over many files: PNG output equal to the bitmap output, failures that leave no file,
// exit statuses, output that never appears half-written, and the same files whatever -j.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <thread>

#include "bitmap.h"
#include "pixel_colours.h"
#include "png_reading.h"
#include "run_process.h"
#include "run_qavconv.h"
#include "scratch_files.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> FilesIn(const fs::path& folder) {
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(folder))
    files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  return files;
}

// Every sample picture and every file the bitmap reader's tests read.
std::vector<std::string> PicturesToConvert() {
  std::vector<std::string> files;
  for (const std::string& sample : FilesIn(SAMPLES_DIR)) {
    if (fs::path(sample).extension() != ".md")
      files.push_back(sample);
  }
  for (const char* group : {"g", "q", "b", "x"}) {
    for (const std::string& fixture : FilesIn(fs::path(BMPSUITE_FIXTURES_DIR) / group))
      files.push_back(fixture);
  }
  return files;
}

std::vector<std::string> Joined(std::vector<std::string> front,
                                const std::vector<std::string>& back) {
  front.insert(front.end(), back.begin(), back.end());
  return front;
}

int IndexAt(const uint8_t* row, int x, int bitsPerPixel) {
  const int bit = x * bitsPerPixel;
  const int shift = 8 - bitsPerPixel - bit % 8;
  return (row[bit / 8] >> shift) & ((1 << bitsPerPixel) - 1);
}

// The PNG holds the bitmap's picture: its palette and indices for palette pictures, else the
// colours of its pixels as red, green, blue bytes.
void ExpectSamePicture(const DecodedPng& png, const TBitmap& bitmap, const std::string& name) {
  ASSERT_EQ(png.width, static_cast<uint32_t>(bitmap.GetWidth())) << name;
  ASSERT_EQ(png.height, static_cast<uint32_t>(bitmap.GetHeight())) << name;
  const int bits = bitmap.BitsPerPixel();
  if (bitmap.GetPalette() != nullptr && bits <= 8) {
    ASSERT_EQ(png.colourType, 3) << name;
    ASSERT_EQ(png.bitDepth, bits) << name;
    const std::vector<PALETTEENTRY>& entries = bitmap.GetPalette()->Entries();
    ASSERT_EQ(png.palette.size(), size_t{1} << bits) << name;
    for (size_t i = 0; i < png.palette.size(); ++i) {
      const uint32_t expected = i < entries.size()
                                    ? (uint32_t{entries[i].peRed} << 16) |
                                          (uint32_t{entries[i].peGreen} << 8) | entries[i].peBlue
                                    : 0;
      ASSERT_EQ(png.palette[i], expected) << name << " palette entry " << i;
    }
    for (int y = 0; y < bitmap.GetHeight(); ++y) {
      for (int x = 0; x < bitmap.GetWidth(); ++x) {
        ASSERT_EQ(IndexAt(&png.rows[y * png.rowBytes], x, bits),
                  IndexAt(bitmap.RowData(y), x, bits))
            << name << " at " << x << "," << y;
      }
    }
    return;
  }
  ASSERT_EQ(png.colourType, 2) << name;
  ASSERT_EQ(png.bitDepth, 8) << name;
  std::vector<uint32_t> colours(static_cast<size_t>(bitmap.GetWidth()));
  for (int y = 0; y < bitmap.GetHeight(); ++y) {
    ConvertRowToXrgb32(bitmap, y, colours.data());
    const uint8_t* row = &png.rows[y * png.rowBytes];
    for (int x = 0; x < bitmap.GetWidth(); ++x) {
      const uint32_t got =
          (uint32_t{row[3 * x]} << 16) | (uint32_t{row[3 * x + 1]} << 8) | row[3 * x + 2];
      ASSERT_EQ(got, colours[x] & 0xFFFFFF) << name << " at " << x << "," << y;
    }
  }
}

// Every picture converted to PNG and to bitmap in two runs: where one format is written so is
// the other, and the PNG holds exactly the picture of the bitmap, with no chunks beyond the
// ones a viewer needs. Files that cannot be shown fail alone, with one line naming them, and
// leave nothing behind; the run then ends with status 1.
TEST(QavconvBatch, PngHoldsThePictureOfTheBitmapForEverySampleAndReaderFixture) {
  TemporaryFolder folder;
  const std::vector<std::string> inputs = PicturesToConvert();
  const std::string pngFolder = folder.File("png");
  const std::string bmpFolder = folder.File("bmp");
  const ProcessResult png = Qavconv(Joined({"-q", "-j", "2", "-o", pngFolder, "--"}, inputs));
  const ProcessResult bmp =
      Qavconv(Joined({"-q", "-o", bmpFolder, "--format", "bmp", "--"}, inputs));
  int failures = 0;
  int pngFailures = 0;
  for (const std::string& input : inputs) {
    const std::string stem = fs::path(input).stem().string();
    const std::string pngFile = pngFolder + "/" + stem + ".png";
    const std::string bmpFile = bmpFolder + "/" + stem + ".bmp";
    const bool failed = !fs::exists(bmpFile);
    // An empty picture is saved as a bitmap of zero bytes, but a PNG cannot hold it.
    const bool empty = !failed && fs::file_size(bmpFile) == 0;
    EXPECT_EQ(fs::exists(pngFile), !failed && !empty) << input;
    if (failed || empty) {
      failures += failed ? 1 : 0;
      pngFailures += 1;
      EXPECT_NE(png.standardError.find(input), std::string::npos) << input;
      continue;
    }
    TBitmap bitmap;
    bitmap.LoadFromBitmapFile(bmpFile);
    const std::vector<uint8_t> pngBytes = ReadWholeFile(pngFile);
    const std::vector<std::string> chunks = PngChunkTypes(pngBytes);
    for (const std::string& chunk : chunks)
      EXPECT_TRUE(chunk == "IHDR" || chunk == "PLTE" || chunk == "IDAT" || chunk == "IEND")
          << input << " has " << chunk;
    ExpectSamePicture(DecodePng(pngBytes), bitmap, input);
  }
  EXPECT_GT(failures, 0) << "the reader's fixtures hold files that cannot be shown";
  EXPECT_EQ(png.exitStatus, 1);
  EXPECT_EQ(bmp.exitStatus, 1);
  EXPECT_EQ(std::count(png.standardError.begin(), png.standardError.end(), '\n'), pngFailures);
  // Only finished files under their final names: no temporary file is left.
  EXPECT_EQ(FilesIn(bmpFolder).size(), inputs.size() - failures);
}

struct CommandLineCase {
  const char* what;
  std::vector<std::string> arguments;  // "@" stands for the scratch folder
  int exitStatus;
};

// Wrong command lines end with status 2 and convert nothing; the folder named by -o is not
// even made.
TEST(QavconvBatch, ExitStatusesOfCommandLines) {
  const std::string sample = std::string(SAMPLES_DIR) + "/coffee-rle-8bit.qav";
  const std::string twin = std::string(SAMPLES_DIR) + "/coffee-8bit.bmp";
  const std::vector<CommandLineCase> cases = {
      {"help", {"--help"}, 0},
      {"no files", {"-o", "@/out"}, 2},
      {"unknown format", {"--format", "gif", "-o", "@/out", sample}, 2},
      {"format without folder", {"--format", "png", sample, "@/out.png"}, 2},
      {"zero jobs", {"-j", "0", "-o", "@/out", sample}, 2},
      {"jobs not a number", {"-j", "two", "-o", "@/out", sample}, 2},
      {"unknown option", {"--fast", "-o", "@/out", sample}, 2},
      {"value missing", {sample, "-o"}, 2},
      {"one name without folder", {sample}, 2},
      {"same stem twice", {"-o", "@/out", sample, sample}, 2},
      {"same stem, other folder and kind", {"-o", "@/out", "@/a/pic.qav", "@/b/pic.gif"}, 2},
      {"every file converts", {"-o", "@/out", sample, twin}, 0},
      {"attached values", {"-j2", "--format=bmp", "-o@/out", sample}, 0},
      {"one file missing", {"-o", "@/out", sample, "@/missing.qav"}, 1},
  };
  for (const CommandLineCase& c : cases) {
    TemporaryFolder folder;
    std::vector<std::string> arguments = c.arguments;
    for (std::string& argument : arguments) {
      if (argument.find('@') != std::string::npos)
        argument.replace(argument.find('@'), 1, folder.Path());
    }
    const ProcessResult result = Qavconv(arguments);
    EXPECT_EQ(result.exitStatus, c.exitStatus) << c.what << ": " << result.standardError;
    if (c.exitStatus == 2) {
      EXPECT_FALSE(fs::exists(folder.File("out"))) << c.what;
    }
  }
}

// "--" ends the options, so a file whose name starts with "-" converts.
TEST(QavconvBatch, DoubleDashEndsTheOptions) {
  TemporaryFolder folder;
  fs::copy_file(std::string(SAMPLES_DIR) + "/chelsea-1bit.bmp", folder.File("-chelsea.bmp"));
  const ProcessResult result =
      RunProcess({QAVCONV_PATH, "-o", "out", "--", "-chelsea.bmp"}, folder.Path());
  EXPECT_EQ(result.exitStatus, 0) << result.standardError;
  EXPECT_TRUE(fs::exists(folder.File("out/-chelsea.png")));
}

// --iterations in the folder form decodes every fractal input again, exactly as the one-file
// form does, and leaves other inputs as they are.
TEST(QavconvBatch, IterationsApplyToEveryFractalInput) {
  TemporaryFolder folder;
  const std::vector<std::string> names = {"astronaut-fractal-4px", "astronaut-fractal-8px",
                                          "coffee-huffman"};
  std::vector<std::string> inputs;
  for (const std::string& name : names)
    inputs.push_back(std::string(SAMPLES_DIR) + "/" + name + ".qav");
  ASSERT_EQ(Qavconv(Joined({"--iterations", "1", "-o", folder.File("once")}, inputs)).exitStatus,
            0);
  ASSERT_EQ(Qavconv(Joined({"-o", folder.File("stored")}, inputs)).exitStatus, 0);
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string single = folder.File(names[i] + ".png");
    ASSERT_EQ(Qavconv({"--iterations", "1", inputs[i], single}).exitStatus, 0);
    const std::vector<uint8_t> once = ReadWholeFile(folder.File("once/" + names[i] + ".png"));
    EXPECT_EQ(once, ReadWholeFile(single)) << names[i];
    const bool fractal = names[i].find("fractal") != std::string::npos;
    EXPECT_EQ(once == ReadWholeFile(folder.File("stored/" + names[i] + ".png")), !fractal)
        << names[i];
  }
}

// Conversions at once give the same files as one after another, GIF pictures included (each
// worker hands them to the converter in a folder of its own).
TEST(QavconvBatch, OneJobAndTwoJobsWriteTheSameFiles) {
  TemporaryFolder folder;
  std::vector<std::string> inputs;
  for (const std::string& sample : FilesIn(SAMPLES_DIR)) {
    if (fs::path(sample).extension() == ".md")
      continue;
    for (int copy = 0; copy < 3; ++copy) {
      const fs::path path = sample;
      const std::string name =
          path.stem().string() + "-" + std::to_string(copy) + path.extension().string();
      fs::copy_file(path, folder.File(name));
      inputs.push_back(folder.File(name));
    }
  }
  for (const char* format : {"png", "bmp"}) {
    const std::string one = folder.File(std::string("one-") + format);
    const std::string two = folder.File(std::string("two-") + format);
    ASSERT_EQ(Qavconv(Joined({"-j", "1", "--format", format, "-o", one}, inputs)).exitStatus, 0);
    ASSERT_EQ(Qavconv(Joined({"-j", "2", "--format", format, "-o", two}, inputs)).exitStatus, 0);
    const std::vector<std::string> oneFiles = FilesIn(one);
    ASSERT_EQ(oneFiles.size(), inputs.size());
    for (const std::string& file : oneFiles) {
      const std::string name = fs::path(file).filename().string();
      EXPECT_EQ(ReadWholeFile(file), ReadWholeFile(two + "/" + name)) << name;
    }
  }
}

std::vector<uint8_t> ReadUntilEnd(int descriptor) {
  std::vector<uint8_t> bytes;
  uint8_t chunk[4096];
  for (ssize_t got; (got = read(descriptor, chunk, sizeof chunk)) != 0;) {
    if (got > 0)
      bytes.insert(bytes.end(), chunk, chunk + got);
    else if (errno != EINTR)
      break;
  }
  return bytes;
}

// An output name that is no regular file (a device such as /dev/null, a named pipe) is written
// to, not replaced by a file: the pipe stays a pipe and gets the whole PNG.
TEST(QavconvBatch, PipeUnderTheOutputNameIsWrittenTo) {
  TemporaryFolder folder;
  const std::string pipe = folder.File("out.png");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  // Our own write end keeps the reader from seeing the end before qavconv has written; had
  // qavconv replaced the pipe, closing it ends the read with nothing rather than a hang.
  const int readEnd = open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
  const int holdingWriteEnd = open(pipe.c_str(), O_WRONLY);
  ASSERT_GE(readEnd, 0);
  ASSERT_GE(holdingWriteEnd, 0);
  fcntl(readEnd, F_SETFL, fcntl(readEnd, F_GETFL) & ~O_NONBLOCK);
  std::vector<uint8_t> received;
  std::thread reader([&] { received = ReadUntilEnd(readEnd); });
  const ProcessResult result = Qavconv({std::string(SAMPLES_DIR) + "/chelsea-1bit.bmp", pipe});
  close(holdingWriteEnd);
  reader.join();
  close(readEnd);
  EXPECT_EQ(result.exitStatus, 0) << result.standardError;
  EXPECT_TRUE(fs::is_fifo(pipe));
  EXPECT_FALSE(received.empty());
  if (!received.empty()) {
    EXPECT_EQ(DecodePng(received).width, 300u);
  }
}

bool HoldsTemporaryFile(const std::string& folder) {
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    if (entry.path().extension() == ".part")
      return true;
  }
  return false;
}

// A write stopped part-way by the file size limit, as a full disk would stop it: with the
// limit's signal the process is killed in the middle of the write; with the signal ignored the
// write fails and qavconv says so (naming the output), removing its temporary file. Either
// way no file appears under the output name, and an existing file there stays untouched.
TEST(QavconvBatch, WriteStoppedPartWayLeavesNothingUnderTheFinalName) {
  const std::string input = std::string(SAMPLES_DIR) + "/astronaut-24bit.bmp";
  const std::vector<uint8_t> earlier = {'e', 'a', 'r', 'l', 'i', 'e', 'r'};
  struct Case {
    const char* what;
    std::vector<std::string> arguments;
    std::string output;
  };
  for (const bool killed : {true, false}) {
    for (const bool existing : {false, true}) {
      TemporaryFolder folder;
      const std::vector<Case> cases = {
          {"png, one file", {input, folder.File("one.png")}, folder.File("one.png")},
          {"bmp, one file", {input, folder.File("one.bmp")}, folder.File("one.bmp")},
          {"png, folder", {"-o", folder.Path(), input}, folder.File("astronaut-24bit.png")},
          {"bmp, folder",
           {"--format", "bmp", "-o", folder.Path(), input},
           folder.File("astronaut-24bit.bmp")},
      };
      for (const Case& c : cases) {
        const std::string what = std::string(c.what) + (killed ? ", killed" : ", write fails") +
                                 (existing ? ", file there before" : "");
        if (existing)
          WriteWholeFile(c.output, earlier);
        std::vector<std::string> argv = {"/usr/bin/prlimit", "--fsize=4096", QAVCONV_PATH};
        if (!killed)
          argv.insert(argv.begin(), {"/bin/sh", "-c", "trap '' XFSZ; exec \"$@\"", "sh"});
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        const ProcessResult result = RunProcess(argv);
        if (killed) {
          EXPECT_EQ(result.exitStatus, -1) << what;
        } else {
          EXPECT_EQ(result.exitStatus, 1) << what;
          EXPECT_NE(result.standardError.find(c.output), std::string::npos)
              << what << ": " << result.standardError;
          EXPECT_FALSE(HoldsTemporaryFile(folder.Path())) << what;
        }
        if (existing) {
          EXPECT_EQ(ReadWholeFile(c.output), earlier) << what;
        } else {
          EXPECT_FALSE(fs::exists(c.output)) << what;
        }
      }
    }
  }
}

// SIGTERM in the middle of a run, to the process group: the process ends by that signal, and
// neither its temporary output files nor its GIF hand-over folders are left; what is under a final
// name is whole.
TEST(QavconvBatch, InterruptRemovesTemporaryFilesAndHandOverFolders) {
  TemporaryFolder folder;
  fs::create_directory(folder.File("tmp"));
  std::vector<std::string> argv = {QAVCONV_PATH, "-q", "-j", "2", "-o", folder.File("out")};
  for (int copy = 0; copy < 40; ++copy) {
    for (const char* sample : {"astronaut-fractal-4px.qav", "interlaced.gif"}) {
      const fs::path path = fs::path(SAMPLES_DIR) / sample;
      const std::string name =
          path.stem().string() + std::to_string(copy) + path.extension().string();
      fs::copy_file(path, folder.File(name));
      argv.push_back(folder.File(name));
    }
  }
  std::vector<char*> args;
  for (std::string& argument : argv)
    args.push_back(argument.data());
  args.push_back(nullptr);
  std::string temporaryFolder = "TMPDIR=" + folder.File("tmp");
  char* environment[] = {temporaryFolder.data(), nullptr};
  // In a process group of its own, which the signal goes to, as a terminal sends Ctrl+C to
  // the program and the converters it runs.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  pid_t child = 0;
  ASSERT_EQ(posix_spawn(&child, args[0], nullptr, &attributes, args.data(), environment), 0);
  posix_spawnattr_destroy(&attributes);
  int status = 0;
  bool ended = false;
  while (!HoldsTemporaryFile(folder.File("out")) && !ended)
    ended = waitpid(child, &status, WNOHANG) == child;
  // Eighty conversions take far longer than one look at the folder, so some temporary file is
  // always seen before the run ends.
  ASSERT_FALSE(ended) << "the run ended before a temporary output was seen";
  kill(-child, SIGTERM);
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  EXPECT_FALSE(HoldsTemporaryFile(folder.File("out")));
  EXPECT_TRUE(fs::is_empty(folder.File("tmp")));
  for (const std::string& file : FilesIn(folder.File("out")))
    EXPECT_NO_THROW(DecodePng(ReadWholeFile(file))) << file;
}

}  // namespace
