#include "framework/ui/whole_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

std::string with_reason(std::string text, const QFileDevice& f) {
  if (f.error() != QFileDevice::NoError && !f.errorString().isEmpty())
    text += "：" + f.errorString().toStdString();
  return text;
}

}  // namespace

bool write_whole_file(const std::string& path, const std::function<bool(QIODevice&)>& write,
                      std::string& error) {
  const QString name = QString::fromStdString(path);
  const QFileInfo info(name);
  // Not a plain file: there is no folder to hold a copy, and renaming one over it would put a
  // plain file where the device was.
  const bool in_place = info.exists() && !info.isFile() && !info.isDir();
  QSaveFile whole(name);
  QFile device(name);
  QFileDevice& f = in_place ? static_cast<QFileDevice&>(device) : whole;
  if (!f.open(QIODevice::WriteOnly)) {
    error = with_reason("无法写入文件 " + path, f);
    return false;
  }
  // The last bytes wait in the device's buffer: flushed here, where a failure shows. The commit
  // does not see a failure of its own flush, and would put a file cut short in place.
  bool ok = write(f) && f.flush() && f.error() == QFileDevice::NoError;
  if (!in_place) ok = ok && whole.commit();  // a temporary file not committed is removed
  if (!ok) error = with_reason("写入文件 " + path + " 失败", f);
  return ok;
}
