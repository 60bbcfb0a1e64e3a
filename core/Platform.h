#pragma once

#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <optional>

class QUrl;

// Every path, tool and system service that tapeScribe reaches on this platform is named here and only
// here, so that another platform changes this module alone.
namespace Platform {

// A helper tool that ships with tapeScribe, found beside the executable (libexec/ of the bundle or of the
// build tree), never through PATH.
QString helperToolPath(const QString& toolName);

inline QString xattrTool() { return helperToolPath(QStringLiteral("tapescribe-xattr")); }
inline QString securityTool() { return helperToolPath(QStringLiteral("tapescribe-security")); }

// A module that tapeScribe loads while it runs, in lib/tapescribe/ beside the executable's folder.
QString modulePath(const QString& fileName);

// How long one run of each helper tool may take before it is stopped. An attribute on a network mount
// that hangs, or a keyring service that never answers, must not hold the window for longer; both
// tools answer within milliseconds when all is well.
inline constexpr std::chrono::seconds xattrToolDeadline { 5 };
inline constexpr std::chrono::seconds securityToolDeadline { 10 };

// Hands a URL to the desktop's default application for it; false when nothing accepted it.
bool openUrl(const QUrl& url);

// Seams for tests. While an opener is set, openUrl hands it every URL and returns its answer instead of
// the desktop's; while a folder is set, helper tools (or modules) are taken from it. Empty values restore
// the defaults.
void setUrlOpener(std::function<bool(const QUrl&)> opener);
void setHelperToolFolder(const QString& folder);
void setModuleFolder(const QString& folder);

// Where tapeScribe keeps per-user runtime files (the single-instance socket).
QString runtimeFolder();

// tapeScribe's own data (translations), in share/ beside the executable's folder.
QString translationsFolder();

// The standard folders that applications are installed into or downloaded into, for the user alone, for
// the whole machine, or both, in that order.
enum class StandardFolder { Applications, Downloads };
enum class FolderDomain { User, Local, All };
QStringList standardFolders(StandardFolder kind, FolderDomain domain);

// Makes the calling thread give way to the application's other threads when processors are scarce: a
// background worker calls it so that the main thread, which draws the window, keeps its share.
void yieldToOtherThreads();

}
