#include "framework/ui/file_dialog_guard.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QFileSystemModel>
#include <QMimeDatabase>
#include <QWidget>

namespace {

// Icons and type names from what the file system says (folder or file) and the file's name.
class name_only_icon_provider : public QFileIconProvider {
 public:
  QIcon icon(IconType type) const override { return QFileIconProvider::icon(type); }
  QIcon icon(const QFileInfo& info) const override {
    return icon(info.isRoot() ? Drive : info.isDir() ? Folder : File);
  }
  // Qt's Chinese translation has no words for a folder's or drive's type, and the MIME comments
  // of files come in the user's language: the type column speaks Chinese, as the windows do.
  QString type(const QFileInfo& info) const override {
    if (info.isRoot()) return QString::fromUtf8("驱动器");
    if (info.isDir()) return QString::fromUtf8("文件夹");
    return QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchExtension).comment();
  }
};

// Gives every file model inside a window that is being shown the name-only provider. A model
// judges the files of a folder when its listing arrives through the event loop, which runs only
// after the window is shown, so the provider is in place before any file is judged.
class file_model_guard : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::Show && o->isWidgetType() && static_cast<QWidget*>(o)->isWindow()) {
      for (QFileSystemModel* m : o->findChildren<QFileSystemModel*>())
        if (m->iconProvider() != &provider_) m->setIconProvider(&provider_);
    }
    return false;
  }

 private:
  name_only_icon_provider provider_;
};

}  // namespace

void install_file_dialog_guard() {
  static file_model_guard* guard = nullptr;
  if (guard) return;
  QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
  guard = new file_model_guard(qApp);
  qApp->installEventFilter(guard);
}
