#include <gtest/gtest.h>

#include <QCoreApplication>

#include <memory>

namespace {

// Qt's SQL driver plugins, QProcess signals and the network classes need an application object; these
// tests run without a display, so a QCoreApplication is enough.
class CoreApplicationEnvironment : public testing::Environment
{
public:
    void SetUp() override { m_application = std::make_unique<QCoreApplication>(m_argc, m_argv); }
    void TearDown() override { m_application.reset(); }

private:
    int m_argc = 1;
    char m_name[32] = "tapescribe-logservice-test";
    char* m_argv[2] = { m_name, nullptr };
    std::unique_ptr<QCoreApplication> m_application;
};

[[maybe_unused]] testing::Environment* const environment
    = testing::AddGlobalTestEnvironment(new CoreApplicationEnvironment);

}
