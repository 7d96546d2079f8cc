#pragma once
// The update check's HTTP side: plain GETs with the user agent "orvane", through
// the system's proxy settings, never from a cache. Both operations wait for their
// answer in a local event loop, so the window stays alive meanwhile (and a click
// on the abort button reaches RequestAbort).

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>
#include <cstdint>
#include <functional>
#include <optional>

namespace glyphwell::about {

class UpdateClient : public QObject {
  Q_OBJECT
 public:
  // Pages larger than this are read only this far.
  static constexpr qint64 kMaxPageBytes = 8 * 1024 * 1024;
  // A connection that moves no byte for this long fails.
  static constexpr int kStallTimeoutMs = 30000;

  explicit UpdateClient(QObject* parent = nullptr);

  // The whole page at `address`; nullopt when it cannot be fetched (no answer,
  // an HTTP error status).
  std::optional<QByteArray> FetchPage(const QUrl& address);

  enum class DownloadResult {
    kDone,       // the file holds the whole archive
    kAborted,    // RequestAbort was called; nothing is left behind
    kNoLength,   // the server gave no numeric content length; nothing was written
    kReadError,  // the transfer failed or ended short; nothing is left behind
    kFileError,  // the file could not be written; nothing is left behind
  };
  struct Progress {
    // Called once before the first chunk is written, with the number of chunks.
    std::function<void(std::int64_t chunks)> started;
    // Called after each chunk is written.
    std::function<void()> stepped;
  };
  // Downloads `address` into `filePath` (replacing it only when complete).
  DownloadResult Download(const QUrl& address, const QString& filePath, const Progress& progress);

  // Ends a running FetchPage (no page) or Download (kAborted) at its next chunk.
  void RequestAbort();
  bool downloading() const { return downloading_; }

 signals:
  void abortRequested();

 private:
  QNetworkRequest MakeRequest(const QUrl& address) const;

  QNetworkAccessManager manager_;
  bool downloading_ = false;
  bool abort_ = false;
};

}  // namespace glyphwell::about
