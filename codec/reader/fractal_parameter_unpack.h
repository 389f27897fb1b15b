#pragma once
// Unpacking of a fractal file's three stored parameter streams (domain indices, colour
// offsets, transform codes) into the record's arrays, each stream by its storage method.

#include "qav_record.h"
#include "qav_status.h"

// Allocates the record's three arrays (blockCount entries, zero-filled) and fills them from
// storedData, which holds LayoutFractalStreams(header).total bytes. The header must have
// passed CheckFractalHeader. Uses `pixels` for the offset bytes and frees it again.
QavStatus UnpackFractalParameters(TQAV& image);
