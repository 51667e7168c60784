// Points the profile at a fresh folder before any test runs, so tests never
// read or write the user's own settings and parallel test processes do not
// share a file. QSettings fixes its folders at first use, hence a global
// environment that runs before the first test.
#include "private_profile.h"

#include <QTemporaryDir>
#include <QtGlobal>

#include <gtest/gtest.h>

namespace {

QTemporaryDir* configDir = nullptr;

class PrivateProfile : public ::testing::Environment {
  public:
    void SetUp() override {
        configDir = new QTemporaryDir();
        ASSERT_TRUE(configDir->isValid());
        qputenv("XDG_CONFIG_HOME", configDir->path().toUtf8());
    }
    void TearDown() override {
        delete configDir;
        configDir = nullptr;
    }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new PrivateProfile);

} // namespace

QString PrivateConfigHome() {
    return configDir ? configDir->path() : QString();
}
