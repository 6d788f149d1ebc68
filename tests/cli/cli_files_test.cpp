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

// A reader that has gone away is a failed write, exit status 1, as --help says.
TEST(CliFiles, AClosedPipeEndsWithStatusOne) {
  int pipeEnds[2];
  ASSERT_EQ(::pipe(pipeEnds), 0);
  ::close(pipeEnds[0]);
  RawCli cli({"--date", "2000-02-04", "--time", "23:00"}, pipeEnds[1]);
  ::close(pipeEnds[1]);
  std::string err;
  const int status = cli.Finish(err);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  EXPECT_THAT(err, HasSubstr("cannot write the output"));
}

// Stopped by a signal, a batch writes whole answers only, says how many, and ends by the signal.
TEST(CliFiles, AStoppedBatchWritesWholeAnswersAndSaysHowMany) {
  QTemporaryDir dir;
  const QString input = dir.filePath(QStringLiteral("births.txt"));
  QFile births(input);
  ASSERT_TRUE(births.open(QIODevice::WriteOnly));
  const QByteArray line = "2000-02-04 23:00\n";
  births.write(line.repeated(2'000'000));
  births.close();
  for (const int signal : {SIGINT, SIGTERM}) {
    for (const char* jobs : {"1", "2"}) {
      SCOPED_TRACE(std::string(strsignal(signal)) + ", jobs " + jobs);
      const QString output = dir.filePath(QStringLiteral("answers.jsonl"));
      const int out = OpenOut(output);
      RawCli cli({"--batch", input.toStdString(), "--jobs", jobs}, out);
      ::close(out);
      while (QFile(output).size() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
      ::kill(cli.Pid(), signal);
      std::string err;
      const int status = cli.Finish(err);
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
      QFile answers(output);
      ASSERT_TRUE(answers.open(QIODevice::ReadOnly));
      const QByteArray all = answers.readAll();
      ASSERT_TRUE(all.endsWith('\n'));
      const QList<QByteArray> lines = all.trimmed().split('\n');
      EXPECT_TRUE(QJsonDocument::fromJson(lines.back()).isObject());
      EXPECT_THAT(err, HasSubstr("stopped by SIG" + std::string(sigabbrev_np(signal)) +
                                 " after answering " + std::to_string(lines.size()) + " lines"));
    }
  }
}

}  // namespace
}  // namespace velmora
