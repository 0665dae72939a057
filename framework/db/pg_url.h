#pragma once
// What the terminal makes of a PostgreSQL URL before it connects: the TLS mode it adds when the
// URL leaves the choice to libpq, and whether a key of the URL names a password.

#include <string>
#include <string_view>

// The sslmode a connection to this URL adds: "verify-full" when it reaches a host over TCP that
// is not this machine and neither the URL nor the environment (PGSSLMODE, a service) names a
// mode; "" otherwise. A URL libpq cannot parse adds nothing (libpq then says why it is wrong).
std::string pg_default_sslmode(const std::string& url);

// Whether a connection parameter's key, as written (any case, percent-encoded or not, with the
// spaces the key/value form allows), names a password libpq would take.
bool names_a_password(std::string_view key);
