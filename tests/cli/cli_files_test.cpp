// velmora-cli against what is not as it seems: names that are not UTF-8, an output file that is
// also the chart, a closed pipe and a batch stopped by a signal. The program is started with
// raw bytes as arguments, which a QString could not carry.
#include <QByteArray>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace velmora {
namespace {

using ::testing::HasSubstr;

// A started velmora-cli: its standard output goes to `out` (a descriptor), its standard error
// to a file read back by Finish(), its input from `in` when that is given.
class RawCli {
 public:
  RawCli(const std::vector<std::string>& arguments, int out, const std::string& in = {})
      : err_(dir_.filePath(QStringLiteral("err")).toStdString()) {
    std::vector<std::string> words = {VELMORA_CLI_PATH};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err_.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, in.empty() ? "/dev/null" : in.c_str(),
                                     O_RDONLY, 0);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }

  pid_t Pid() const { return pid_; }

  // Waits for the end; gives the wait status and puts standard error in `err`.
  int Finish(std::string& err) {
    int status = -1;
    if (pid_ > 0) ::waitpid(pid_, &status, 0);
    QFile file(QString::fromStdString(err_));
    err = file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    return status;
  }

 private:
  QTemporaryDir dir_;
  std::string err_;
  pid_t pid_ = -1;
};

int OpenOut(const QString& path) {
  return ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
}

TEST(CliFiles, RefusesNamesItCannotKeepAndAChartOverItsOwnOutput) {
  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString() + "/";
  QFile births(dir.filePath(QStringLiteral("births\xC3\xA9.txt")));
  ASSERT_TRUE(births.open(QIODevice::WriteOnly));
  births.write("2000-02-04 23:00\n");
  births.close();
  ASSERT_EQ(::rename(QFile::encodeName(births.fileName()).constData(),
                     (folder + "births\xff.txt").c_str()),
            0);
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    const char* saying;
  };
  const std::vector<std::string> birth = {"--date", "2000-02-04", "--time", "23:00"};
  const auto with = [&](std::vector<std::string> more) {
    more.insert(more.begin(), birth.begin(), birth.end());
    return more;
  };
  const Case cases[] = {
      {"a chart name that is not UTF-8", with({"--chart", folder + "board\xff\xfe.svg"}),
       "not UTF-8"},
      {"a batch file name that is not UTF-8", {"--batch", folder + "births\xff.txt"}, "not UTF-8"},
      {"a chart over standard output", with({"--chart", folder + "out.svg"}),
       "standard output writes to that file already"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int out = OpenOut(dir.filePath(QStringLiteral("out.svg")));
    RawCli cli(c.arguments, out);
    ::close(out);
    std::string err;
    const int status = cli.Finish(err);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << status;
    EXPECT_THAT(err, HasSubstr(c.saying));
    EXPECT_EQ(QFile(dir.filePath(QStringLiteral("out.svg"))).size(), 0);
    // The births and the output: no file of another name has appeared.
    const std::filesystem::directory_iterator files(folder);
    EXPECT_EQ(std::distance(begin(files), end(files)), 2);
  }
}

// A reader that has gone away (| head) is a failed write, exit status 1, as --help says, and
// no news worth a line to the user who closed it.
TEST(CliFiles, AClosedPipeEndsWithStatusOneAndNoMessage) {
  const std::vector<std::vector<std::string>> commands = {
      {"--date", "2000-02-04", "--time", "23:00"},
      {"--zones"},
      {"--batch", "-", "--jobs", "1"},
      {"--batch", "-", "--jobs", "2"}};
  QTemporaryDir dir;
  const QString births = dir.filePath(QStringLiteral("births.txt"));
  QFile file(births);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(QByteArray("2000-02-04 23:00\n").repeated(1000));
  file.close();
  for (const std::vector<std::string>& arguments : commands) {
    SCOPED_TRACE(arguments.front());
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    ::close(pipeEnds[0]);
    RawCli cli(arguments, pipeEnds[1], births.toStdString());
    ::close(pipeEnds[1]);
    std::string err;
    const int status = cli.Finish(err);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_EQ(err, "");
  }
}

// A board's file name may start with a byte order mark, a character like any other.
TEST(CliFiles, AChartNameStartingWithAByteOrderMarkIsKept) {
  QTemporaryDir dir;
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path().toStdString());  // the argument starts with the mark
  const std::string name =
      "\xEF\xBB\xBF"
      "board.svg";
  const int out = OpenOut(dir.filePath(QStringLiteral("out.txt")));
  RawCli cli({"--date", "2000-02-04", "--time", "23:00", "--chart", name}, out);
  ::close(out);
  std::string err;
  const int status = cli.Finish(err);
  std::filesystem::current_path(before);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << err;
  EXPECT_TRUE(std::filesystem::is_regular_file(dir.path().toStdString() + "/" + name));
}

// Births naming a place no city or zone goes by, each a different one, so that every line
// asks the city finder afresh (a twentieth of a second or more each).
QByteArray SlowBirths(int count) {
  QByteArray births;
  for (int i = 0; i < count; ++i)
    births += "1990-01-15 12:00 Atlantiss Qx" + QByteArray::number(i) + '\n';
  return births;
}

QString WriteFile(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
  const QString path = dir.filePath(QLatin1String(name));
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write(bytes);
  return path;
}

// Every answer whole: the text ends with a line break and each line is a JSON object.
void ExpectWholeAnswers(const QByteArray& all) {
  if (all.isEmpty()) return;
  ASSERT_TRUE(all.endsWith('\n'));
  for (const QByteArray& line : all.chopped(1).split('\n')) {
    ASSERT_TRUE(QJsonDocument::fromJson(line).isObject()) << line.left(80).toStdString();
  }
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A stop is taken between lines, not between reads: lines that take long each, read in one
// block, on one worker or two, still end the batch within moments of the signal, the input read
// to its end or not.
TEST(CliFiles, AStopComesBetweenSlowLines) {
  QTemporaryDir dir;
  const QString input = WriteFile(dir, "births.txt", SlowBirths(100));
  for (const char* jobs : {"1", "2"}) {
    SCOPED_TRACE(std::string("jobs ") + jobs);
    const QString output = dir.filePath(QStringLiteral("answers.jsonl"));
    const int out = OpenOut(output);
    RawCli cli({"--batch", input.toStdString(), "--jobs", jobs}, out);
    ::close(out);
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    const auto signalled = std::chrono::steady_clock::now();
    ::kill(cli.Pid(), SIGTERM);
    std::string err;
    const int status = cli.Finish(err);
    // Before, the whole block of 100 lines was answered first: seconds.
    EXPECT_LT(SecondsSince(signalled), 1.0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status << err;
    QFile answers(output);
    ASSERT_TRUE(answers.open(QIODevice::ReadOnly));
    const QByteArray all = answers.readAll();
    ExpectWholeAnswers(all);
    EXPECT_LT(all.count('\n'), 100);
    EXPECT_THAT(err, HasSubstr("stopped by SIGTERM after answering " +
                               std::to_string(all.count('\n')) + " lines, each answer whole."));
  }
}

// A reader that stops reading holds a stopped batch up for moments only; what it finds in the
// pipe afterwards is whole answers, as many as the message says. A second signal ends the
// writing at once, between two answers.
TEST(CliFiles, AStopEndsABatchWhoseReaderStoppedReading) {
  QTemporaryDir dir;
  const QString input =
      WriteFile(dir, "births.txt", QByteArray("2000-02-04 23:00\n").repeated(200'000));
  for (const int stops : {1, 2}) {
    for (const char* jobs : {"1", "2"}) {
      SCOPED_TRACE(std::to_string(stops) + " signals, jobs " + jobs);
      int pipeEnds[2];
      ASSERT_EQ(::pipe(pipeEnds), 0);
      RawCli cli({"--batch", input.toStdString(), "--jobs", jobs}, pipeEnds[1]);
      ::close(pipeEnds[1]);
      std::this_thread::sleep_for(std::chrono::milliseconds(400));  // the pipe is full by now
      const auto signalled = std::chrono::steady_clock::now();
      for (int i = 0; i < stops; ++i) {
        ::kill(cli.Pid(), SIGTERM);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
      std::string err;
      const int status = cli.Finish(err);
      EXPECT_LT(SecondsSince(signalled), 2.0);
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status << err;
      QByteArray all;
      char buffer[65536];
      for (ssize_t got = 0; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        all.append(buffer, got);
      }
      ::close(pipeEnds[0]);
      ExpectWholeAnswers(all);
      EXPECT_GT(all.count('\n'), 0);
      EXPECT_THAT(err, HasSubstr("stopped by SIGTERM after answering " +
                                 std::to_string(all.count('\n')) + " lines, each answer whole; "));
      EXPECT_THAT(err, HasSubstr(stops == 1 ? "the output took nothing" : "stopped a second time"));
    }
  }
}

}  // namespace
}  // namespace velmora
