#pragma once
// A file the user asked for is written whole or not at all. The bytes go to a temporary file in
// the same folder, which takes the file's name only once every byte has reached the disk; after a
// failure (a full disk, a folder that cannot be written) nothing is left under that name. A
// device or pipe named as the file (/dev/null, a printer's port) is written in place, checked
// the same way.

#include <functional>
#include <string>

class QIODevice;

// Writes the file at path through write, which answers false when it could not produce its
// bytes. True when the whole file is in place; otherwise error says why, naming the file.
bool write_whole_file(const std::string& path, const std::function<bool(QIODevice&)>& write,
                      std::string& error);
