#pragma once
// Effects > Watch Decode: the passes of a fractal picture played one frame each, from the first
// pass after the grey start to the count the file stores. Each frame is the picture re-decoded
// with that many passes, so the picture at any stop is what Reiterate with the same count
// gives. The decodes run on a worker thread from a copy of the record's parameters, so the
// window answers while a large picture decodes, and stopping never waits for a decode.

#include <QFutureWatcher>
#include <QObject>
#include <QTimer>
#include <memory>
#include <optional>
#include <vector>

#include "qav_record.h"
#include "reiterate.h"

class TDecodeWatch : public QObject {
  Q_OBJECT

 public:
  // About four frames a second: slow enough to see each pass.
  static constexpr int kFrameMilliseconds = 250;

  explicit TDecodeWatch(QObject* parent);

  // Shows pass 1 of the record as soon as it is decoded and plays the others up to lastPass,
  // a frame at most every kFrameMilliseconds. Returns false, starting nothing, for a record
  // without a fractal picture.
  bool Start(TQAV* record, int lastPass);
  // Space: holds the current frame, or goes on from it.
  void TogglePause();
  // Esc, or another command: the picture stays at the pass last shown.
  void Stop();

  bool Running() const { return record_ != nullptr; }
  bool Paused() const { return Running() && paused_; }
  // The pass the record's bitmap shows; 0 before the first frame.
  int Pass() const { return pass_; }

 signals:
  // The record's bitmap now holds the picture after `pass` passes.
  void FrameShown(int pass);
  // Playing ended: at the last pass, by Stop, or when a pass could not be decoded.
  void Stopped();

 private:
  void DecodeNextPass();
  void PassDecoded();
  // Shows the decoded pass once its time has come, unless paused.
  void ShowWhenDue();

  TQAV* record_ = nullptr;
  std::shared_ptr<const TFractalInputs> inputs_;
  QFutureWatcher<std::vector<uint32_t>> decoding_;
  std::optional<std::vector<uint32_t>> decoded_;
  QTimer frameTimer_;
  bool frameDue_ = false;
  bool paused_ = false;
  int pass_ = 0;
  int lastPass_ = 0;
};

// The number of passes a fractal record's load ran: the stored count, 8 when it stores 0.
int StoredPassCount(const TQAV& record);
