// How quickly the window answers: a full Run from the click on "Run" to the reading written and
// the board drawn, and the window's start-up to its first paint. Runs on Qt's offscreen
// platform unless another is asked for.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCompleter>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimeEdit>

#include "app/birth_place_dialog.h"
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

// A keystroke in the Birth Place dialog's city field, from the key to the list of cities that
// answers the text then typed: "beij", "springfield, i" and the like, each typed whole but for
// its last letter before the clock starts.
void BM_CityKeystrokeToList(benchmark::State& state) {
  velmora::BirthPlaceDialog dialog(std::nullopt, nullptr);
  dialog.show();
  auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("edPlace"));
  QCompleter* completer = field->completer();
  const QString typed[] = {QStringLiteral("beij"), QStringLiteral("springfield, i"),
                           QStringLiteral("kolka"), QStringLiteral("londo")};
  // The list is filled anew for each answer.
  int answers = 0;
  QObject::connect(completer->model(), &QAbstractItemModel::rowsInserted, [&] { ++answers; });
  std::size_t i = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const QString& text = typed[i++ % std::size(typed)];
    field->clear();
    QTest::keyClicks(field, text.chopped(1));
    QTest::qWait(200);  // the answers to the letters before, shown and gone
    state.ResumeTiming();
    const int before = answers;
    QTest::keyClick(field, text.back().toLatin1());
    for (QElapsedTimer waited; answers == before;) {
      if (!waited.isValid()) waited.start();
      if (waited.elapsed() > 5000) {
        state.SkipWithError("no list of cities within 5 s");
        return;
      }
      QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
  }
}
BENCHMARK(BM_CityKeystrokeToList)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

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
