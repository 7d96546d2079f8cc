#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace glyphwell::platform {

namespace {

std::string DirectoryOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool Fail(std::string* error, int err) {
  if (error) *error = std::strerror(err);
  return false;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                         std::string* error) {
  std::string tmpl = DirectoryOf(path) + "/.glyphwell-XXXXXX";
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());
  if (fd < 0) return Fail(error, errno);
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      ::unlink(name.data());
      return Fail(error, err);
    }
    done += static_cast<std::size_t>(n);
  }
  // Files we write are ordinary user files: honour the umask like a plain create.
  mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
  if (::close(fd) != 0) {
    int err = errno;
    ::unlink(name.data());
    return Fail(error, err);
  }
  if (std::rename(name.data(), path.c_str()) != 0) {
    int err = errno;
    ::unlink(name.data());
    return Fail(error, err);
  }
  return true;
}

bool ReadWholeFileBytes(const std::string& path, std::vector<std::uint8_t>& out) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  std::vector<std::uint8_t> data;
  data.reserve(static_cast<std::size_t>(st.st_size));
  std::uint8_t buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    data.insert(data.end(), buf, buf + n);
  }
  ::close(fd);
  out = std::move(data);
  return true;
}

}  // namespace glyphwell::platform
