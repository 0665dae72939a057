// The member-terminal executable run as a user would: first start in an empty folder, headless
// screenshots, and plain failures.

#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "framework/runtime/runtime.h"

namespace {

struct run_result {
  int exit_code = -1;
  std::string out, err;
};

QString terminal_path() {
  const QByteArray env = qgetenv("MEMBER_TERMINAL");
  if (!env.isEmpty()) return QString::fromLocal8Bit(env);
  return QCoreApplication::applicationDirPath() + "/../host/member-terminal";
}

run_result run_terminal(const QString& dir, const QStringList& args, bool with_display = true) {
  QProcess p;
  p.setWorkingDirectory(dir);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("DISPLAY");
  env.remove("WAYLAND_DISPLAY");
  env.remove("QT_QPA_PLATFORM");
  if (with_display) env.insert("QT_QPA_PLATFORM", "offscreen");
  p.setProcessEnvironment(env);
  p.start(terminal_path(), args);
  run_result r;
  if (!p.waitForFinished(120000)) {
    p.kill();
    p.waitForFinished();
    r.err = "did not finish";
    return r;
  }
  r.exit_code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = p.readAllStandardOutput().toStdString();
  r.err = p.readAllStandardError().toStdString();
  return r;
}

class host_member_terminal : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!QFileInfo(terminal_path()).isExecutable())
      GTEST_SKIP() << "member-terminal not built at " << terminal_path().toStdString();
    ASSERT_TRUE(dir_.isValid());
  }
  QString path(const char* name) const { return dir_.path() + "/" + name; }
  QTemporaryDir dir_;
};

TEST_F(host_member_terminal, first_start_creates_the_demo_and_renders_windows) {
  const run_result r = run_terminal(
      dir_.path(), {"--members", "20", "--screenshot", "w_member_sale_sum", "sum.png", "--parm", "1"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_TRUE(QFileInfo::exists(path("member-demo.db")));
  EXPECT_EQ(profileint(path("util/syncclient.ini").toStdString(), "Site", "ID", 0), 1);
  const QImage sum(path("sum.png"));
  EXPECT_GT(sum.width(), 200);
  EXPECT_GT(sum.height(), 150);

  // The second start reuses the database; the launcher renders too.
  const run_result again = run_terminal(dir_.path(), {"--screenshot", "launcher", "l.png"});
  ASSERT_EQ(again.exit_code, 0) << again.err;
  EXPECT_EQ(again.err.find("created"), std::string::npos) << again.err;
  EXPECT_FALSE(QImage(path("l.png")).isNull());
}

TEST_F(host_member_terminal, failures_are_plain_and_non_zero) {
  // Without a display and without --screenshot it says how to run it, touching nothing.
  run_result r = run_terminal(dir_.path(), {}, false);
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_NE(r.err.find("xvfb-run"), std::string::npos) << r.err;
  EXPECT_FALSE(QFileInfo::exists(path("member-demo.db")));

  r = run_terminal(dir_.path(), {"--members", "10", "--screenshot", "w_no_such", "x.png"});
  EXPECT_NE(r.exit_code, 0);
  EXPECT_NE(r.err.find("w_no_such"), std::string::npos) << r.err;
  EXPECT_FALSE(QFileInfo::exists(path("x.png")));

  r = run_terminal(dir_.path(), {"--database", "sqlite:/no/such/dir/x.db", "--screenshot",
                                 "launcher", "x.png"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("cannot connect"), std::string::npos) << r.err;

  r = run_terminal(dir_.path(), {"--members", "many"});
  EXPECT_NE(r.exit_code, 0);
  EXPECT_NE(r.err.find("--members"), std::string::npos) << r.err;
}

}  // namespace
