// The server's sockets need an event loop, and a Qt event loop needs one
// QCoreApplication for the process; it is made before the first test.
#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

class CoreApplication : public ::testing::Environment {
  public:
    void SetUp() override { app_ = new QCoreApplication(argc_, argv_); }
    void TearDown() override { delete app_; }

  private:
    int argc_ = 1;
    char name_[16] = "suitelink_tests";
    char* argv_[2] = {name_, nullptr};
    QCoreApplication* app_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new CoreApplication);

} // namespace
