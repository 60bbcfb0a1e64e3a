#include "app/AppDelegate.h"

// The account's handlers: the keyring item and the preferences window.

void AppDelegate::loadCredentialsFromKeychain() { }

void AppDelegate::saveCredentialsToKeychain() { }

void AppDelegate::showPreferences() { }
