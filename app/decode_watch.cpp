#include "decode_watch.h"

#include <algorithm>

#include "reiterate.h"

namespace {
constexpr int kPassesWhenNoneStored = 8;
}  // namespace

int StoredPassCount(const TQAV& record) {
  // The reader refuses counts above 256, so the stored one fits an int.
  const uint32_t stored = record.fractalHeader.iterations;
  return stored == 0 ? kPassesWhenNoneStored : static_cast<int>(stored);
}

TDecodeWatch::TDecodeWatch(QObject* parent) : QObject(parent) {
  timer_.setInterval(kFrameMilliseconds);
  connect(&timer_, &QTimer::timeout, this, &TDecodeWatch::ShowNextPass);
}

bool TDecodeWatch::Start(TQAV* record, int lastPass) {
  Stop();
  if (record == nullptr || record->method != 2 || !record->domainIndices)
    return false;
  record_ = record;
  pass_ = 0;
  lastPass_ = std::max(lastPass, kMinIterations);
  ShowNextPass();
  if (Running())
    timer_.start();
  return true;
}

void TDecodeWatch::TogglePause() {
  if (!Running())
    return;
  if (timer_.isActive()) {
    timer_.stop();
  } else {
    timer_.start();
  }
}

void TDecodeWatch::Stop() {
  if (!Running())
    return;
  timer_.stop();
  record_ = nullptr;
  emit Stopped();
}

void TDecodeWatch::ShowNextPass() {
  // Each frame is decoded from the grey start, exactly as Reiterate decodes it.
  if (!Reiterate(record_, pass_ + 1)) {
    Stop();
    return;
  }
  ++pass_;
  emit FrameShown(pass_);
  if (pass_ >= lastPass_)
    Stop();
}
