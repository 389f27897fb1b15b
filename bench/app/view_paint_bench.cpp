// One frame of the viewer: the image control repainting a 1024 x 768 view of an 8000 x 8000,
// 24-bit picture scrolled to its middle, at 100 %, 25 % and 800 %. A frame while scrolling
// must cost what the view's size asks, not the picture's; the first frame after a change of
// the zoom is timed apart, since a reduced view then makes its reduced picture once.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "image_view.h"
#include "large_bitmap.h"
#include "picture.h"

namespace {

constexpr int kPictureSide = 8000;
constexpr QSize kView(1024, 768);

TPicture& LargePicture() {
  static TPicture* picture = [] {
    TBitmap bitmap;
    MakePatternedBitmap(bitmap, kPictureSide, kPictureSide);
    auto* made = new TPicture;
    made->AssignBitmap(bitmap);
    return made;
  }();
  return *picture;
}

// The view's area with the picture's middle in the middle of the view.
QRect MiddleOfPicture(const TImage& image) {
  return QRect(
      QPoint(image.width() / 2 - kView.width() / 2, image.height() / 2 - kView.height() / 2),
      kView);
}

void PaintFrame(TImage& image, const QRect& exposed, QImage& frame) {
  QPainter painter(&frame);
  image.render(&painter, QPoint(), QRegion(exposed), QWidget::DrawChildren);
  painter.end();
  benchmark::DoNotOptimize(frame.constBits());
}

// A frame while scrolling at a zoom: what every scroll step costs.
void BM_ViewFrame(benchmark::State& state) {
  const TZoom zoom = TZoom::FromExponent(static_cast<int>(state.range(0)));
  TImage image(&LargePicture(), nullptr);
  image.SetZoom(zoom);
  const QRect exposed = MiddleOfPicture(image);
  QImage frame(kView, QImage::Format_RGB32);
  PaintFrame(image, exposed, frame);  // the frame that follows the change of the zoom
  for (auto _ : state)
    PaintFrame(image, exposed, frame);
  state.SetLabel(zoom.PercentText());
}
BENCHMARK(BM_ViewFrame)->Arg(0)->Arg(-2)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// The first frame after a change of the zoom: a reduced view first makes its reduced picture.
void BM_FirstFrameAfterZoom(benchmark::State& state) {
  const TZoom zoom = TZoom::FromExponent(static_cast<int>(state.range(0)));
  TImage image(&LargePicture(), nullptr);
  QImage frame(kView, QImage::Format_RGB32);
  for (auto _ : state) {
    image.SetZoom(zoom);
    PaintFrame(image, MiddleOfPicture(image), frame);
  }
  state.SetLabel(zoom.PercentText());
}
BENCHMARK(BM_FirstFrameAfterZoom)
    ->Arg(0)
    ->Arg(-2)
    ->Arg(-4)
    ->Arg(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  // The frame is painted into an image: no display is needed.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
