#include "app/AppDelegate.h"

// The Help menu's handlers.

void AppDelegate::showHelp() { }

void AppDelegate::showGlossary() { }

void AppDelegate::emailSupport() { }
