#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/user_environment.h"

namespace glyphwell::platform {

InstanceLock::~InstanceLock() {
  Release();
}

std::string InstanceLock::LockFilePath(const std::string& title) {
  bool perUser = false;
  std::string folder = RuntimeFolder(&perUser);
  if (perUser) return folder + "/" + title + ".lock";
  return folder + "/" + title + "-" + std::to_string(::geteuid()) + ".lock";
}

bool InstanceLock::Acquire(const std::string& title) {
  return AcquireAt(LockFilePath(title));
}

bool InstanceLock::AcquireAt(const std::string& lockFilePath) {
  Release();
  path_ = lockFilePath;
  // O_NOFOLLOW: in a shared temporary folder another user could plant a link.
  // O_CLOEXEC: programs we start (a browser, a file manager) must not inherit the
  // lock and keep it after we end.
  int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return true;  // no lock possible: do not keep the user from working
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int err = errno;
    ::close(fd);
    return err != EWOULDBLOCK;
  }
  // The holder's process id, for a person looking at the file.
  if (::ftruncate(fd, 0) == 0) {
    std::string pid = std::to_string(::getpid()) + "\n";
    [[maybe_unused]] ssize_t n = ::write(fd, pid.data(), pid.size());
  }
  fd_ = fd;
  return true;
}

void InstanceLock::Release() {
  if (fd_ >= 0) {
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
  }
}

}  // namespace glyphwell::platform
