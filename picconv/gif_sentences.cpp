#include "gif_sentences.h"

#include "gif_lzw.h"

namespace {

std::string ImageName(const GifDecodeError& error) {
  return "image " + std::to_string(error.ImageNumber());
}

// Where the file ends, as the end of "it ends ...".
std::string WhereItEnds(const GifDecodeError& error) {
  switch (static_cast<GifPlace>(error.First())) {
    case GifPlace::kScreenDescriptor:
      return "inside the screen descriptor";
    case GifPlace::kGlobalTable:
      return "inside the global colour table";
    case GifPlace::kExtension:
      return "inside an extension block before " + ImageName(error);
    case GifPlace::kImageDescriptor:
      return "inside the descriptor of " + ImageName(error);
    case GifPlace::kLocalTable:
      return "inside the colour table of " + ImageName(error);
    case GifPlace::kPixelData:
      return "at the start of the pixel data of " + ImageName(error);
    case GifPlace::kBeforeFirstImage:
      return "before its first image";
  }
  return "inside a block";
}

std::string Size(const GifDecodeError& error) {
  return std::to_string(error.First()) + " x " + std::to_string(error.Second()) + " pixels";
}

}  // namespace

std::string GifRefusalSentence(const GifDecodeError& error, const GifDecodeLimits& limits) {
  const std::string bound = std::to_string(limits.maxPixels) + " pixels this converter shows";
  switch (error.Status()) {
    case GifDecodeStatus::kNotGif:
      return error.First() == 0 ? "The file is empty, so it is not a GIF file."
                                : "The file is not a GIF file.";
    case GifDecodeStatus::kTruncated:
      return "The file is cut short: it ends " + WhereItEnds(error) + ".";
    case GifDecodeStatus::kNothingToShow:
      return "The file has nothing to show: its screen has no pixels and it holds no image "
             "with pixels.";
    case GifDecodeStatus::kScreenTooLarge:
      return "The picture is too large: its screen of " + Size(error) + " is more than the " +
             bound + ".";
    case GifDecodeStatus::kImageTooLarge:
      return "The picture is too large: " + ImageName(error) + " has " + Size(error) +
             ", more than the " + bound + ".";
    case GifDecodeStatus::kNoColourTable:
      return "The file is damaged: " + ImageName(error) +
             " has no colour table, and the file has no global one.";
    case GifDecodeStatus::kBadLzwCodeSize:
      return "The file is damaged: " + ImageName(error) + " declares an LZW minimum code size of " +
             std::to_string(error.First()) + ", but only sizes from " +
             std::to_string(kLzwSmallestCodeSize) + " to " + std::to_string(kLzwLargestCodeSize) +
             " are valid.";
    case GifDecodeStatus::kBadLzwCode:
      return "The file is damaged: the pixel data of " + ImageName(error) +
             " holds an invalid code before its first row is complete.";
    case GifDecodeStatus::kNoPixelRow:
      return "The file is damaged: the pixel data of " + ImageName(error) +
             " ends before its first row is complete.";
  }
  return "The file is damaged.";
}
