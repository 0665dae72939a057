#include "framework/ui/w_base.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWindow>
#include <QTimer>

#include "framework/runtime/runtime.h"
#include "framework/ui/module_font.h"
#include "framework/ui/units.h"

w_base::w_base(QWidget* parent) : QDialog(parent) {
  setFont(module_font());
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

w_base::~w_base() = default;

void w_base::create() {}
void w_base::destroy() {}
void w_base::kpo_preopen() {}
void w_base::kpo_postopen() {}
void w_base::kpo_open() {}
int w_base::kpo_save(int /*an_commit*/) { return kpo_savedata(); }
int w_base::kpo_savedata() { return 1; }
int w_base::kpo_default() { return 0; }
void w_base::kpo_refresh() {}
long w_base::close_event() { return message.returnvalue; }

void w_base::wf_msgdlg(const std::string& text) {
  messagebox(title(), text, mb_icon::information, mb_buttons::ok, 1);
}

void w_base::set_title(const std::string& t) { setWindowTitle(QString::fromStdString(t)); }
std::string w_base::title() const { return windowTitle().toStdString(); }

void w_base::set_size_units(int width, int height) {
  resize(units_to_px_x(width), units_to_px_y(height));
}

namespace {
const char* placed_property = "w_base_placed";
}  // namespace

void w_base::place(QWidget* w, int x, int y, int width, int height) {
  place_units(w, x, y, width, height);
  w->setProperty(placed_property, true);
}

bool w_base::was_placed(const QWidget* w) { return w->property(placed_property).toBool(); }

void w_base::run_open_sequence() {
  opening_ = true;
  create();
  controls_created();
  if (!closed_) kpo_preopen();
  if (!closed_) {
    if (is_dialog()) setWindowModality(Qt::ApplicationModal);
    show();
  }
  if (!closed_) kpo_postopen();
  if (!closed_) open_finished();
  opening_ = false;
  std::vector<std::function<void()>> pending;
  pending.swap(posted_);
  for (auto& fn : pending) post_event(std::move(fn));
}

void w_base::paint_now() {
  if (!isVisible()) return;
  // On a real display the window is mapped a moment after show(): wait for that, briefly.
  QElapsedTimer waited;
  waited.start();
  do QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
  while (windowHandle() && !windowHandle()->isExposed() && waited.elapsed() < 500);
  repaint();
}

void w_base::post_event(std::function<void()> fn) {
  if (opening_) {
    posted_.push_back(std::move(fn));
    return;
  }
  QTimer::singleShot(0, this, [this, fn = std::move(fn)] {
    if (!closed_) fn();
  });
}

bool w_base::try_close() {
  if (closed_) return true;
  if (closing_) return false;  // already asking
  closing_ = true;
  if (!ask_save_first()) {
    closing_ = false;
    return false;
  }
  close_event();
  destroy();
  closed_ = true;
  closing_ = false;
  return true;
}

bool w_base::ask_save_first() {
  accept_pending_edits();
  if (!has_unsaved_changes()) return true;
  const int answer =
      messagebox(title(), "是否保存所做的修改？", mb_icon::question, mb_buttons::yesnocancel, 1);
  if (answer == 1) return kpo_save(1) >= 0;
  return answer == 2;
}

void w_base::finish(int result) {
  if (!try_close()) return;
  QDialog::done(result);
}

void w_base::close_window() { finish(QDialog::Rejected); }

void w_base::done(int r) { finish(r); }

void w_base::closeEvent(QCloseEvent* e) {
  if (!try_close()) {
    e->ignore();
    return;
  }
  setResult(QDialog::Rejected);
  e->accept();
}
