#pragma once
// The update check's rules, apart from the network and the windows: where the
// update page and the archive are, how the archive is found in the page, and what
// the program says about it. Strings are bytes (the page is searched byte by byte).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace glyphwell::about {

// The texts of the check, exactly as the user sees them.
inline constexpr const char* kNoConnectionText = "インターネットに接続できません。";
inline constexpr const char* kNoUpdateFileText = "アップデートファイルが有りません！";
inline constexpr const char* kUpToDateText = "お使いのソフトは最新のバージョンです。";
inline constexpr const char* kOfferCaption = "Update";
inline constexpr const char* kChooseFolderTitle = "保存先を選択して下さい";
inline constexpr const char* kDownloadErrorText = "down load error";
inline constexpr const char* kDownloadAbortedText = "ダウンロードを中止しました。";
inline constexpr const char* kDefaultPageFile = "UpdateFilePage.html";
inline constexpr const char* kUserAgent = "orvane";

// "最新のアップデートファイルが見つかりました。\n'" + archive + "' をダウンロードしますか？"
std::string OfferText(std::string_view archiveName);

// The folder part of the page address: the folder name without surrounding blanks
// followed by "/", or nothing at all when the name is exactly one space.
std::string PageFolderPart(std::string_view updateFolderName);
// base + folder part + page file (an empty page file means kDefaultPageFile).
std::string PageAddress(std::string_view base, std::string_view updateFolderName,
                        std::string_view pageFile);
// base + download folder + "/" + archive name.
std::string ArchiveAddress(std::string_view base, std::string_view downFolder,
                           std::string_view archiveName);

// True when `base` can serve as the site's base address: an http:// or https://
// address with a host, ending in "/". An empty base means there is no site.
bool IsUsableBaseAddress(std::string_view base);

// Finds the first occurrence of `updateName` followed by four version characters
// and ".zip" (any letter case) and returns that archive name (the name, the four
// characters and the extension as they stand in the page). Occurrences not followed
// so are skipped. The four characters must be letters, digits, ".", "-" or "_":
// the name becomes a file name and part of an address, so a page cannot name a
// file outside the chosen folder. nullopt when there is none (or the name is empty).
std::optional<std::string> FindArchiveName(std::string_view page, std::string_view updateName);

// The four characters before ".zip".
std::string ArchiveVersion(std::string_view archiveName);

// True when `version` is newer than `current`: a byte-wise string comparison
// (so "231A" is newer than "2312").
bool IsNewerVersion(std::string_view current, std::string_view version);

enum class UpdateOutcome { kNoConnection, kNoUpdateFile, kUpToDate, kOfferDownload };

struct UpdateDecision {
  UpdateOutcome outcome = UpdateOutcome::kNoConnection;
  std::string archiveName;  // set with kOfferDownload and kUpToDate
};

// What the check concludes from the page (nullopt: the page could not be read).
// `alwaysOffer` (the NoChkDownLoad property) offers any archive found.
UpdateDecision DecideUpdate(const std::optional<std::string>& page, std::string_view updateName,
                            std::string_view currentVersion, bool alwaysOffer);

// Download pacing: the chunk is what the connection first has available, at most
// 1024 bytes (at least 1); the progress bar counts chunks.
std::int64_t DownloadChunkSize(std::int64_t firstAvailable);
std::int64_t DownloadProgressMax(std::int64_t contentLength, std::int64_t chunkSize);

}  // namespace glyphwell::about
