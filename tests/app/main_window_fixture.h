#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDate>
#include <QDateEdit>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>
#include <QTime>
#include <QTimeEdit>
#include <QTimer>

#include <functional>

#include "app/main_window.h"
#include "app_test_support.h"

namespace velmora::testing {

inline const QDate kNewYear2000(2000, 2, 4);
inline const QTime kEleven(23, 0);

// The main window, shown, with its controls found by name.
class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    window_.show();
    date_ = Find<QDateEdit>("dtpDate");
    time_ = Find<QTimeEdit>("dtpTime");
    female_ = Find<QRadioButton>("rbFemale");
    male_ = Find<QRadioButton>("rbMale");
    run_ = Find<QPushButton>("Button1");
    reading_ = Find<QTextEdit>("RichEdit1");
    image_ = Find<ChartImage>("Image1");
  }

  template <typename W>
  W* Find(const char* name) {
    W* widget = window_.findChild<W*>(QLatin1String(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  void SetBirth(QDate date, QTime time) {
    date_->setDate(date);
    time_->setTime(time);
  }
  void ClickRun() { QTest::mouseClick(run_, Qt::LeftButton); }
  QImage Board() { return image_->Surface().Image(); }
  const QTextDocument& Reading() const { return *reading_->document(); }
  QString ReadingHtml() const { return reading_->document()->toHtml(); }

  TfrmMain window_;
  QDateEdit* date_ = nullptr;
  QTimeEdit* time_ = nullptr;
  QRadioButton* female_ = nullptr;
  QRadioButton* male_ = nullptr;
  QPushButton* run_ = nullptr;
  QTextEdit* reading_ = nullptr;
  ChartImage* image_ = nullptr;
};

// The board's menu, its separators as empty entries.
inline QStringList BoardMenuItems() {
  return {QStringLiteral("Birth Place\u2026"),
          "",
          "Copy Chart",
          QStringLiteral("Save Chart As\u2026"),
          "",
          QStringLiteral("Save Reading As\u2026"),
          QStringLiteral("Print Reading\u2026"),
          "",
          "About Velmora",
          "Quit"};
}

// Opens the image's menu with a right click and picks `item` from it.
inline void PickFromImageMenu(QWidget* image, const QString& item) {
  bool picked = false;
  QTimer::singleShot(50, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QStringList items;
    for (QAction* action : menu->actions()) items << action->text();
    EXPECT_EQ(items, BoardMenuItems());
    for (QAction* action : menu->actions()) {
      if (action->text() == item) {
        menu->setActiveAction(action);
        QTest::keyClick(menu, Qt::Key_Return);
        picked = true;
      }
    }
  });
  // Through the window, as the display server delivers it, so that the press opens the menu.
  QTest::mouseClick(image->window()->windowHandle(), Qt::RightButton, {},
                    image->mapTo(image->window(), QPoint(200, 200)));
  ASSERT_TRUE(testing::WaitFor([&] { return picked; }, 2000));
}

// Answers the save dialog with `path`.
// Chooses `path` in an open save dialog and accepts it. The dialog leaves its name field alone
// while that field has the focus, which it may gain at any moment, so the focus goes first.
inline void ChooseInSaveDialog(QFileDialog* dialog, const QString& path) {
  if (QWidget* focus = dialog->focusWidget()) focus->clearFocus();
  const QFileInfo file(path);
  dialog->setDirectory(file.absolutePath());
  dialog->selectFile(file.fileName());
  static_cast<QDialog*>(dialog)->accept();  // accept() is public on QDialog
}

inline std::function<void(QWidget*)> AnswerSaveDialog(const QString& path) {
  return [path](QWidget* modal) {
    if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
      ChooseInSaveDialog(dialog, path);
    } else {
      modal->close();
    }
  };
}

}  // namespace velmora::testing
