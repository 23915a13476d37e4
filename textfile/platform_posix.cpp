#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>

#include "textfile/platform.h"
#include "textfile/utf8.h"

namespace textresgen {
namespace {

// POSIX has no share modes; advisory flock() locks between the openers
// that ask for them stand in for them. Returns 0, EACCES when another
// opener holds a conflicting lock, or 0 as well when the file system
// offers no locks at all (the file is then used unshared rather than not
// at all).
int Lock(int fd, int operation) {
  for (;;) {
    if (flock(fd, operation | LOCK_NB) == 0) return 0;
    if (errno == EINTR) continue;
    if (errno == EWOULDBLOCK) return EACCES;
    return 0;
  }
}

}  // namespace

PlatformFile::~PlatformFile() { Close(); }

int PlatformFile::OpenForReading(const std::u16string& path) {
  Close();
  const std::string native = Utf16ToUtf8(path);
  int fd;
  do {
    fd = open(native.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return errno;
  struct stat info;
  if (fstat(fd, &info) != 0) {
    const int error = errno;
    ::close(fd);
    return error;
  }
  if (S_ISDIR(info.st_mode)) {
    ::close(fd);
    return EISDIR;
  }
  if (const int error = Lock(fd, LOCK_SH); error != 0) {
    ::close(fd);
    return error;
  }
  fd_ = fd;
  return 0;
}

int PlatformFile::OpenForWriting(const std::u16string& path) {
  Close();
  const std::string native = Utf16ToUtf8(path);
  int fd;
  // No O_TRUNC: the content of a file held by someone else must survive
  // the failed open, so it is cut only once the lock is ours.
  do {
    fd = open(native.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return errno;
  if (const int error = Lock(fd, LOCK_EX); error != 0) {
    ::close(fd);
    return error;
  }
  struct stat info;
  int error = 0;
  if (fstat(fd, &info) != 0) {
    error = errno;
  } else if (S_ISREG(info.st_mode) && ftruncate(fd, 0) != 0) {
    // Devices and pipes have nothing to cut.
    error = errno;
  }
  if (error != 0) {
    ::close(fd);
    return error;
  }
  fd_ = fd;
  return 0;
}

std::ptrdiff_t PlatformFile::Read(std::uint8_t* out, std::size_t count) {
  if (fd_ < 0) return -1;
  for (;;) {
    const ssize_t got = ::read(fd_, out, count);
    if (got >= 0) return got;
    if (errno != EINTR) return -1;
  }
}

int PlatformFile::Write(const std::uint8_t* data, std::size_t count) {
  if (fd_ < 0) return EBADF;
  while (count > 0) {
    const ssize_t done = ::write(fd_, data, count);
    if (done < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (done == 0) return EIO;
    data += done;
    count -= static_cast<std::size_t>(done);
  }
  return 0;
}

int PlatformFile::Close() {
  if (fd_ < 0) return 0;
  const int fd = fd_;
  fd_ = -1;
  // Not retried on EINTR: on Linux the descriptor is gone either way.
  return ::close(fd) == 0 ? 0 : errno;
}

bool PlatformFile::is_open() const { return fd_ >= 0; }

void WriteConsoleErrorLine() {
  static constexpr char kLine[] = "ERR!\r\n";
  std::fwrite(kLine, 1, sizeof kLine - 1, stdout);
  std::fflush(stdout);
}

void AdviseLargePages(void* block, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
  // Transparent huge pages are often granted only on request; one fault
  // then fills 2 MiB instead of 4 KiB.
  madvise(block, bytes, MADV_HUGEPAGE);
#else
  (void)block;
  (void)bytes;
#endif
}

void SelectJapaneseLocale() {
  for (const char* name :
       {"ja_JP.UTF-8", "ja_JP.utf8", "ja_JP.eucJP", "ja_JP"}) {
    if (std::setlocale(LC_ALL, name) != nullptr) return;
  }
}

}  // namespace textresgen
