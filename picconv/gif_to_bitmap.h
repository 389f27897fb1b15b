#pragma once
// Puts a composed GIF picture into a bitmap: an 8-bit palette bitmap for the palette form,
// a 24-bit bitmap for the true-colour form.

#include "bitmap.h"
#include "gif_decoder.h"

void FillBitmapFromGif(const ComposedGif& picture, TBitmap& bitmap);
