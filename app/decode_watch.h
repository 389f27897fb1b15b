#pragma once
// Effects > Watch Decode: the passes of a fractal picture played one frame each, from the first
// pass after the grey start to the count the file stores. Each frame is the record's bitmap
// re-decoded with that many passes, so the picture at any stop is what Reiterate with the same
// count gives.

#include <QObject>
#include <QTimer>

#include "qav_record.h"

class TDecodeWatch : public QObject {
  Q_OBJECT

 public:
  // About four frames a second: slow enough to see each pass.
  static constexpr int kFrameMilliseconds = 250;

  explicit TDecodeWatch(QObject* parent);

  // Shows pass 1 of the record at once and plays the others up to lastPass. Returns false,
  // starting nothing, for a record without a fractal picture.
  bool Start(TQAV* record, int lastPass);
  // Space: holds the current frame, or goes on from it.
  void TogglePause();
  // Esc, or another command: the picture stays at the pass last shown.
  void Stop();

  bool Running() const { return record_ != nullptr; }
  bool Paused() const { return Running() && !timer_.isActive(); }
  int Pass() const { return pass_; }
  int LastPass() const { return lastPass_; }

 signals:
  // The record's bitmap now holds the picture after `pass` passes.
  void FrameShown(int pass);
  // Playing ended: at the last pass, by Stop, or when a pass could not be decoded.
  void Stopped();

 private:
  void ShowNextPass();

  QTimer timer_;
  TQAV* record_ = nullptr;
  int pass_ = 0;
  int lastPass_ = 0;
};

// The number of passes a fractal record's load ran: the stored count, 8 when it stores 0.
int StoredPassCount(const TQAV& record);
