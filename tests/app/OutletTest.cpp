#include "app/Outlet.h"

#include <gtest/gtest.h>

#include <QTimer>

namespace {

TEST(OutletDeathTest, MissingOrMistypedOutletStopsNamingIt)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QObject root;
    auto* timer = new QTimer(&root);
    timer->setObjectName(QStringLiteral("secondsTimer"));

    EXPECT_EQ(requireOutlet<QTimer>(root, "secondsTimer"), timer);
    EXPECT_DEATH(requireOutlet<QTimer>(root, "webView"), "outlet \"webView\"");
    EXPECT_DEATH(requireOutlet<QObject>(root, "spinner"), "outlet \"spinner\"");
}

}
