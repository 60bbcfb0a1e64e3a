#pragma once

#include <QString>
#include <QUrl>
#include <QVariant>

#include <chrono>
#include <functional>

class QNetworkCookie;
class QWidget;

// A file that the log form hands over, while the web engine asks where it goes. It is answered once, by
// save or cancel, before the handler that received it returns.
class FormDownloadRequest
{
public:
    enum class Ending { Saved, Interrupted, Cancelled };
    // How a saved download ended: where the file is, and for an interruption, the engine's reason.
    using EndingHandler = std::function<void(Ending ending, const QString& path, const QString& reason)>;

    virtual ~FormDownloadRequest() = default;

    virtual QUrl url() const = 0;
    virtual QString suggestedFileName() const = 0;
    // Writes the file at `path` (its folder exists); `ended` is told once, when the download ends.
    virtual void save(const QString& path, EndingHandler ended) = 0;
    virtual void cancel() = 0;
};

// The log form's web view as the application sees it: the page it shows, the scripts it runs there, the
// cookies of its session, and what it reports back. The web engine behind it lives in a module of its
// own, loaded only once the main window is on screen (logform/LogFormViewModule.h), so that the dynamic
// loader does not map the engine's libraries before the window can show.
class LogFormView
{
public:
    // The view's named, persistent set of preferences and cookies, the font size its pages start from, and
    // whether it draws with Qt Quick's software renderer (where OpenGL would be drawn by the processor).
    // The renderer is Qt Quick's, for the whole process: the first view decides it.
    struct Settings
    {
        QString profileName;
        int defaultFontSize = 16;
        bool drawnInSoftware = false;
    };

    // What the view reports; each is called on the main thread.
    struct Handlers
    {
        // A load of the main frame has finished, or failed or was stopped (false).
        std::function<void(bool ok)> loadFinished;
        std::function<void(FormDownloadRequest& download)> downloadRequested;
        // The request for `address` had no answer within `limit` and was stopped.
        std::function<void(const QUrl& address, std::chrono::milliseconds limit)> requestExpired;
    };

    virtual ~LogFormView() = default;

    // The web view, a child of the pane it was made in.
    virtual QWidget* view() const = 0;
    // Loads `address` into the main frame; a request without an answer within `limit` is stopped.
    virtual void load(const QUrl& address, std::chrono::milliseconds limit) = 0;
    // The address of the document the main frame shows.
    virtual QUrl url() const = 0;
    // Runs `script` in the page, in a world of tapeScribe's own that the page's scripts cannot reach, and
    // hands its result to `done`.
    virtual void runScript(const QString& script, std::function<void(const QVariant& result)> done = {}) = 0;
    virtual void setCookie(const QNetworkCookie& cookie, const QUrl& origin) = 0;
};

// The function the module exports to make its view, found by this name.
using LogFormViewMaker
    = LogFormView*(QWidget* pane, const LogFormView::Settings& settings, LogFormView::Handlers handlers);
inline constexpr char logFormViewMakerName[] = "tapescribe_makeLogFormView";
