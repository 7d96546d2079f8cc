#include "pelmora/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace pelmora {

namespace {

std::string FolderOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool WriteAll(int fd, const std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

bool ReadWholeFile(const char* path, std::vector<std::uint8_t>& out) {
  int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  out.clear();
  std::uint8_t buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    out.insert(out.end(), buf, buf + n);
  }
  ::close(fd);
  return true;
}

bool WriteFileReplacing(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::string name = FolderOf(path) + "/.pelmora-XXXXXX";
  int fd = ::mkstemp(name.data());
  if (fd < 0) return false;
  mode_t mask = ::umask(0);
  ::umask(mask);
  bool ok = WriteAll(fd, bytes) && ::fchmod(fd, 0666 & ~mask) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && std::rename(name.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(name.c_str());
  return ok;
}

}  // namespace pelmora
