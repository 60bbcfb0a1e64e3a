#include "app/ApplicationMain.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <clocale>

// The main() of tests that need widgets: the same application set-up as tapeScribe's own start.
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    prepareGraphics();
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("FernwrightSystem"));
    QCoreApplication::setApplicationName(QStringLiteral("tapeScribe"));
    std::setlocale(LC_NUMERIC, "C");
    return RUN_ALL_TESTS();
}
