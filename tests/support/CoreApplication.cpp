#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QStandardPaths>

#include <memory>

namespace {

// Qt's SQL driver plugins, QProcess signals and the network classes need an application object; these
// tests run without a display, so a QCoreApplication is enough.
class CoreApplicationEnvironment : public testing::Environment
{
    void SetUp() override
    {
        // Settings and data folders under HOME/.qttest, away from the user's own.
        QStandardPaths::setTestModeEnabled(true);
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    void TearDown() override { application.reset(); }

    int argc = 1;
    char name[32] = "tapescribe-test";
    char* argv[2] = { name, nullptr };
    std::unique_ptr<QCoreApplication> application;
};

[[maybe_unused]] testing::Environment* const environment
    = testing::AddGlobalTestEnvironment(new CoreApplicationEnvironment);

}
