#pragma once

#include <QString>
#include <string>

// Whole-file reading and writing of setup and workspace files.
namespace file_io {

// The file's bytes, or false with a reason for the user.
bool Read(const QString& path, std::string& bytes, QString& error);

// Writes through a temporary file that replaces the old one only when everything was
// written, so a failed save leaves the old file as it was.
bool Write(const QString& path, const std::string& bytes, QString& error);

} // namespace file_io
