#include "host/screenshot.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "framework/runtime/runtime.h"
#include "framework/ui/w_base.h"
#include "framework/ui/window_registry.h"

void settle_events(int ms) {
  QElapsedTimer t;
  t.start();
  do {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    QApplication::sendPostedEvents();
  } while (t.elapsed() < ms);
}

bool save_widget_png(QWidget* w, const std::string& file, std::string& error) {
  const QPixmap pm = w->grab();
  if (pm.isNull() || pm.width() < 2 || pm.height() < 2) {
    error = "the window rendered to an empty picture";
    return false;
  }
  if (!pm.save(QString::fromStdString(file), "PNG")) {
    error = "cannot write " + file;
    return false;
  }
  return true;
}

int render_window_png(const std::string& class_name, std::optional<int64_t> parm,
                      const std::optional<std::string>& text, const std::string& file,
                      std::string& error) {
  if (!window_available(class_name)) {
    error = "no loaded module declares the window class '" + class_name + "'";
    return 3;
  }

  // A modal dialog is running its own loop inside open_window(): watch for it and grab it once it
  // has been the active modal window for two ticks in a row (its first retrieval has painted).
  bool grabbed = false;
  bool save_failed = false;
  QPointer<QWidget> seen;
  QTimer watch;
  watch.setInterval(100);
  QObject::connect(&watch, &QTimer::timeout, [&] {
    auto* w = qobject_cast<w_base*>(QApplication::activeModalWidget());
    if (!w || !w->isVisible()) {
      seen = nullptr;
      return;
    }
    if (seen != w) {
      seen = w;
      return;
    }
    watch.stop();
    grabbed = true;
    save_failed = !save_widget_png(w, file, error);
    w->close_window();
  });
  watch.start();

  w_base* w = text ? open_window_text(class_name, *text) : open_window(class_name, parm.value_or(0));
  watch.stop();

  if (grabbed) {
    delete w;
    return save_failed ? 4 : 0;
  }
  if (!w) {
    error = class_name + " closed before it could be rendered (it answered " +
            std::to_string(message.number()) + ")";
    return 5;
  }
  settle_events(300);
  const bool ok = save_widget_png(w, file, error);
  w->close_window();
  delete w;
  return ok ? 0 : 4;
}
