#include "host/host_windows.h"

#include "framework/module/module_loader.h"
#include "host/dw_member_sale_sum.h"

bool add_host_windows(std::string& reason) {
  register_definition(make_dw_member_sale_sum());
  return declare_host_windows(host_windows_metadata(), register_host_windows, reason);
}
