#include "about/update_client.h"

#include <QEventLoop>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QSaveFile>
#include <QTimer>
#include <memory>

#include "about/update_page.h"

namespace glyphwell::about {

namespace {

// Deletes the reply with its connection when the operation ends.
struct ReplyDeleter {
  void operator()(QNetworkReply* reply) const {
    if (reply == nullptr) return;
    reply->disconnect();
    if (!reply->isFinished()) reply->abort();
    reply->deleteLater();
  }
};
using ReplyPtr = std::unique_ptr<QNetworkReply, ReplyDeleter>;

bool HttpFailed(QNetworkReply* reply) {
  if (reply->error() != QNetworkReply::NoError) return true;
  QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
  return status.isValid() && status.toInt() >= 400;
}

// Waits until the reply has data, has finished, or an abort is requested.
void WaitForData(QNetworkReply* reply, UpdateClient* client) {
  if (reply->bytesAvailable() > 0 || reply->isFinished()) return;
  QEventLoop loop;
  QObject::connect(reply, &QNetworkReply::readyRead, &loop, &QEventLoop::quit);
  QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
  QObject::connect(client, &UpdateClient::abortRequested, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace

UpdateClient::UpdateClient(QObject* parent) : QObject(parent) {
  // The system's proxy settings (environment and desktop), nothing detected on the fly.
  QNetworkProxyFactory::setUseSystemConfiguration(true);
  manager_.setAutoDeleteReplies(false);
}

QNetworkRequest UpdateClient::MakeRequest(const QUrl& address) const {
  QNetworkRequest request(address);
  request.setHeader(QNetworkRequest::UserAgentHeader, QByteArray(kUserAgent));
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
  request.setRawHeader("Cache-Control", "no-cache");
  request.setRawHeader("Pragma", "no-cache");
  request.setTransferTimeout(kStallTimeoutMs);
  return request;
}

std::optional<QByteArray> UpdateClient::FetchPage(const QUrl& address) {
  abort_ = false;
  if (!address.isValid()) return std::nullopt;
  ReplyPtr reply(manager_.get(MakeRequest(address)));
  QByteArray page;
  for (;;) {
    WaitForData(reply.get(), this);
    if (abort_) return std::nullopt;
    if (HttpFailed(reply.get())) return std::nullopt;
    qint64 room = kMaxPageBytes - page.size();
    if (room > 0) page += reply->read(room);
    if (page.size() >= kMaxPageBytes) break;
    if (reply->isFinished() && reply->bytesAvailable() == 0) break;
  }
  if (HttpFailed(reply.get())) return std::nullopt;
  return page;
}

void UpdateClient::RequestAbort() {
  abort_ = true;
  emit abortRequested();
}

UpdateClient::DownloadResult UpdateClient::Download(const QUrl& address, const QString& filePath,
                                                    const Progress& progress) {
  abort_ = false;
  downloading_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{downloading_};

  ReplyPtr reply(manager_.get(MakeRequest(address)));
  WaitForData(reply.get(), this);
  if (abort_) return DownloadResult::kAborted;
  if (HttpFailed(reply.get())) return DownloadResult::kReadError;
  bool numeric = false;
  const qint64 length = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&numeric);
  if (!numeric || length < 0) return DownloadResult::kNoLength;

  const qint64 chunk = DownloadChunkSize(reply->bytesAvailable());
  // Written beside the target and renamed over it only when complete, so an abort
  // or a broken transfer never leaves a truncated archive under the real name.
  QSaveFile file(filePath);
  file.setDirectWriteFallback(false);
  if (!file.open(QIODevice::WriteOnly)) return DownloadResult::kFileError;
  if (progress.started) progress.started(DownloadProgressMax(length, chunk));

  qint64 received = 0;
  while (!abort_) {
    WaitForData(reply.get(), this);
    if (abort_) break;
    if (reply->bytesAvailable() == 0) {  // finished
      if (HttpFailed(reply.get()) || received != length) {
        file.cancelWriting();
        return DownloadResult::kReadError;
      }
      break;
    }
    while (reply->bytesAvailable() > 0 && !abort_) {
      QByteArray piece = reply->read(chunk);
      if (file.write(piece) != piece.size()) {
        file.cancelWriting();
        return DownloadResult::kFileError;
      }
      received += piece.size();
      if (progress.stepped) progress.stepped();
    }
  }
  if (abort_) {
    file.cancelWriting();
    return DownloadResult::kAborted;
  }
  if (!file.commit()) return DownloadResult::kFileError;
  return DownloadResult::kDone;
}

}  // namespace glyphwell::about
