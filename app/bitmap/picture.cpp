#include "picture.h"

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::AssignBitmap(const TBitmap& bitmap) {
  auto shared = std::make_unique<TBitmap>();
  shared->ShareStorageOf(bitmap);
  bitmap_ = std::move(shared);
  Changed();
}

TBitmap& TPicture::GetBitmap() {
  if (!bitmap_)
    bitmap_ = std::make_unique<TBitmap>();
  return *bitmap_;
}

const TBitmap* TPicture::PeekBitmap() const {
  return bitmap_.get();
}

void TPicture::SetOnChange(std::function<void()> onChange) {
  onChange_ = std::move(onChange);
}

void TPicture::Changed() {
  if (onChange_)
    onChange_();
}
