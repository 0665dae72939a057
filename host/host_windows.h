#pragma once
// The host's own windows (w_member_sale_sum), listed in host_windows.json and declared and
// registered from that list the way a module's windows are.

#include <string>

// Generated from host_windows.json.
void register_host_windows();
const char* host_windows_metadata();

// Registers the host's data view, declares its windows to the launcher and registers them; false
// with reason when the list does not read.
bool add_host_windows(std::string& reason);
