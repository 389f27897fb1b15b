#pragma once
#include <string>

// The kind of file a full path names: case-sensitive searches for ".qav", ".QAV", ".gif",
// ".GIF", ".bmp", ".BMP" anywhere in the path, directory part included, the last hit winning.
// So "a.gif.bmp" is a bitmap, "pics.gif/photo.qav" a GIF, and "photo.Qav" nothing (fkNone).
int FileKindFromName(const std::string& path);
