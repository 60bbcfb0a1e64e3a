#include "account/AccountInput.h"
#include "account/KeychainCommands.h"
#include "account/KeychainOutput.h"
#include "account/SignOutPage.h"
#include "app/AppDelegate.h"
#include "core/Platform.h"

#include <QLineEdit>
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

}

void AppDelegate::loadCredentialsFromKeychain()
{
    username.clear();
    password.clear();
    const CommandResult found = runCommand(Platform::securityTool(), KeychainCommands::findArguments());
    // Without an item the fields keep what they showed.
    if (const auto account = storedAccount(found.output, found.error)) {
        username = account->username;
        password = account->password;
        usernameField->setText(username);
        passwordField->setText(password);
    }
    if (username.isEmpty() || password.isEmpty())
        makeKeyAndOrderFront(preferencesWindow);
}

void AppDelegate::saveCredentialsToKeychain()
{
    username = cleanedUsername(usernameField->text());
    usernameField->setText(username);
    password = cleanedPassword(passwordField->text());
    passwordField->setText(password);

    // The old item goes first, so that the keyring is left with the new account alone. Failures show at the
    // next load, which reads what the keyring really holds.
    runCommand(Platform::securityTool(), KeychainCommands::deleteArguments());
    runCommand(Platform::securityTool(), KeychainCommands::addArguments(username), password.toUtf8());

    loadInWebView(signOutPageURL(logServiceHost));
    preferencesWindow->hide();
}

void AppDelegate::showPreferences()
{
    loadCredentialsFromKeychain();
    makeKeyAndOrderFront(preferencesWindow);
}
