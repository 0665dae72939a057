#pragma once
// Keeps a password given on the command line out of `ps`: the process's own copy of its
// arguments (what /proc/PID/cmdline shows) is overwritten with the masked URL at start-up.

// Rewrites, in place, every argument that holds a password (see display_url) so that it shows
// the masked form. Call it after the arguments have been copied for use.
void hide_passwords_in_arguments(int argc, char** argv);
