#include "app/app_errors.h"

#include <QMessageBox>
#include <QWidget>

#include <utility>

namespace velmora {

void ShowErrorMessage(QWidget* parent, const QString& message) {
  QMessageBox::critical(parent, QStringLiteral("Velmora"), message);
}

QString RefusalSentence(std::string_view phrase) {
  QString text = QString::fromUtf8(phrase.data(), static_cast<qsizetype>(phrase.size()));
  if (!text.isEmpty()) text[0] = text[0].toUpper();
  return text + QLatin1Char('.');
}

QString QuotedStart(const QString& text) {
  constexpr qsizetype kShown = 40;
  const QString start = text.size() > kShown ? text.left(kShown) + QChar(0x2026) : text;
  return QChar(0x201c) + start + QChar(0x201d);
}

QString ExceptionMessage(std::exception_ptr error) {
  try {
    std::rethrow_exception(std::move(error));
  } catch (const std::exception& e) {
    return QString::fromUtf8(e.what());
  } catch (...) {
    return {};
  }
}

bool GuardCommand(QWidget* parent, const std::function<void()>& command) {
  try {
    command();
    return true;
  } catch (...) {
    ShowErrorMessage(parent, ExceptionMessage(std::current_exception()));
    return false;
  }
}

bool VelmoraApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    ShowErrorMessage(QApplication::activeWindow(), ExceptionMessage(std::current_exception()));
    return false;
  }
}

int RunMainWindow(const std::function<std::unique_ptr<QWidget>()>& createWindow) {
  try {
    const std::unique_ptr<QWidget> window = createWindow();
    if (!window) {
      ShowErrorMessage(nullptr, QStringLiteral("The main window could not be created."));
      return 1;
    }
    window->show();
    return QApplication::exec();
  } catch (...) {
    ShowErrorMessage(nullptr, ExceptionMessage(std::current_exception()));
    return 1;
  }
}

}  // namespace velmora
