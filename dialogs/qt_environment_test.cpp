// One QApplication for every test of this binary (the widgets need it).
#include <gtest/gtest.h>

#include <QApplication>

namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (QApplication::instance() == nullptr) app_ = new QApplication(argc_, argv_);
  }

 private:
  int argc_ = 1;
  char name_[16] = "dialogs_tests";
  char* argv_[2] = {name_, nullptr};
  QApplication* app_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
