#include "app/ApplicationMain.h"
#include "app/WebViewGraphics.h"
#include "support/NullAudio.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>

#include <cstdio>

// The main() of tests that need widgets: the same application set-up as tapeScribe's own start.
//
// These tests build the whole application, which keeps settings, web storage and an account: they run only
// inside the private session of scripts/desktop-session.sh, and there Qt's test mode puts the settings and
// the data folders under HOME/.qttest, where no tapeScribe of the user's looks.
int main(int argc, char** argv)
{
    if (const auto why = TestEnvironment::outsidePrivateSession()) {
        std::fprintf(stderr, "%s refuses to run: %s\n", argv[0], qPrintable(*why));
        return 1;
    }
    testing::InitGoogleTest(&argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    prepareProcess();
    QApplication application(argc, argv);
    configureApplication();
    // Tests make web views of their own too, not only through the delegate.
    makeSharedContextForWebView();
    NullAudio::install();
    return RUN_ALL_TESTS();
}
