#include "lock_waits.h"

namespace {
lock_wait_limits limits;
}  // namespace

const char* const held_elsewhere_text =
    "另一终端正在修改同一会员或同一数据，等候超时：本次没有写入任何内容，请稍后重试。";

lock_wait_limits current_lock_wait_limits() { return limits; }

void set_lock_wait_limits(const lock_wait_limits& l) { limits = l; }

db_result& mark_held_elsewhere(db_result& r) {
  r.code = -1;
  r.held_elsewhere = true;
  r.error_text = held_elsewhere_text;
  return r;
}
