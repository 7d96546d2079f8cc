#include "extract/lazy_file_image.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace glyphwell::extract {

namespace {

// The first buffer is at least this large; it is address space only until pages
// are fetched into it, and it saves remapping for every slightly larger file.
constexpr std::size_t kMinCapacity = std::size_t{16} << 20;
// Runs of fetched pages at least this long are given back to the kernel instead of
// being cleared byte by byte when the next file is opened.
constexpr std::size_t kReleaseRunBytes = std::size_t{256} << 10;

}  // namespace

LazyFileImage::~LazyFileImage() {
  Close();
  if (data_) munmap(data_, capacity_);
}

bool LazyFileImage::Reserve(std::size_t size) {
  if (size <= capacity_) return true;
  if (data_) munmap(data_, capacity_);
  data_ = nullptr;
  capacity_ = 0;
  const std::size_t capacity = std::max(kMinCapacity, PagesFor(size) * pageBytes_);
  void* p = mmap(nullptr, capacity, PROT_READ | PROT_WRITE,
                 MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (p == MAP_FAILED) return false;
  data_ = static_cast<std::uint8_t*>(p);
  capacity_ = capacity;
  return true;
}

void LazyFileImage::ForgetFetchedPages() {
  // Pages fetched for the previous file go back to zero, so bytes of one file never
  // show through in the next.
  const std::size_t pages = PagesFor(size_);
  std::size_t page = 0;
  while (page < pages) {
    if (!PageFetched(page)) {
      ++page;
      continue;
    }
    std::size_t end = page;
    while (end < pages && PageFetched(end))
      ++end;
    const std::size_t from = page * pageBytes_;
    const std::size_t bytes = std::min(end * pageBytes_, capacity_) - from;
    // madvise needs a page-aligned start, which small pages do not give.
    if (bytes < kReleaseRunBytes || madvise(data_ + from, bytes, MADV_DONTNEED) != 0)
      std::memset(data_ + from, 0, bytes);
    page = end;
  }
  fetched_.clear();
}

void LazyFileImage::Close() {
  if (data_) ForgetFetchedPages();
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  size_ = 0;
}

bool LazyFileImage::Open(const std::string& path) {
  Close();
  damaged_ = false;
  error_ = 0;
  bytesRead_ = 0;
  // O_NONBLOCK: a pipe handed in by mistake must not hang the search.
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    error_ = errno;
    return false;
  }
  struct stat info;
  if (fstat(fd, &info) != 0) {
    error_ = errno;
    close(fd);
    return false;
  }
  if (S_ISDIR(info.st_mode)) {
    error_ = EISDIR;
    close(fd);
    return false;
  }
  // Devices and pipes have no size of their own: they hold nothing to count.
  const std::uint64_t size = S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0;
  if (size > kMaxFileBytes) {
    error_ = EFBIG;
    close(fd);
    return false;
  }
  if (!Reserve(static_cast<std::size_t>(size))) {
    error_ = ENOMEM;
    close(fd);
    return false;
  }
  fd_ = fd;
  size_ = static_cast<std::size_t>(size);
  fetched_.assign((PagesFor(size_) + 63) / 64, 0);
  return true;
}

void LazyFileImage::ReadPages(std::size_t first, std::size_t end) {
  const std::size_t from = first * pageBytes_;
  const std::size_t bytes = std::min(end * pageBytes_, size_) - from;
  std::size_t got = 0;
  while (got < bytes) {
    ssize_t n = pread(fd_, data_ + from + got, bytes - got, static_cast<off_t>(from + got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      // The file shrank (or failed) since it was opened: what is missing stays zero.
      damaged_ = true;
      if (n < 0) error_ = errno;
      break;
    }
    got += static_cast<std::size_t>(n);
  }
  bytesRead_ += got;
  // Marked even when short, so a damaged file is not read again and again.
  for (std::size_t page = first; page < end; ++page)
    MarkFetched(page);
}

bool LazyFileImage::Fetch(std::uint64_t offset, std::uint64_t length) {
  if (fd_ < 0) return false;
  const bool inside = offset <= size_ && length <= size_ - offset;
  if (offset >= size_ || length == 0) return inside && !damaged_;
  const std::uint64_t end = inside ? offset + length : size_;
  const std::size_t last = static_cast<std::size_t>((end - 1) / pageBytes_);
  std::size_t page = static_cast<std::size_t>(offset / pageBytes_);
  while (page <= last) {
    if (PageFetched(page)) {
      ++page;
      continue;
    }
    std::size_t runEnd = page;
    while (runEnd <= last && !PageFetched(runEnd))
      ++runEnd;
    ReadPages(page, runEnd);
    page = runEnd;
  }
  return inside && !damaged_;
}

}  // namespace glyphwell::extract
