// Clock, program directory, path and file services of the run-time (no user interface).
#pragma once

#include <cstddef>
#include <span>

// Seconds of the program clock (monotonic; 0 at the first call).
double Timer();

// Directory of the running executable, without a trailing separator.
int GetProjectDir(std::span<char> dir);
// dir + separator + file; '/' and '\\' both count as separators in dir.
int MakePathname(const char* dir, const char* file, std::span<char> path);
// Splits a path into drive (always empty here), directory (with its trailing separator) and file name.
// Any output span may be empty to skip it. '/' and '\\' both count as separators.
int SplitPath(const char* path, std::span<char> drive, std::span<char> dir, std::span<char> file);

// A record as raw bytes. ArrayToFile writes to a temporary name and renames it over the file, so a crash
// never leaves half a file. FileToArray reads exactly data.size() bytes; FileHeadToArray the first
// data.size() bytes of a file that may be longer. On any failure data is untouched.
enum FileStatus : int {
    FILE_OK = 0,
    FILE_OPEN_ERROR = -1, // missing or unreadable
    FILE_SIZE_ERROR = -2, // the file does not hold data.size() bytes (exactly, for FileToArray)
    FILE_WRITE_ERROR = -3,
};
// Writing over an existing file keeps its permissions.
int ArrayToFile(const char* path, std::span<const std::byte> data);
int FileToArray(const char* path, std::span<std::byte> data);
bool FileExists(const char* path);
int FileHeadToArray(const char* path, std::span<std::byte> data);

// Text read line by line. ReadLine returns the line's length without its end-of-line (cut to fit line,
// always terminated), -2 at the end of the file, -1 on error.
int OpenFile(const char* path);
int ReadLine(int file, std::span<char> line);
int CloseFile(int file);
