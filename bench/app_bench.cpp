// How quickly the window answers: a full Run from the click on "Run" to the reading written and
// the board drawn, and the window's start-up to its first paint. Runs on Qt's offscreen
// platform unless another is asked for.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QEvent>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimeEdit>

#include "app/main_window.h"

namespace {

// Sets the birth of Run number i: dates spread over the supported range, times over the day.
void SetBirth(velmora::TfrmMain& window, std::int64_t i) {
  window.findChild<QDateEdit*>(QStringLiteral("dtpDate"))
      ->setDate(QDate(1902, 1, 1).addDays((i * 7919) % 54000));
  window.findChild<QTimeEdit*>(QStringLiteral("dtpTime"))
      ->setTime(QTime(0, 0).addSecs((i * 37 % 1440) * 60));
}

// Clicks Run once per iteration on a fresh birth, timing the click (and, if asked, the repaint
// of the window) but not the setting of the birth.
void TimeRunClicks(benchmark::State& state, bool repaint) {
  velmora::TfrmMain window;
  window.show();
  auto* run = window.findChild<QPushButton*>(QStringLiteral("Button1"));
  std::int64_t i = 0;
  for (auto _ : state) {
    state.PauseTiming();
    SetBirth(window, i++);
    QCoreApplication::processEvents();
    state.ResumeTiming();
    QTest::mouseClick(run, Qt::LeftButton);
    if (repaint) window.repaint();
  }
}

// Click to the reading written and the board drawn into its bitmap.
void BM_RunClick(benchmark::State& state) {
  TimeRunClicks(state, false);
}
BENCHMARK(BM_RunClick)->Unit(benchmark::kMillisecond);

// The same, and the window painted with the new board and reading.
void BM_RunClickAndPaint(benchmark::State& state) {
  TimeRunClicks(state, true);
}
BENCHMARK(BM_RunClickAndPaint)->Unit(benchmark::kMillisecond);

// Counts the paints a widget receives.
class PaintCounter : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
  int paints = 0;
};

// From creating the window (which draws the bare board) to its first paint on screen.
void BM_StartupToFirstPaint(benchmark::State& state) {
  for (auto _ : state) {
    PaintCounter counter;
    auto window = std::make_unique<velmora::TfrmMain>();
    window->installEventFilter(&counter);
    window->show();
    while (counter.paints == 0) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    state.PauseTiming();
    window.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartupToFirstPaint)->Unit(benchmark::kMillisecond);

}  // namespace

// The first window of a process pays for loading fonts and styles; this measures it once,
// before the benchmarks, and reports it beside them.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QElapsedTimer sinceStart;
  sinceStart.start();
  QApplication app(argc, argv);
  const qint64 appMs = sinceStart.elapsed();
  {
    PaintCounter counter;
    velmora::TfrmMain window;
    window.installEventFilter(&counter);
    window.show();
    while (counter.paints == 0) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  const qint64 firstPaintMs = sinceStart.elapsed();
  benchmark::AddCustomContext("cold_start_application_ms", std::to_string(appMs));
  benchmark::AddCustomContext("cold_start_to_first_paint_ms", std::to_string(firstPaintMs));
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
