#pragma once
// TPicture: what the image control shows. It holds at most one bitmap and owns it.

#include <functional>
#include <memory>

#include "bitmap.h"

class TPicture {
 public:
  TPicture();
  ~TPicture();
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  // Destroys the bitmap held and holds a new one that shares the given bitmap's storage;
  // the given bitmap stays its caller's. Calls the change handler.
  void AssignBitmap(const TBitmap& bitmap);
  // The bitmap held; when there is none, an empty one is made first.
  TBitmap& GetBitmap();
  // The bitmap held, or nullptr; never makes one.
  const TBitmap* PeekBitmap() const;

  // Called after every change of the picture (a new bitmap, or its bitmap loaded or rewritten).
  void SetOnChange(std::function<void()> onChange);
  void Changed();

 private:
  std::unique_ptr<TBitmap> bitmap_;
  std::function<void()> onChange_;
};
