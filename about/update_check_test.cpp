// The update check end to end: the about box's "Update" button against a small
// HTTP server on 127.0.0.1 that this test runs in its own event loop.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <map>
#include <memory>
#include <vector>

#include "about/t_about_dialog.h"
#include "about/update_client.h"
#include "about/update_page.h"

namespace glyphwell::about {
namespace {

using platform::MsgButtons;
using platform::MsgResult;
using platform::RecordingMessages;

// How the server answers one path.
struct Route {
  int status = 200;
  QByteArray body;
  bool sendLength = true;
  // >= 0: send only this many body bytes, then keep the connection open and silent.
  int stallAfter = -1;
  // >= 0: send only this many body bytes, then close the connection.
  int closeAfter = -1;
};

class LocalHttpServer {
 public:
  LocalHttpServer() {
    server_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
      while (QTcpSocket* socket = server_.nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
          *buffer += socket->readAll();
          int end = buffer->indexOf("\r\n\r\n");
          if (end >= 0) Answer(socket, buffer->left(end));
        });
      }
    });
  }
  std::string base() const {
    return "http://127.0.0.1:" + std::to_string(server_.serverPort()) + "/";
  }

  std::map<QByteArray, Route> routes;
  std::vector<QByteArray> requests;  // request line and headers, one entry per request

 private:
  void Answer(QTcpSocket* socket, const QByteArray& head) {
    requests.push_back(head);
    QByteArray path = head.split(' ').value(1);
    auto it = routes.find(path);
    Route route = it != routes.end() ? it->second : Route{404, "not here"};
    QByteArray response = "HTTP/1.1 " + QByteArray::number(route.status) + " X\r\n";
    if (route.sendLength) {
      response += "Content-Length: " + QByteArray::number(route.body.size()) + "\r\n";
    }
    response += "Connection: close\r\n\r\n";
    int cut = route.stallAfter >= 0 ? route.stallAfter : route.closeAfter;
    response += cut >= 0 ? route.body.left(cut) : route.body;
    socket->write(response);
    socket->flush();
    if (route.stallAfter < 0) socket->disconnectFromHost();
  }

  QTcpServer server_;
};

QByteArray Archive(int size) {
  QByteArray bytes(size, '\0');
  for (int i = 0; i < size; ++i)
    bytes[i] = static_cast<char>((i * 31 + 7) & 0xFF);
  return bytes;
}

const QByteArray kPage =
    "<html><a href='../UpdateFile/Glyphwell_Up.txt'>notes</a>"
    "<a href='../UpdateFile/Glyphwell_Up2313.zip'>download</a></html>";

class UpdateCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    ConfigureForMainWindow(about_, server_.base());
    about_.Services.messages = &messages_;
    about_.Services.displayBits = 32;
    about_.Services.chooseFolder = [this](QWidget*, const QString& title) {
      chooseTitles_.push_back(title);
      return chosenFolder_;
    };
    about_.Services.openFolder = [this](const QString& folder) { opened_.push_back(folder); };
    chosenFolder_ = folder_.path();
    server_.routes["/DownLoadHtml/UpdateFilePage.html"] = Route{200, kPage};
  }

  // Runs a check from the button, as the user would.
  void ClickUpdate() {
    box_ = about_.BuildBox(nullptr);
    box_->UpdateChkBtnClick();
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& e : messages_.entries)
      texts.push_back(e.text);
    return texts;
  }
  QStringList FolderFiles() const {
    return QDir(folder_.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
  }
  QByteArray ArchiveOnDisk() const {
    QFile f(QDir(folder_.path()).filePath("Glyphwell_Up2313.zip"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  LocalHttpServer server_;
  TAboutDialog about_;
  RecordingMessages messages_;
  QTemporaryDir folder_;
  QString chosenFolder_;
  std::vector<QString> chooseTitles_;
  std::vector<QString> opened_;
  std::unique_ptr<TVersionBox> box_;
};

TEST_F(UpdateCheckTest, RequestsCarryTheUserAgentAndBypassCaches) {
  about_.VerStr = "2313";
  ClickUpdate();
  ASSERT_EQ(server_.requests.size(), 1u);
  const QByteArray& head = server_.requests[0];
  EXPECT_TRUE(head.startsWith("GET /DownLoadHtml/UpdateFilePage.html HTTP/1.1")) << head.data();
  EXPECT_TRUE(head.contains("\r\nUser-Agent: orvane\r\n")) << head.data();
  EXPECT_TRUE(head.contains("\r\nCache-Control: no-cache")) << head.data();
}

TEST_F(UpdateCheckTest, OutcomesOfTheCheck) {
  struct Case {
    const char* name;
    std::string base;
    const char* folderName;
    const char* verStr;
    QByteArray pagePath;
    Route page;
    const char* expectedText;
    const char* expectedCaption;
  } cases[] = {
      {"up to date", server_.base(), "DownLoadHtml", "2313", "/DownLoadHtml/UpdateFilePage.html",
       Route{200, kPage}, kUpToDateText, "Glyphwell"},
      {"no update file", server_.base(), "DownLoadHtml", "2312",
       "/DownLoadHtml/UpdateFilePage.html", Route{200, "<html>nothing yet</html>"},
       kNoUpdateFileText, "Glyphwell"},
      {"page missing", server_.base(), "DownLoadHtml", "2312", "/elsewhere.html", Route{},
       kNoConnectionText, "Glyphwell"},
      {"no site set", "", "DownLoadHtml", "2312", "/DownLoadHtml/UpdateFilePage.html",
       Route{200, kPage}, kNoConnectionText, "Glyphwell"},
      {"page at the root", server_.base(), " ", "2313", "/UpdateFilePage.html", Route{200, kPage},
       kUpToDateText, "Glyphwell"},
      {"newer archive", server_.base(), "DownLoadHtml", "2312", "/DownLoadHtml/UpdateFilePage.html",
       Route{200, kPage},
       "最新のアップデートファイルが見つかりました。\n'Glyphwell_Up2313.zip' "
       "をダウンロードしますか？",
       "Update"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    server_.routes.clear();
    server_.routes[c.pagePath] = c.page;
    server_.requests.clear();
    messages_.entries.clear();
    messages_.answers = {MsgResult::kNo};  // decline any offer
    about_.BaseAddress = c.base;
    about_.UpdateFolderName = c.folderName;
    about_.VerStr = c.verStr;
    ClickUpdate();
    ASSERT_EQ(messages_.entries.size(), 1u);
    EXPECT_EQ(messages_.entries[0].text, c.expectedText);
    EXPECT_EQ(messages_.entries[0].caption, c.expectedCaption);
    if (c.base.empty()) {
      EXPECT_TRUE(server_.requests.empty());
    }
    EXPECT_TRUE(FolderFiles().isEmpty());
    EXPECT_TRUE(chooseTitles_.empty());
  }
}

TEST_F(UpdateCheckTest, DownloadWritesTheArchiveAndShowsTheFolder) {
  QByteArray archive = Archive(5000);
  server_.routes["/UpdateFile/Glyphwell_Up2313.zip"] = Route{200, archive};
  messages_.answers = {MsgResult::kYes};
  ClickUpdate();
  EXPECT_EQ(Texts().size(), 1u);  // only the offer
  EXPECT_EQ(messages_.entries[0].buttons, MsgButtons::kYesNo);
  ASSERT_EQ(chooseTitles_.size(), 1u);
  EXPECT_EQ(chooseTitles_[0], QStringLiteral("保存先を選択して下さい"));
  EXPECT_EQ(ArchiveOnDisk(), archive);
  EXPECT_EQ(FolderFiles(), QStringList{"Glyphwell_Up2313.zip"});
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_EQ(opened_[0], folder_.path());
  EXPECT_EQ(box_->updateFileName(), "Glyphwell_Up2313.zip");
  // Back to rest: the progress bar went through every chunk and is hidden again.
  EXPECT_TRUE(box_->idle());
  EXPECT_TRUE(box_->ColorProgressBar1->isHidden());
  EXPECT_FALSE(box_->OKButton->isHidden());
  EXPECT_EQ(box_->UpdateChkBtn->text(), QStringLiteral("Update"));
  EXPECT_EQ(box_->ColorProgressBar1->Position(), box_->ColorProgressBar1->Max());
  EXPECT_GE(box_->ColorProgressBar1->Max(), 5u);  // 5000 bytes in chunks of at most 1024
}

TEST_F(UpdateCheckTest, CancelledFolderDialogDownloadsNothing) {
  server_.routes["/UpdateFile/Glyphwell_Up2313.zip"] = Route{200, Archive(100)};
  messages_.answers = {MsgResult::kYes};
  chosenFolder_.clear();
  ClickUpdate();
  EXPECT_EQ(server_.requests.size(), 1u);  // the page only
  EXPECT_TRUE(FolderFiles().isEmpty());
  EXPECT_TRUE(opened_.empty());
}

TEST_F(UpdateCheckTest, AbortMidDownloadRemovesThePartialArchive) {
  // An older archive of the same name is already there; it must survive the abort.
  {
    QFile old(QDir(folder_.path()).filePath("Glyphwell_Up2313.zip"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("older");
  }
  Route slow{200, Archive(100000)};
  slow.stallAfter = 3000;
  server_.routes["/UpdateFile/Glyphwell_Up2313.zip"] = slow;
  messages_.answers = {MsgResult::kYes};
  box_ = about_.BuildBox(nullptr);

  // Press the button again ("中止") as soon as the download shows its progress.
  QString captionWhileDownloading;
  bool okHiddenWhileDownloading = false;
  QTimer presser;
  QObject::connect(&presser, &QTimer::timeout, [&] {
    if (!box_->ColorProgressBar1->isHidden() && box_->ColorProgressBar1->Position() > 0) {
      presser.stop();
      captionWhileDownloading = box_->UpdateChkBtn->text();
      okHiddenWhileDownloading = box_->OKButton->isHidden();
      box_->grab().save(QStringLiteral(GLYPHWELL_BINARY_DIR "/about_box_downloading.png"));
      box_->UpdateChkBtn->click();
    }
  });
  presser.start(10);
  QElapsedTimer clock;
  clock.start();
  box_->UpdateChkBtnClick();
  EXPECT_LT(clock.elapsed(), 20000);

  EXPECT_EQ(captionWhileDownloading, QStringLiteral("中止"));
  EXPECT_TRUE(okHiddenWhileDownloading);
  ASSERT_EQ(Texts().size(), 2u);
  EXPECT_EQ(Texts()[1], kDownloadAbortedText);
  EXPECT_EQ(messages_.entries[1].caption, "Glyphwell");
  EXPECT_EQ(ArchiveOnDisk(), QByteArray("older"));
  EXPECT_EQ(FolderFiles(), QStringList{"Glyphwell_Up2313.zip"});  // no partial file left
  EXPECT_TRUE(opened_.empty());
  EXPECT_TRUE(box_->idle());
  EXPECT_EQ(box_->UpdateChkBtn->text(), QStringLiteral("Update"));
  EXPECT_FALSE(box_->OKButton->isHidden());
}

TEST_F(UpdateCheckTest, BrokenTransfersNeverLeaveATruncatedArchive) {
  struct Case {
    const char* name;
    Route route;
    const char* expectedText;  // after the offer; null: nothing more is said
  } cases[] = {
      {"connection closed early", Route{200, Archive(5000), true, -1, 1000}, kDownloadErrorText},
      {"archive missing on the site", Route{404, "gone"}, kDownloadErrorText},
      {"no content length", Route{200, Archive(5000), false}, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    server_.routes["/UpdateFile/Glyphwell_Up2313.zip"] = c.route;
    messages_.entries.clear();
    messages_.answers = {MsgResult::kYes};
    opened_.clear();
    ClickUpdate();
    std::vector<std::string> texts = Texts();
    ASSERT_EQ(texts.size(), c.expectedText ? 2u : 1u);
    if (c.expectedText) {
      EXPECT_EQ(texts[1], c.expectedText);
    }
    EXPECT_TRUE(FolderFiles().isEmpty()) << FolderFiles().join(",").toStdString();
    EXPECT_TRUE(opened_.empty());
    EXPECT_TRUE(box_->idle());
  }
}

TEST_F(UpdateCheckTest, ClosingTheBoxDuringADownloadAbortsIt) {
  Route slow{200, Archive(100000)};
  slow.stallAfter = 2000;
  server_.routes["/UpdateFile/Glyphwell_Up2313.zip"] = slow;
  messages_.answers = {MsgResult::kYes};
  box_ = about_.BuildBox(nullptr);
  bool finished = false;
  QObject::connect(box_.get(), &QDialog::finished, [&] { finished = true; });
  box_->show();
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (!box_->idle()) {
      closer.stop();
      box_->reject();          // the window's close box
      EXPECT_FALSE(finished);  // not before the download has ended
    }
  });
  closer.start(10);
  box_->UpdateChkBtnClick();
  EXPECT_TRUE(finished);
  EXPECT_EQ(Texts().back(), kDownloadAbortedText);
  EXPECT_TRUE(FolderFiles().isEmpty());
}

TEST_F(UpdateCheckTest, ClientReadsWholePagesAndRefusesErrorPages) {
  UpdateClient client;
  QByteArray big = Archive(300000);
  server_.routes["/big"] = Route{200, big};
  server_.routes["/unsized"] = Route{200, "no length given", false};
  server_.routes["/error"] = Route{500, "failure"};
  QString base = QString::fromStdString(server_.base());
  EXPECT_EQ(client.FetchPage(QUrl(base + "big")), big);
  EXPECT_EQ(client.FetchPage(QUrl(base + "unsized")), QByteArray("no length given"));
  EXPECT_FALSE(client.FetchPage(QUrl(base + "error")).has_value());
  EXPECT_FALSE(client.FetchPage(QUrl(base + "absent")).has_value());
  EXPECT_FALSE(client.FetchPage(QUrl("http://127.0.0.1:1/")).has_value());  // nobody listens
}

}  // namespace
}  // namespace glyphwell::about
