#pragma once
// The words a person reads when a GIF file cannot be converted: one whole sentence for each
// refusal, naming what is wrong in the file's terms.

#include <string>

#include "gif_decoder.h"

std::string GifRefusalSentence(const GifDecodeError& error, const GifDecodeLimits& limits = {});
