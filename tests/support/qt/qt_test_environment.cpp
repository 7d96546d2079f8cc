// One QApplication for every test of a widget test binary (the widgets need it).
// Some tests talk to a server on 127.0.0.1, so no proxy may stand in between.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    for (const char* name :
         {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) {
      ::unsetenv(name);
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (QApplication::instance() == nullptr) app_ = new QApplication(argc_, argv_);
  }

 private:
  int argc_ = 1;
  char name_[16] = "glyphwell_tests";
  char* argv_[2] = {name_, nullptr};
  QApplication* app_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
