#include "app/ApplicationMain.h"

#include <gtest/gtest.h>

#include <QApplication>

// The main() of tests that need widgets: the same application set-up as tapeScribe's own start.
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    prepareProcess();
    QApplication application(argc, argv);
    configureApplication();
    return RUN_ALL_TESTS();
}
