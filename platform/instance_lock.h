#pragma once
// Keeps a second copy of the program from starting: a lock file named after the
// application title, held with an advisory lock for the life of the process.
//
// The file lives in $XDG_RUNTIME_DIR (the user's own folder) as "<title>.lock";
// without that folder in the temporary folder as "<title>-<uid>.lock", so that
// users sharing a machine do not block each other. The lock, not the file, says
// that a copy runs: the system drops the lock when a process ends, however it
// ends, so a file left by a crashed run does not block the next start. The file
// itself is left in place (removing it would let two copies lock two different
// files at once).

#include <string>

namespace glyphwell::platform {

class InstanceLock {
 public:
  InstanceLock() = default;
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // Takes the lock for `title`. False when another process (or another
  // InstanceLock) holds it. When the lock file cannot be made at all, the start is
  // not refused: true, with held() false.
  bool Acquire(const std::string& title);
  // The same in an explicit folder and file name (for tests).
  bool AcquireAt(const std::string& lockFilePath);

  // Releases the lock (also done by the destructor).
  void Release();

  bool held() const { return fd_ >= 0; }
  const std::string& path() const { return path_; }

  // Where Acquire(title) puts its file.
  static std::string LockFilePath(const std::string& title);

 private:
  int fd_ = -1;
  std::string path_;
};

}  // namespace glyphwell::platform
