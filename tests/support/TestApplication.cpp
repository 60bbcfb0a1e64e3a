#include "support/TestApplication.h"

#include <QTest>

TestApplication::TestApplication()
{
    interface.connectTo(delegate);
}

void TestApplication::awake()
{
    delegate.awakeFromNib();
}

bool TestApplication::show()
{
    window()->show();
    return QTest::qWaitForWindowExposed(window());
}
