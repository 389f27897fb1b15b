// The gdk-pixbuf loader as GTK programs and the file managers' thumbnailer meet it: through a
// loaders cache made here from the built module, whole files, small chunks and thumbnails give
// the picture qavconv saves, and refused files the sentence it prints.

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "run_process.h"
#include "viewer_reference.h"

namespace {

struct PixbufUnref {
  void operator()(GdkPixbuf* pixbuf) const { g_object_unref(pixbuf); }
};
using Pixbuf = std::unique_ptr<GdkPixbuf, PixbufUnref>;

struct ErrorFree {
  void operator()(GError* error) const { g_error_free(error); }
};
using Error = std::unique_ptr<GError, ErrorFree>;

// A command line of one of gdk-pixbuf's programs, which load the built module: in the
// sanitizer build with the sanitizer runtime put in first (their own leaks are not ours).
std::vector<std::string> GdkPixbufTool(std::vector<std::string> argv) {
  const std::string runtime = QAV_SANITIZER_RUNTIME;
  if (!runtime.empty()) {
    argv.insert(argv.begin(), {"/usr/bin/env", "LD_PRELOAD=" + runtime,
                               "ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0"});
  }
  return argv;
}

// The loaders cache for the built module, so no installed loader is involved; false when it
// cannot be made.
bool UseOnlyTheBuiltLoader(const TemporaryFolder& folder) {
  const ProcessResult query =
      RunProcess(GdkPixbufTool({QAV_PIXBUF_QUERY_LOADERS, QAV_PIXBUF_MODULE}));
  if (query.exitStatus != 0 || query.standardOutput.find("image/x-qav") == std::string::npos)
    return false;
  const std::string cache = folder.File("loaders.cache");
  WriteWholeFile(cache, {query.standardOutput.begin(), query.standardOutput.end()});
  setenv("GDK_PIXBUF_MODULE_FILE", cache.c_str(), 1);
  return true;
}

// gdk-pixbuf tells formats apart by the MIME type the desktop's database gives the content, so
// the project's MIME package goes into a private database ahead of the system's.
bool UseTheProjectsMimeType(const TemporaryFolder& folder) {
  const std::string mime = folder.File("mime");
  std::filesystem::create_directories(mime + "/packages");
  std::filesystem::copy_file(QAV_MIME_PACKAGE, mime + "/packages/qavshow.xml");
  if (RunProcess({QAV_UPDATE_MIME_DATABASE, mime}).exitStatus != 0)
    return false;
  const char* system = std::getenv("XDG_DATA_DIRS");
  const std::string dataDirs =
      folder.Path() + ":" +
      (system != nullptr && *system != '\0' ? system : "/usr/local/share:/usr/share");
  setenv("XDG_DATA_DIRS", dataDirs.c_str(), 1);
  return true;
}

// The first pixel that differs, as text; empty when all are equal.
std::string FirstDifference(GdkPixbuf* pixbuf, const ViewerPicture& expected) {
  const guchar* pixels = gdk_pixbuf_read_pixels(pixbuf);
  const int rowStride = gdk_pixbuf_get_rowstride(pixbuf);
  for (int y = 0; y < expected.height; ++y) {
    for (int x = 0; x < expected.width; ++x) {
      const guchar* rgb = pixels + static_cast<size_t>(y) * rowStride + 3 * x;
      const uint32_t got = 0xFF000000u | rgb[0] << 16 | rgb[1] << 8 | rgb[2];
      const uint32_t wanted = expected.colours[static_cast<size_t>(y) * expected.width + x];
      if (got != wanted) {
        return "pixel (" + std::to_string(x) + ", " + std::to_string(y) +
               "): " + std::to_string(got) + " instead of " + std::to_string(wanted);
      }
    }
  }
  return {};
}

void ExpectAsTheViewer(GdkPixbuf* pixbuf, GError* error, const ViewerPicture& expected) {
  if (!expected.shown) {
    EXPECT_EQ(pixbuf, nullptr);
    ASSERT_NE(error, nullptr);
    const std::string message = error->message;
    // gdk-pixbuf puts the file's name before the loader's words.
    EXPECT_TRUE(message.ends_with(expected.sentence)) << message << "\n" << expected.sentence;
    return;
  }
  ASSERT_NE(pixbuf, nullptr) << (error != nullptr ? error->message : "");
  EXPECT_FALSE(gdk_pixbuf_get_has_alpha(pixbuf));
  EXPECT_EQ(gdk_pixbuf_get_n_channels(pixbuf), 3);
  ASSERT_EQ(gdk_pixbuf_get_width(pixbuf), expected.width);
  ASSERT_EQ(gdk_pixbuf_get_height(pixbuf), expected.height);
  EXPECT_EQ(FirstDifference(pixbuf, expected), "");
}

// Feeds the file to a loader in chunks of a few bytes, as a network stream would come.
Pixbuf LoadInChunks(const std::string& path, size_t chunk, GError** error) {
  const std::vector<uint8_t> bytes = ReadWholeFile(path);
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("qav", error);
  if (loader == nullptr)
    return nullptr;
  bool fed = true;
  for (size_t at = 0; fed && at < bytes.size(); at += chunk)
    fed = gdk_pixbuf_loader_write(loader, bytes.data() + at, std::min(chunk, bytes.size() - at),
                                  error);
  const bool closed = gdk_pixbuf_loader_close(loader, fed ? error : nullptr);
  GdkPixbuf* pixbuf = fed && closed ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
  if (pixbuf != nullptr)
    g_object_ref(pixbuf);
  g_object_unref(loader);
  return Pixbuf(pixbuf);
}

TEST(PixbufLoader, IsListedForTheQavTypeAndName) {
  GSList* formats = gdk_pixbuf_get_formats();
  bool listed = false;
  for (GSList* item = formats; item != nullptr; item = item->next) {
    auto* format = static_cast<GdkPixbufFormat*>(item->data);
    gchar* name = gdk_pixbuf_format_get_name(format);
    gchar** mimeTypes = gdk_pixbuf_format_get_mime_types(format);
    gchar** extensions = gdk_pixbuf_format_get_extensions(format);
    listed = listed || (std::string(name) == "qav" && g_strv_contains(mimeTypes, "image/x-qav") &&
                        g_strv_contains(extensions, "qav"));
    g_free(name);
    g_strfreev(mimeTypes);
    g_strfreev(extensions);
  }
  g_slist_free(formats);
  EXPECT_TRUE(listed);
}

TEST(PixbufLoader, ReadsEveryFixtureAsTheViewerDoes) {
  TemporaryFolder scratch;
  for (const std::string& path : QavFixtures(scratch)) {
    SCOPED_TRACE(BaseName(path));
    const ViewerPicture expected = WhatTheViewerShows(path, scratch);
    for (const size_t chunk : {size_t{7}, size_t{4096}}) {
      SCOPED_TRACE("chunks of " + std::to_string(chunk));
      GError* error = nullptr;
      const Pixbuf pixbuf = LoadInChunks(path, chunk, &error);
      ExpectAsTheViewer(pixbuf.get(), error, expected);
      Error owned(error);
    }
    if (SignatureOf(path) == QavSignature::None)
      continue;  // not QAV by content: gdk-pixbuf hands it to no loader of ours
    GError* error = nullptr;
    const Pixbuf pixbuf(gdk_pixbuf_new_from_file(path.c_str(), &error));
    ExpectAsTheViewer(pixbuf.get(), error, expected);
    Error owned(error);
    if (expected.shown) {
      int width = 0;
      int height = 0;
      EXPECT_NE(gdk_pixbuf_get_file_info(path.c_str(), &width, &height), nullptr);
      EXPECT_EQ(width, expected.width);
      EXPECT_EQ(height, expected.height);
    }
  }
}

// The value after "Key=" in the thumbnailer entry.
std::string EntryValue(const std::string& key) {
  std::ifstream entry(QAV_THUMBNAILER_ENTRY);
  std::string line;
  while (std::getline(entry, line)) {
    if (line.starts_with(key + "="))
      return line.substr(key.size() + 1);
  }
  return {};
}

// The entry's command line with its fields filled in, split at spaces as the file manager does.
std::vector<std::string> ThumbnailCommand(int size, const std::string& input,
                                          const std::string& output) {
  std::vector<std::string> argv;
  std::istringstream words(EntryValue("Exec"));
  std::string word;
  while (words >> word) {
    if (word == "%s") {
      word = std::to_string(size);
    } else if (word == "%u") {
      gchar* uri = g_filename_to_uri(input.c_str(), nullptr, nullptr);
      word = uri;
      g_free(uri);
    } else if (word == "%o") {
      word = output;
    }
    argv.push_back(word);
  }
  if (!argv.empty()) {
    gchar* program = g_find_program_in_path(argv[0].c_str());
    argv[0] = program != nullptr ? program : argv[0];
    g_free(program);
  }
  return argv;
}

// The average of each colour over the picture, to tell a thumbnail of the picture from one of
// anything else.
std::array<double, 3> MeanColour(GdkPixbuf* pixbuf) {
  std::array<double, 3> sums{};
  const int width = gdk_pixbuf_get_width(pixbuf);
  const int height = gdk_pixbuf_get_height(pixbuf);
  const int channels = gdk_pixbuf_get_n_channels(pixbuf);
  const guchar* pixels = gdk_pixbuf_read_pixels(pixbuf);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < 3; ++c)
        sums[c] += pixels[static_cast<size_t>(y) * gdk_pixbuf_get_rowstride(pixbuf) +
                          static_cast<size_t>(x) * channels + c];
    }
  }
  for (double& sum : sums)
    sum /= static_cast<double>(width) * height;
  return sums;
}

TEST(Thumbnailer, EntryMakesAThumbnailOfThePicture) {
  EXPECT_EQ(EntryValue("MimeType"), "image/x-qav;");
  TemporaryFolder scratch;
  const std::string sample = QAV_SAMPLES_DIR "/astronaut-fractal-8px.qav";
  const std::string thumbnail = scratch.File("thumbnail.png");
  const ProcessResult run = RunProcess(GdkPixbufTool(ThumbnailCommand(128, sample, thumbnail)));
  ASSERT_EQ(run.exitStatus, 0) << run.standardError;

  GError* error = nullptr;
  const Pixbuf small(gdk_pixbuf_new_from_file(thumbnail.c_str(), &error));
  ASSERT_NE(small, nullptr) << error->message;
  EXPECT_LE(std::max(gdk_pixbuf_get_width(small.get()), gdk_pixbuf_get_height(small.get())), 128);
  const Pixbuf full(gdk_pixbuf_new_from_file(sample.c_str(), &error));
  ASSERT_NE(full, nullptr) << error->message;
  const std::array<double, 3> smallMean = MeanColour(small.get());
  const std::array<double, 3> fullMean = MeanColour(full.get());
  for (int c = 0; c < 3; ++c)
    EXPECT_NEAR(smallMean[c], fullMean[c], 3.0) << "colour " << c;
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  TemporaryFolder setting;
  if (!UseOnlyTheBuiltLoader(setting) || !UseTheProjectsMimeType(setting)) {
    std::fprintf(stderr, "cannot set up the built loader and the QAV MIME type\n");
    return 1;
  }
  return RUN_ALL_TESTS();
}
