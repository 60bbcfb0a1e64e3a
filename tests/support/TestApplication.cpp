#include "support/TestApplication.h"

#include <QTest>

TestApplication::TestApplication()
{
    interface.connectTo(delegate);
}

TestApplication::TestApplication(const QString& logServiceHost)
    : delegate(logServiceHost)
{
    interface.connectTo(delegate);
}

void TestApplication::awake()
{
    delegate.awakeFromNib();
    delegate.setUpWebView();
}

bool TestApplication::show()
{
    window()->show();
    // The player's keys are shortcuts, which act in the active window only.
    window()->activateWindow();
    return QTest::qWaitForWindowExposed(window()) && QTest::qWaitForWindowActive(window());
}
