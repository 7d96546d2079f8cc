#include "about/update_page.h"

#include <algorithm>

namespace glyphwell::about {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back()))
    s.remove_suffix(1);
  return s;
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsVersionChar(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' ||
         c == '-' || c == '_';
}

}  // namespace

std::string OfferText(std::string_view archiveName) {
  return "最新のアップデートファイルが見つかりました。\n'" + std::string(archiveName) +
         "' をダウンロードしますか？";
}

std::string PageFolderPart(std::string_view updateFolderName) {
  if (updateFolderName == " ") return {};
  return std::string(Trim(updateFolderName)) + "/";
}

std::string PageAddress(std::string_view base, std::string_view updateFolderName,
                        std::string_view pageFile) {
  return std::string(base) + PageFolderPart(updateFolderName) +
         std::string(pageFile.empty() ? std::string_view(kDefaultPageFile) : pageFile);
}

std::string ArchiveAddress(std::string_view base, std::string_view downFolder,
                           std::string_view archiveName) {
  return std::string(base) + std::string(downFolder) + "/" + std::string(archiveName);
}

bool IsUsableBaseAddress(std::string_view base) {
  std::string_view rest;
  if (base.starts_with("http://")) {
    rest = base.substr(7);
  } else if (base.starts_with("https://")) {
    rest = base.substr(8);
  } else {
    return false;
  }
  if (rest.empty() || rest.front() == '/' || !base.ends_with("/")) return false;
  return std::none_of(base.begin(), base.end(),
                      [](char c) { return c == ' ' || static_cast<unsigned char>(c) < 0x20; });
}

std::optional<std::string> FindArchiveName(std::string_view page, std::string_view updateName) {
  if (updateName.empty()) return std::nullopt;
  const std::size_t n = updateName.size();
  std::size_t from = 0;
  for (;;) {
    std::size_t p = page.find(updateName, from);
    if (p == std::string_view::npos) return std::nullopt;
    // Name, four version characters, ".zip": all inside the page?
    if (p + n + 8 <= page.size()) {
      std::string_view version = page.substr(p + n, 4);
      std::string_view ext = page.substr(p + n + 4, 4);
      bool zip = Lower(ext[0]) == '.' && Lower(ext[1]) == 'z' && Lower(ext[2]) == 'i' &&
                 Lower(ext[3]) == 'p';
      if (zip && std::all_of(version.begin(), version.end(), IsVersionChar)) {
        return std::string(page.substr(p, n + 8));
      }
    }
    from = p + n;  // search again after this occurrence
  }
}

std::string ArchiveVersion(std::string_view archiveName) {
  if (archiveName.size() < 8) return {};
  return std::string(archiveName.substr(archiveName.size() - 8, 4));
}

bool IsNewerVersion(std::string_view current, std::string_view version) {
  return current < version;  // std::string_view compares bytes as unsigned char
}

UpdateDecision DecideUpdate(const std::optional<std::string>& page, std::string_view updateName,
                            std::string_view currentVersion, bool alwaysOffer) {
  UpdateDecision d;
  if (!page) return d;
  std::optional<std::string> archive = FindArchiveName(*page, updateName);
  if (!archive) {
    d.outcome = UpdateOutcome::kNoUpdateFile;
    return d;
  }
  d.archiveName = *archive;
  d.outcome = alwaysOffer || IsNewerVersion(currentVersion, ArchiveVersion(*archive))
                  ? UpdateOutcome::kOfferDownload
                  : UpdateOutcome::kUpToDate;
  return d;
}

std::int64_t DownloadChunkSize(std::int64_t firstAvailable) {
  return std::clamp<std::int64_t>(firstAvailable, 1, 1024);
}

std::int64_t DownloadProgressMax(std::int64_t contentLength, std::int64_t chunkSize) {
  if (contentLength <= 0 || chunkSize <= 0) return 0;
  return (contentLength + chunkSize - 1) / chunkSize;
}

}  // namespace glyphwell::about
