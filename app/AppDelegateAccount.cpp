#include "account/AccountInput.h"
#include "account/KeychainCommands.h"
#include "account/KeychainOutcome.h"
#include "account/KeychainOutput.h"
#include "account/SignOutPage.h"
#include "app/AppDelegate.h"
#include "core/Platform.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QWidget>

// The account's handlers: the keyring item and the preferences window.

namespace {

// In front of the other windows, and the one that takes the keyboard.
void makeKeyAndOrderFront(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

bool failed(KeychainOutcome outcome)
{
    return outcome != KeychainOutcome::Done && outcome != KeychainOutcome::NotFound;
}

}

void AppDelegate::loadCredentialsFromKeychain()
{
    username.clear();
    password.clear();
    // Never an unlock here: a password prompt at launch would stand in front of the logger unasked.
    const CommandResult found = runCommand(
        Platform::securityTool(), KeychainCommands::findArguments(), Platform::securityToolDeadline);
    const KeychainOutcome outcome = keychainOutcome(found);
    accountStatusLabel->setText(accountReadProblem(outcome));
    accountStatusLabel->setVisible(failed(outcome));
    // Without an item the fields keep what they showed.
    if (outcome == KeychainOutcome::Done) {
        if (const auto account = storedAccount(found.output, found.error)) {
            username = account->username;
            password = account->password;
            usernameField->setText(username);
            passwordField->setText(password);
            // The window kept working while the keyring was read: a sign-in page that finished loading
            // meanwhile was filled with no account.
            fillSignInPage();
        }
    }
    if (username.isEmpty() || password.isEmpty())
        makeKeyAndOrderFront(preferencesWindow);
}

void AppDelegate::saveCredentialsToKeychain()
{
    const QString typedUsername = cleanedUsername(usernameField->text());
    const QString typedPassword = cleanedPassword(passwordField->text());
    usernameField->setText(typedUsername);
    passwordField->setText(typedPassword);

    // The logger asked to save, so a locked keyring may ask for its password now; the logger takes the time
    // to type it. Until it is unlocked nothing is touched, and the old item stays as it was.
    const CommandResult unlocked = runCommand(
        Platform::securityTool(), KeychainCommands::unlockArguments(), KeychainCommands::unlockDeadline);
    if (const KeychainOutcome outcome = keychainOutcome(unlocked); failed(outcome))
        return reportAccountNotStored(outcome, unlocked.error);

    // The old item goes first, so that the keyring is left with the new account alone. A delete that finds
    // none, or finds it in a keyring that stays locked, leaves the new item the one a load reads.
    runCommand(Platform::securityTool(), KeychainCommands::deleteArguments(), Platform::securityToolDeadline);
    const CommandResult added
        = runCommand(Platform::securityTool(), KeychainCommands::addArguments(typedUsername),
            Platform::securityToolDeadline, typedPassword.toUtf8());
    if (const KeychainOutcome outcome = keychainOutcome(added); outcome != KeychainOutcome::Done)
        return reportAccountNotStored(outcome, added.error);

    username = typedUsername;
    password = typedPassword;
    accountStatusLabel->clear();
    accountStatusLabel->hide();
    loadInWebView(signOutPageURL(logServiceHost));
    preferencesWindow->hide();
}

void AppDelegate::reportAccountNotStored(KeychainOutcome outcome, const QString& toolError)
{
    // The preferences window stays open with what was typed, so that the logger can save again.
    QMessageBox alert(preferencesWindow);
    alert.setIcon(QMessageBox::Warning);
    alert.setWindowTitle(tr("tapeScribe"));
    alert.setText(accountNotStoredText());
    alert.setInformativeText(accountSaveProblem(outcome));
    alert.setDetailedText(toolError.trimmed());
    alert.setTextFormat(Qt::PlainText);
    if (runAlert)
        runAlert(alert);
    else
        alert.exec();
}

void AppDelegate::showPreferences()
{
    loadCredentialsFromKeychain();
    makeKeyAndOrderFront(preferencesWindow);
}
