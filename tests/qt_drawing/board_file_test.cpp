// The board's files: PNG and SVG bytes, and the one writer through which every export goes.
#include "qt_drawing/board_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <sys/stat.h>

namespace velmora {
namespace {

class SaveBoardTest : public ::testing::Test {
 protected:
  SaveBoardTest() {
    board_.MoveTo(0, 0);
    board_.LineTo(401, 0);
    board_.SetBold(true);
    board_.TextOut(4, 2, "Life & <Parents>");
  }
  QString PathOf(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

  QTemporaryDir dir_;
  QImageSurface board_;
};

TEST_F(SaveBoardTest, PngHoldsTheBitmapPixelForPixel) {
  QString error;
  ASSERT_TRUE(SaveBoard(board_, PathOf("board.PNG"), error)) << error.toStdString();
  const QImage saved(PathOf("board.PNG"));
  EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), board_.Image());
}

TEST_F(SaveBoardTest, SvgIsAWellFormedDocumentOfTheBoard) {
  QString error;
  ASSERT_TRUE(SaveBoard(board_, PathOf("board.svg"), error)) << error.toStdString();
  QFile file(PathOf("board.svg"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(&file);
  QString root;
  QString text;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement() && root.isEmpty()) {
      root = xml.name().toString();
      EXPECT_EQ(xml.attributes().value(QLatin1String("width")).toString(), "401");
      EXPECT_EQ(xml.attributes().value(QLatin1String("height")).toString(), "401");
    }
    if (xml.isCharacters()) text += xml.text();
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_EQ(root, "svg");
  EXPECT_TRUE(text.contains(QLatin1String("Life & <Parents>")));
}

struct RefusedCase {
  const char* name;
  const char* file;  // relative to the scratch folder
  const char* saying;
};

TEST_F(SaveBoardTest, RefusalsExplainAndLeaveNoFile) {
  const RefusedCase cases[] = {
      {"unknown extension", "board.jpg", ".png or .svg"},
      {"no extension", "board", ".png or .svg"},
      {"missing folder", "no/such/folder/board.png", "board.png"},
  };
  for (const RefusedCase& c : cases) {
    SCOPED_TRACE(c.name);
    QString error;
    EXPECT_FALSE(SaveBoard(board_, PathOf(c.file), error));
    EXPECT_TRUE(error.contains(QLatin1String(c.saying))) << error.toStdString();
    EXPECT_FALSE(QFile::exists(PathOf(c.file)));
  }
  EXPECT_TRUE(QDir(dir_.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST_F(SaveBoardTest, AFailedWriteLeavesTheOldFileWhole) {
  // A folder where the file should go cannot be replaced; nothing beside it may appear.
  ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("taken.png")));
  QString error;
  EXPECT_FALSE(SaveBoard(board_, PathOf("taken.png"), error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
            QStringList{QStringLiteral("taken.png")});
}

// A target that is not a regular file is never replaced, whether named directly or through a
// link; a link to a regular file writes the file it names and stays a link.
TEST(WriteFileWhole, RefusesWhatIsNotARegularFileAndFollowsLinksToFiles) {
  QTemporaryDir dir;
  const auto at = [&](const char* name) { return dir.filePath(QString::fromLatin1(name)); };
  ASSERT_EQ(::mkfifo(QFile::encodeName(at("pipe")).constData(), 0600), 0);
  ASSERT_TRUE(QFile::link(at("pipe"), at("to-pipe.svg")));
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
  ASSERT_TRUE(QFile::link(at("folder"), at("to-folder.png")));
  QFile old(at("old.svg"));
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("old");
  old.close();
  ASSERT_TRUE(QFile::link(at("old.svg"), at("to-old.svg")));

  struct Case {
    const char* name;
    const char* path;
    bool written;
    const char* reason;
  };
  const Case cases[] = {
      {"a pipe", "pipe", false, "not a regular file"},
      {"a link to a pipe", "to-pipe.svg", false, "not a regular file"},
      {"a link to a folder", "to-folder.png", false, "that is a folder"},
      {"a link to a file", "to-old.svg", true, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QString reason;
    EXPECT_EQ(WriteFileWhole(at(c.path), "new", reason), c.written);
    EXPECT_TRUE(reason.contains(QLatin1String(c.reason))) << reason.toStdString();
  }
  const QFileInfo pipe(at("pipe"));
  EXPECT_FALSE(pipe.isFile()) << "the pipe is still a pipe";
  EXPECT_TRUE(QFileInfo(at("to-pipe.svg")).isSymLink());
  EXPECT_TRUE(QFileInfo(at("to-old.svg")).isSymLink());
  QFile written(at("old.svg"));
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  EXPECT_EQ(written.readAll(), QByteArray("new"));
}

}  // namespace
}  // namespace velmora
