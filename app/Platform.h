#pragma once

#include <QString>

#include <functional>

class QUrl;

// Every path, tool and system service that tapeScribe reaches on this platform is named here and only
// here, so that another platform changes this module alone.
namespace Platform {

// A helper tool that ships with tapeScribe, found beside the executable (libexec/ of the bundle or of the
// build tree), never through PATH.
QString helperToolPath(const QString& toolName);

inline QString xattrTool() { return helperToolPath(QStringLiteral("tapescribe-xattr")); }
inline QString securityTool() { return helperToolPath(QStringLiteral("tapescribe-security")); }

// Hands a URL to the desktop's default application for it; false when nothing accepted it.
bool openUrl(const QUrl& url);

// Seams for tests. While an opener is set, openUrl hands it every URL and returns its answer instead of
// the desktop's; while a folder is set, helper tools are taken from it. Empty values restore the defaults.
void setUrlOpener(std::function<bool(const QUrl&)> opener);
void setHelperToolFolder(const QString& folder);

// Where tapeScribe keeps per-user runtime files (the single-instance socket).
QString runtimeFolder();

}
