#include "support/sqlite3_tool.h"

#include <gtest/gtest.h>

#include <QProcess>

std::string sqlite3_tool(const std::string& db_file, const std::string& sql) {
  QProcess p;
  p.start("sqlite3", {QString::fromStdString(db_file), QString::fromStdString(sql)});
  if (!p.waitForFinished(20000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
    ADD_FAILURE() << "sqlite3 (scripts/deps.sh installs it): " << p.errorString().toStdString()
                  << " " << p.readAllStandardError().toStdString();
  return p.readAllStandardOutput().trimmed().toStdString();
}
