#pragma once
// Acts on the modal dialog that the test's next statements open: a 20 ms timer looks for it
// while the opening call waits in the dialog's own event loop, as a user would find it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <functional>
#include <memory>

#include "framework/ui/w_base.h"

// What happens to the dialog once act has run on it.
enum class after_act {
  close,           // closed at once if act left it open
  wait_for_close,  // act closes it; one still open 5 s later is closed and fails the test
};

class modal_watch {
 public:
  ~modal_watch() { stop(); }

  // Watches for the next active modal widget of class W; act runs on the first one. Without
  // such a dialog within give_up_ms the watch ends (0: it watches until stopped).
  template <class W>
  void start(std::function<void(W&)> act, after_act then = after_act::close, int give_up_ms = 0) {
    seen_ = false;
    timer_ = std::make_unique<QTimer>();
    timer_->setInterval(20);
    QObject::connect(timer_.get(), &QTimer::timeout,
                     [this, act = std::move(act), then, give_up_ms, ticks = 0]() mutable {
                       W* w = dynamic_cast<W*>(QApplication::activeModalWidget());
                       if (!seen_) {
                         if (!w) {
                           if (give_up_ms > 0 && ++ticks >= give_up_ms / 20) timer_->stop();
                           return;
                         }
                         seen_ = true;
                         ticks = 0;
                         act(*w);
                         if (then == after_act::wait_for_close) return;
                         timer_->stop();
                         close(w);
                       } else if (w && ++ticks > 250) {
                         ADD_FAILURE() << "the dialog did not close";
                         close(w);
                       }
                     });
    timer_->start();
  }
  void stop() {
    if (timer_) timer_->stop();
  }
  bool seen() const { return seen_; }  // whether act ran

 private:
  static void close(QWidget* w) {
    if (auto* b = dynamic_cast<w_base*>(w)) {
      if (!b->is_closed()) b->close_window();
    } else {
      w->close();
    }
  }
  std::unique_ptr<QTimer> timer_;
  bool seen_ = false;
};
