// The board's files: PNG and SVG bytes, and the one writer through which every export goes.
#include "qt_drawing/board_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

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
  ASSERT_EQ(::symlink("self.svg", QFile::encodeName(at("self.svg")).constData()), 0);
  ASSERT_EQ(::symlink("loop2.svg", QFile::encodeName(at("loop1.svg")).constData()), 0);
  ASSERT_EQ(::symlink("loop1.svg", QFile::encodeName(at("loop2.svg")).constData()), 0);
  ASSERT_EQ(::symlink("gone.svg", QFile::encodeName(at("dangling.svg")).constData()), 0);

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
      {"a link to itself", "self.svg", false, "loop"},
      {"two links to each other", "loop1.svg", false, "loop"},
      {"a link to nothing", "dangling.svg", false, "does not exist"},
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
  for (const char* link : {"self.svg", "loop1.svg", "loop2.svg", "dangling.svg"}) {
    EXPECT_TRUE(QFileInfo(at(link)).isSymLink()) << link;
  }
  QFile written(at("old.svg"));
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  EXPECT_EQ(written.readAll(), QByteArray("new"));
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// On a full disk the write fails, says so, and the old file stays whole. A small tmpfs stands in
// for the full disk; where none can be mounted (not root) the test says so and skips.
TEST(WriteFileWhole, AFullDiskLeavesTheOldFileAsItWas) {
  QTemporaryDir dir;
  const QByteArray mountPoint = QFile::encodeName(dir.path());
  if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0) {
    GTEST_SKIP() << "cannot mount a small tmpfs here (needs root)";
  }
  const QString old = dir.filePath(QStringLiteral("board.svg"));
  const QByteArray oldBytes(6000, 'o');
  QString reason;
  ASSERT_TRUE(WriteFileWhole(old, oldBytes, reason)) << reason.toStdString();
  // Fill the disk but for a few kilobytes: fewer than the new file needs.
  QFile filler(dir.filePath(QStringLiteral("filler")));
  ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
  while (filler.write(QByteArray(1024, 'f')) == 1024 && filler.flush()) {
  }
  filler.close();
  QFile::resize(filler.fileName(), filler.size() - 8192);
  for (const int size : {20000, 100000}) {
    SCOPED_TRACE(size);
    EXPECT_FALSE(WriteFileWhole(old, QByteArray(size, 'n'), reason));
    EXPECT_TRUE(reason.contains(QLatin1String("space"))) << reason.toStdString();
    EXPECT_EQ(ReadAll(old), oldBytes);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
              (QStringList{QStringLiteral("board.svg"), QStringLiteral("filler")}));
  }
  ::umount(mountPoint.constData());
}

// A replaced file keeps its mode, set-group-ID bit included, and its group; a new one is made
// as the umask says.
TEST(WriteFileWhole, KeepsTheModeAndGroupOfTheFileItReplaces) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("board.svg"));
  const QByteArray name = QFile::encodeName(path);
  QString reason;
  const mode_t mask = ::umask(022);
  ASSERT_TRUE(WriteFileWhole(path, "first", reason)) << reason.toStdString();
  struct stat made {};
  ASSERT_EQ(::stat(name.constData(), &made), 0);
  EXPECT_EQ(made.st_mode & 07777, 0644u);
  const gid_t group = ::getuid() == 0 ? 1 : ::getgid();  // root may give the file away
  ASSERT_EQ(::chown(name.constData(), static_cast<uid_t>(-1), group), 0);
  ASSERT_EQ(::chmod(name.constData(), 02640), 0);
  ASSERT_TRUE(WriteFileWhole(path, "second", reason)) << reason.toStdString();
  struct stat kept {};
  ASSERT_EQ(::stat(name.constData(), &kept), 0);
  EXPECT_EQ(kept.st_mode & 07777, 02640u);
  EXPECT_EQ(kept.st_gid, group);
  EXPECT_EQ(ReadAll(path), QByteArray("second"));
  ::umask(mask);
}

}  // namespace
}  // namespace velmora
