#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QString>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

namespace velmora::testing {

// What a modal dialog said before the watcher closed it.
struct SeenDialog {
  QString className;
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Closes every modal dialog that opens while it lives, recording message boxes. Other modal
// widgets (a file dialog) go to `handler`, which must close them.
class ModalWatcher {
 public:
  explicit ModalWatcher(std::function<void(QWidget*)> handler = {}) : handler_(std::move(handler)) {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start();
  }

  const std::vector<SeenDialog>& Seen() const { return seen_; }

 private:
  void Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) return;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      seen_.push_back(
          {QStringLiteral("QMessageBox"), box->windowTitle(), box->text(), box->icon()});
      box->done(QMessageBox::Ok);
      return;
    }
    seen_.push_back(
        {QString::fromLatin1(modal->metaObject()->className()), modal->windowTitle(), {}, {}});
    if (handler_) {
      handler_(modal);
    } else {
      modal->close();
    }
  }

  QTimer timer_;
  std::function<void(QWidget*)> handler_;
  std::vector<SeenDialog> seen_;
};

// Lets the event loop run until `done` holds or `ms` milliseconds pass; tells whether it held.
inline bool WaitFor(const std::function<bool()>& done, int ms) {
  QDeadlineTimer deadline(ms);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QTest::qWait(5);
  }
  return true;
}

}  // namespace velmora::testing
