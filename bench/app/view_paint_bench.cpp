// One frame of the viewer: the image control repainting a 1024 x 768 view of an 8000 x 8000,
// 24-bit picture scrolled to its middle, at 100 %, 25 % and 800 %. This is what each scroll
// step or zoom costs; the picture's size must not matter, only the view's.

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

void BM_ViewFrame(benchmark::State& state) {
  const TZoom zoom = TZoom::FromExponent(static_cast<int>(state.range(0)));
  TImage image(&LargePicture(), nullptr);
  image.SetZoom(zoom);
  // The view's top-left corner so that the picture's middle is in the middle of the view.
  const QPoint middle(image.width() / 2 - kView.width() / 2,
                      image.height() / 2 - kView.height() / 2);
  const QRect exposed(middle, kView);
  QImage frame(kView, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter painter(&frame);
    image.render(&painter, QPoint(), QRegion(exposed), QWidget::DrawChildren);
    painter.end();
    benchmark::DoNotOptimize(frame.constBits());
  }
  state.SetLabel(zoom.PercentText());
  state.counters["frames_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ViewFrame)->Arg(0)->Arg(-2)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();

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
