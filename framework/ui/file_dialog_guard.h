#pragma once
// Keeps every file list the process shows from opening the files it lists. Qt's file models
// (the file dialogs, the print dialog's file name completer) guess a file's type and icon from
// its first bytes; opening and closing the SQLite database file that way releases the process's
// POSIX locks on it, and another program may then delete the write-ahead log under the
// connection. Installed once by install_ui(): every file model shown judges files by their
// names only, and no dialog is a platform-native one (those read files where we cannot reach).

void install_file_dialog_guard();
