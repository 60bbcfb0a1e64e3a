#pragma once

#include "support/LogServiceProcess.h"
#include "support/TestApplication.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

class QWebEnginePage;

// tapeScribe on the local log service, from a first launch: the web view's profile starts empty, and the
// log form has led it to the sign-in page.
//
// One service serves the whole test program: the web engine reads its resolver rules once, when its first
// object is made, so every test must find the service where the first one did. It knows the accounts
// "jsmith" (password "s3cret") and "newcomer" (password `newcomerPassword`).
class LogFormSession : public testing::Test
{
public:
    static LogServiceProcess& service();
    static const QString buildHost;
    static const QString newcomerPassword;
    static constexpr int pageLimitMs = 60000;

protected:
    explicit LogFormSession(const QString& host = buildHost);

    void SetUp() override;

    QWebEnginePage* page() const;

    // Waits for the next finished load of `address`.
    bool showsPage(const QString& address);
    // Runs in the world the filling runs in, after it: a fill that was going to happen has happened.
    QVariant evaluate(const QString& script);
    // The logger presses the page's own sign-in control, which submits its form.
    bool signsIn();
    // Fills the sign-in page with an account and signs in with it.
    bool signsInAs(const QString& username, const QString& password);
    // The logger types a note into the form and stores it; it has reached the service on return.
    void storeNote(const QString& text);

    QTemporaryDir home;
    // Before the application, whose page reports into them.
    QStringList finishedPages;
    qsizetype seen = 0;
    TestApplication application;
    AppDelegate& delegate = application.delegate;
    // The addresses as the web view reports them.
    const QString signInPage;
    const QString formPage;
};
