// Reading inputs and writing outputs safely: inputs are size-limited, and
// outputs are written as platform/file_output.h describes (files replaced
// only when complete, devices and FIFOs written in place).
#pragma once

#include <string>

#include "platform/file_output.h"

namespace cli {

// The largest markup file (or standard input) read.
constexpr long long kMaxInputBytes = 4LL << 20;

// read(2) that goes on after a signal, and waits for data on a descriptor
// left non-blocking by whoever shares it (a shell's earlier program), as it
// would on a blocking one: the bytes read, 0 at the end, -1 with errno.
long ReadSome(int fd, void* buffer, size_t size);

// Reads a file, or standard input for "-", of at most kMaxInputBytes. False
// with the reason when it is missing, unreadable, a directory or too large.
bool ReadInput(const std::string& path, std::string* bytes, std::string* error);

// The engine text of a markup file: a UTF-8 byte order mark is dropped, CR LF
// becomes LF, and the lines are joined after losing their leading white
// space (as sample files are). False when the bytes hold a NUL.
bool MarkupOfFile(const std::string& bytes, std::string* markup, std::string* error);
// The TeX text of a file: a UTF-8 byte order mark is dropped and CR LF
// becomes LF; the lines stay as they are, as TeX reads a line break as a
// space (joining them would run "\\alpha" and "b" together). False when the
// bytes hold a NUL.
bool TexOfFile(const std::string& bytes, std::string* tex, std::string* error);
// Reads a file (or "-") and makes its markup, or its TeX text when tex:
// *bytes gets the file as written, *text what is drawn or translated.
bool ReadText(const std::string& path, bool tex, std::string* bytes, std::string* text, std::string* error);

// Writes bytes to path (see lexaro::output::WriteOutputFile); on failure
// nothing is left at path's side and an existing file at path is untouched.
// path "-" writes to standard output. False with the system's reason.
bool WriteOutput(const std::string& path, const std::string& bytes, std::string* error);
// The same for bytes a producer writes as it makes them (an encoder's rows).
bool WriteOutput(const std::string& path, const lexaro::output::Producer& produce, std::string* error);

// Makes SIGINT, SIGTERM and SIGHUP remove the temporary file of a write in
// progress before the program ends.
void RemoveTempFilesOnSignals();

// Creates the directory (and its parents) when missing. False with the
// reason when it cannot be created or is not a directory.
bool MakeDirectory(const std::string& dir, std::string* error);

}  // namespace cli
