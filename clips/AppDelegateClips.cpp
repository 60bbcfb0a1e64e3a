#include "app/AppDelegate.h"

// The clip library's handlers: choosing a folder, listing its clips, loading the selected one.

void AppDelegate::openPaths(const QStringList&) { }

void AppDelegate::showOpenPanel() { }

void AppDelegate::finishScan() { }

void AppDelegate::tableViewSelectionDidChange() { }

void AppDelegate::playerItemDidReachEnd() { }
