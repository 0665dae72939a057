#include "framework/value/local_clock.h"

#include <ctime>

datetime local_now() {
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  return datetime::from_parts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                              local.tm_hour, local.tm_min, local.tm_sec);
}

datetime day_of(datetime t) { return datetime{t.seconds - ((t.seconds % 86400) + 86400) % 86400}; }
