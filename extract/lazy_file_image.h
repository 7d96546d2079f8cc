#pragma once
// LazyFileImage: a file image whose bytes are read from the file only where they
// are asked for. The image is as large as the file was when it was opened; every
// byte not yet fetched reads as zero. Counting the images of a module needs its
// headers and resource directories only, so a search reads a few pages of each
// file instead of all of it.
//
// Reads use pread into a private buffer, never a mapping of the file: a file that
// shrinks while it is being read gives short reads (damaged() turns true and the
// missing bytes stay zero) rather than a fault. The buffer is kept from one file to
// the next, so one object can count a whole folder tree without a mapping per file.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace glyphwell::extract {

class LazyFileImage {
 public:
  // Bytes are fetched in whole pages of this size unless told otherwise.
  static constexpr std::size_t kPageBytes = 4096;
  // Files larger than this are not icon sources (the formats address 32-bit offsets).
  static constexpr std::uint64_t kMaxFileBytes = std::uint64_t{1} << 31;

  // A smaller page reads closer to what is asked (tests use a few bytes, so that a
  // part read by mistake shows); larger pages mean fewer reads.
  explicit LazyFileImage(std::size_t pageBytes = kPageBytes)
      : pageBytes_(pageBytes ? pageBytes : 1) {}
  ~LazyFileImage();
  LazyFileImage(const LazyFileImage&) = delete;
  LazyFileImage& operator=(const LazyFileImage&) = delete;

  // Opens `path` and takes its current size as the image size. False (error() set
  // to the errno value) when it cannot be opened, is a folder, is larger than
  // kMaxFileBytes or no buffer can be had. An empty file opens with size 0.
  bool Open(const std::string& path);
  // Closes the file; the image is empty afterwards. Open does this first.
  void Close();

  bool isOpen() const { return fd_ >= 0; }
  std::size_t size() const { return size_; }
  // The whole image; bytes not fetched read as zero.
  std::span<const std::uint8_t> bytes() const { return {data_, size_}; }

  // Makes [offset, offset + length) hold the file's bytes, clipped to the image.
  // True when the whole range lies inside the image and was read completely.
  bool Fetch(std::uint64_t offset, std::uint64_t length);

  // A read came back short or failed: the file shrank or changed under us since it
  // was opened. The bytes it did not deliver stay zero.
  bool damaged() const { return damaged_; }
  int error() const { return error_; }
  // Bytes read from the file since Open.
  std::uint64_t bytesRead() const { return bytesRead_; }

 private:
  bool Reserve(std::size_t size);
  void ForgetFetchedPages();
  bool PageFetched(std::size_t page) const { return (fetched_[page / 64] >> (page % 64)) & 1u; }
  void MarkFetched(std::size_t page) { fetched_[page / 64] |= std::uint64_t{1} << (page % 64); }
  void ReadPages(std::size_t first, std::size_t end);
  std::size_t PagesFor(std::size_t bytes) const { return (bytes + pageBytes_ - 1) / pageBytes_; }

  std::size_t pageBytes_;
  int fd_ = -1;
  std::uint8_t* data_ = nullptr;  // anonymous mapping of capacity_ bytes
  std::size_t capacity_ = 0;
  std::size_t size_ = 0;
  std::vector<std::uint64_t> fetched_;  // one bit per page of the current file
  bool damaged_ = false;
  int error_ = 0;
  std::uint64_t bytesRead_ = 0;
};

}  // namespace glyphwell::extract
