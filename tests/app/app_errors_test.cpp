#include "app/app_errors.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <stdexcept>
#include <string>

#include "app_test_support.h"

namespace velmora {
namespace {

using testing::ModalWatcher;

struct NoMessage {};  // an error that carries no message of its own

TEST(GuardCommand, ShowsTheErrorAbandonsTheRestAndReturns) {
  struct Case {
    const char* name;
    std::function<void()> fail;
    QString shown;
  };
  const Case cases[] = {
      {"standard exception", [] { throw std::runtime_error("cannot insert a line"); },
       "cannot insert a line"},
      {"error without a message", [] { throw NoMessage{}; }, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ModalWatcher watcher;
    bool rest = false;
    EXPECT_FALSE(GuardCommand(nullptr, [&] {
      c.fail();
      rest = true;
    }));
    EXPECT_FALSE(rest) << "the rest of the command is abandoned";
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].icon, QMessageBox::Critical);
    EXPECT_EQ(watcher.Seen()[0].title, "Velmora");
    EXPECT_EQ(watcher.Seen()[0].text, c.shown);
  }
  ModalWatcher quiet;
  EXPECT_TRUE(GuardCommand(nullptr, [] {}));
  EXPECT_TRUE(quiet.Seen().empty());
}

// An object whose event handler fails, as a toolkit call inside a handler might.
class FailingObject : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) throw std::runtime_error("the handler failed");
    return QObject::event(e);
  }
};

TEST(VelmoraApplication, AnErrorInAnEventHandlerIsShownAndTheProgramGoesOn) {
  ASSERT_NE(dynamic_cast<VelmoraApplication*>(QCoreApplication::instance()), nullptr);
  FailingObject failing;
  ModalWatcher watcher;
  QEvent event(QEvent::User);
  EXPECT_FALSE(QCoreApplication::sendEvent(&failing, &event));
  ASSERT_EQ(watcher.Seen().size(), 1u);
  EXPECT_EQ(watcher.Seen()[0].text, "the handler failed");
  EXPECT_EQ(watcher.Seen()[0].icon, QMessageBox::Critical);

  // Posted events after the failure are still delivered.
  bool delivered = false;
  QTimer::singleShot(0, [&] { delivered = true; });
  ASSERT_TRUE(testing::WaitFor([&] { return delivered; }, 1000));
}

TEST(RunMainWindow, AStartUpErrorIsShownAndEndsWithExitCodeOne) {
  struct Case {
    const char* name;
    std::function<std::unique_ptr<QWidget>()> create;
    QString shown;
  };
  const Case cases[] = {
      {"window fails to build",
       []() -> std::unique_ptr<QWidget> { throw std::runtime_error("no fonts at all"); },
       "no fonts at all"},
      {"error without a message", []() -> std::unique_ptr<QWidget> { throw NoMessage{}; }, ""},
      {"no window", [] { return std::unique_ptr<QWidget>(); },
       "The main window could not be created."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ModalWatcher watcher;
    EXPECT_EQ(RunMainWindow(c.create), 1);
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].text, c.shown);
  }
}

TEST(RunMainWindow, ClosingTheWindowEndsWithExitCodeZero) {
  QApplication::setQuitOnLastWindowClosed(true);
  ModalWatcher watcher;
  const int code = RunMainWindow([] {
    auto window = std::make_unique<QWidget>();
    QTimer::singleShot(50, window.get(), &QWidget::close);
    return window;
  });
  QApplication::setQuitOnLastWindowClosed(false);
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(watcher.Seen().empty());
}

}  // namespace
}  // namespace velmora
