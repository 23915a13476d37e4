#include "textfile/platform.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <clocale>
#include <cstdio>

namespace textresgen {
namespace {

int ErrnoFromLastError() {
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    default:
      return EIO;
  }
}

// wchar_t is a 16-bit UTF-16 unit on Windows: the path passes unit by unit.
std::wstring NativePath(const std::u16string& path) {
  return std::wstring(path.begin(), path.end());
}

// Reads and writes take a DWORD count; larger requests go in pieces.
constexpr std::size_t kMaxChunkBytes = 1u << 30;

}  // namespace

PlatformFile::~PlatformFile() { Close(); }

int PlatformFile::OpenForReading(const std::u16string& path) {
  Close();
  // Sharing read only: writers are kept out, and an existing writer makes
  // this open fail with a sharing violation.
  HANDLE handle =
      CreateFileW(NativePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return ErrnoFromLastError();
  handle_ = handle;
  return 0;
}

int PlatformFile::OpenForWriting(const std::u16string& path) {
  Close();
  // CREATE_ALWAYS truncates only once the sharing check has passed.
  HANDLE handle =
      CreateFileW(NativePath(path).c_str(), GENERIC_WRITE, 0, nullptr,
                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return ErrnoFromLastError();
  handle_ = handle;
  return 0;
}

std::ptrdiff_t PlatformFile::Read(std::uint8_t* out, std::size_t count) {
  if (handle_ == nullptr) return -1;
  if (count > kMaxChunkBytes) count = kMaxChunkBytes;
  DWORD got = 0;
  if (!ReadFile(static_cast<HANDLE>(handle_), out, static_cast<DWORD>(count),
                &got, nullptr)) {
    return -1;
  }
  return static_cast<std::ptrdiff_t>(got);
}

int PlatformFile::Write(const std::uint8_t* data, std::size_t count) {
  if (handle_ == nullptr) return EBADF;
  while (count > 0) {
    const std::size_t chunk = count < kMaxChunkBytes ? count : kMaxChunkBytes;
    DWORD done = 0;
    if (!WriteFile(static_cast<HANDLE>(handle_), data,
                   static_cast<DWORD>(chunk), &done, nullptr)) {
      return ErrnoFromLastError();
    }
    if (done == 0) return EIO;
    data += done;
    count -= done;
  }
  return 0;
}

int PlatformFile::Close() {
  if (handle_ == nullptr) return 0;
  HANDLE handle = static_cast<HANDLE>(handle_);
  handle_ = nullptr;
  return CloseHandle(handle) ? 0 : ErrnoFromLastError();
}

bool PlatformFile::is_open() const { return handle_ != nullptr; }

void WriteConsoleErrorLine() {
  static constexpr char kLine[] = "ERR!\r\n";
  // Binary mode, so the C library adds no second CR before the LF.
  std::fflush(stdout);
  _setmode(_fileno(stdout), _O_BINARY);
  std::fwrite(kLine, 1, sizeof kLine - 1, stdout);
  std::fflush(stdout);
}

// Large pages on Windows need a privilege that build accounts rarely
// hold, so the block keeps normal pages.
void AdviseLargePages(void*, std::size_t) {}

void SelectJapaneseLocale() { std::setlocale(LC_ALL, "Japanese"); }

}  // namespace textresgen
