#include "platform/OutputFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <utility>

namespace platform {
namespace {

// More numbered names than a minute can hold recordings; past them the
// folder is taken to be unusable rather than searched for ever.
constexpr int kMaxNumber = 9999;

std::atomic<int> createFault{0};
std::atomic<int> writeFault{0};
std::atomic<std::int64_t> writeBudget{0};

// "<name> (n)<ext>", the extension being the file name's last one.
std::string Numbered(const std::string& path, int n) {
  const std::size_t slash = path.rfind('/');
  const std::size_t dot = path.rfind('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  const std::size_t cut = hasExtension ? dot : path.size();
  return path.substr(0, cut) + " (" + std::to_string(n) + ")" + path.substr(cut);
}

// The injected fault for a write of `size` bytes, 0 when it may go ahead.
int WriteFault(std::size_t size) {
  const int error = writeFault.load();
  if (error == 0) return 0;
  if (writeBudget.fetch_sub(static_cast<std::int64_t>(size)) >= static_cast<std::int64_t>(size)) return 0;
  writeBudget.store(0);
  return error;
}

}  // namespace

OutputFile::OutputFile(OutputFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)), error_(other.error_) {}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
    error_ = other.error_;
  }
  return *this;
}

OutputFile::~OutputFile() { Close(); }

OutputFile OutputFile::CreateNew(const std::string& path) {
  if (const int error = createFault.load()) return OutputFile(-1, path, error);
  for (int n = 1; n <= kMaxNumber; ++n) {
    std::string name = n == 1 ? path : Numbered(path, n);
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0) {
      // Held until the file is closed; a file nobody else knows yet cannot
      // be locked already, so the result needs no check.
      ::flock(fd, LOCK_EX | LOCK_NB);
      return OutputFile(fd, std::move(name), 0);
    }
    if (errno != EEXIST) return OutputFile(-1, std::move(name), errno);
  }
  return OutputFile(-1, path, EEXIST);
}

int OutputFile::Write(const void* data, std::size_t size) {
  if (fd_ < 0) return EBADF;
  if (const int error = WriteFault(size)) return error;
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd_, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return 0;
}

int OutputFile::SeekTo(std::uint64_t offset) {
  if (fd_ < 0) return EBADF;
  return ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0 ? errno : 0;
}

bool OutputFile::Unlinked() const {
  struct stat st {};
  return fd_ >= 0 && ::fstat(fd_, &st) == 0 && st.st_nlink == 0;
}

void OutputFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void OutputFile::FailCreateForTesting(int error) { createFault.store(error); }

void OutputFile::FailWritesForTesting(int error, std::uint64_t afterBytes) {
  writeBudget.store(static_cast<std::int64_t>(afterBytes));
  writeFault.store(error);
}

}  // namespace platform
