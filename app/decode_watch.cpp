#include "decode_watch.h"

#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

namespace {
constexpr int kPassesWhenNoneStored = 8;
}  // namespace

int StoredPassCount(const TQAV& record) {
  // The reader refuses counts above 256, so the stored one fits an int.
  const uint32_t stored = record.fractalHeader.iterations;
  return stored == 0 ? kPassesWhenNoneStored : static_cast<int>(stored);
}

TDecodeWatch::TDecodeWatch(QObject* parent) : QObject(parent) {
  frameTimer_.setSingleShot(true);
  frameTimer_.setInterval(kFrameMilliseconds);
  connect(&frameTimer_, &QTimer::timeout, this, [this] {
    frameDue_ = true;
    ShowWhenDue();
  });
  connect(&decoding_, &QFutureWatcher<std::vector<uint32_t>>::finished, this,
          &TDecodeWatch::PassDecoded);
}

bool TDecodeWatch::Start(TQAV* record, int lastPass) {
  Stop();
  if (record == nullptr || record->method != 2)
    return false;
  std::optional<TFractalInputs> inputs = CopyFractalInputs(*record);
  if (!inputs)
    return false;
  inputs_ = std::make_shared<const TFractalInputs>(std::move(*inputs));
  record_ = record;
  pass_ = 0;
  lastPass_ = std::max(lastPass, kMinIterations);
  paused_ = false;
  frameDue_ = true;
  DecodeNextPass();
  return true;
}

void TDecodeWatch::DecodeNextPass() {
  // The worker holds its own share of the inputs: it may finish after a Stop, or after this
  // object is gone, and its result is then dropped.
  decoding_.setFuture(QtConcurrent::run(
      [inputs = inputs_, count = pass_ + 1] { return DecodePasses(*inputs, count); }));
}

void TDecodeWatch::PassDecoded() {
  if (!Running())
    return;
  decoded_ = decoding_.result();
  ShowWhenDue();
}

void TDecodeWatch::ShowWhenDue() {
  if (!Running() || paused_ || !frameDue_ || !decoded_)
    return;
  const std::vector<uint32_t> words = std::move(*decoded_);
  decoded_.reset();
  if (!WriteDecodedPicture(record_, words)) {
    Stop();
    return;
  }
  ++pass_;
  emit FrameShown(pass_);
  if (pass_ >= lastPass_) {
    Stop();
    return;
  }
  frameDue_ = false;
  frameTimer_.start();
  DecodeNextPass();
}

void TDecodeWatch::TogglePause() {
  if (!Running())
    return;
  paused_ = !paused_;
  ShowWhenDue();
}

void TDecodeWatch::Stop() {
  if (!Running())
    return;
  // Watching no future drops the result of a decode still running.
  decoding_.setFuture(QFuture<std::vector<uint32_t>>());
  frameTimer_.stop();
  decoded_.reset();
  inputs_.reset();
  record_ = nullptr;
  emit Stopped();
}
