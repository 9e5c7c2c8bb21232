#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// A file the program writes from its start: always created new, so an
// earlier file is never replaced or truncated, and written without
// buffering. While it is open it holds an exclusive advisory lock (flock),
// so that whoever mends cut-off recordings, in this process or another,
// leaves a file that is being written alone. Owns its descriptor; one
// thread at a time.
class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(OutputFile&& other) noexcept;
  OutputFile& operator=(OutputFile&& other) noexcept;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();

  // Creates `path` exclusively; when that name is taken, the first free one
  // of "<name> (2)<ext>", "<name> (3)<ext>", ... (ext: the last extension of
  // the file name, kept last so the names still sort and still match their
  // pattern). On failure the file is not open and Error() says why.
  static OutputFile CreateNew(const std::string& path);

  bool IsOpen() const { return fd_ >= 0; }
  // The name the file was created under.
  const std::string& Path() const { return path_; }
  // errno of the failed creation; 0 when the file was created.
  int Error() const { return error_; }

  // Each writes everything or answers the errno of the failure (0 when done).
  int Write(const void* data, std::size_t size);
  int SeekTo(std::uint64_t offset);
  // Whether the file has lost its last name (it or its folder was deleted):
  // what is written to it then is gone when it is closed.
  bool Unlinked() const;
  void Close();

  // Fault switches for tests, for every file: creation fails with `error`;
  // writes fail with `error` once `afterBytes` more bytes have been written
  // in all, as on a disk that fills. An error of 0 switches it off.
  static void FailCreateForTesting(int error);
  static void FailWritesForTesting(int error, std::uint64_t afterBytes = 0);

 private:
  OutputFile(int fd, std::string path, int error) : fd_(fd), path_(std::move(path)), error_(error) {}

  int fd_ = -1;
  std::string path_;
  int error_ = 0;
};

}  // namespace platform
