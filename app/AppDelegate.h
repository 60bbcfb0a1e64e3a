#pragma once

#include "account/KeychainOutcome.h"
#include "core/CommandResult.h"
#include "core/DateFormatter.h"
#include "clips/Clip.h"
#include "clips/ClipModel.h"
#include "clips/ClipSortModel.h"
#include "clips/MetadataReader.h"
#include "clips/RecordingStart.h"
#include "logform/LogFormView.h"
#include "logform/NotesFetch.h"
#include "notes/LogNote.h"
#include "notes/MarkerFormat.h"
#include "notes/MarkerListModel.h"

#include <QFutureWatcher>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class PlayerView;
class QAction;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMessageBox;
class QPushButton;
class QSplitter;
class QTableView;
class QTimer;
class QWidget;
class Spinner;

// The whole running application: it owns every piece of state of the main window and is the target of
// every menu action, button and view callback. Each subsystem defines its handlers in its own folder;
// they talk to each other only through these fields.
//
// The handlers are slots named after the events that trigger them, so that they can be reached by name
// through the meta-object system as well as connected to signals.
class AppDelegate : public QObject {
    Q_OBJECT

public:
    // The defaults every field starts with (the state before any clip is chosen), for the log service on
    // the host tapeScribe was built for.
    explicit AppDelegate(QObject* parent = nullptr);
    // The same for the log service on another host (as "name" or "name:port", in any case).
    explicit AppDelegate(const QString& logServiceHost, QObject* parent = nullptr);
    ~AppDelegate() override;

    // Interface outlets: non-owning references to the views of the main interface, connected by the
    // interface loader before awakeFromNib.
    QPointer<QMainWindow> window;
    QPointer<PlayerView> playerView;
    // The log form's pane holds the spinner, and the web view (a QWebEngineView) once setUpWebView has
    // made it there.
    QPointer<Spinner> webSpinner;
    QPointer<QWidget> webViewPane;
    QPointer<QWidget> webView;
    QPointer<QPushButton> chooseFolderButton;
    QPointer<Spinner> spinner;
    QPointer<QTableView> tableView;
    QPointer<QLabel> label;
    QPointer<QWidget> preferencesWindow;
    QPointer<QLineEdit> usernameField;
    QPointer<QLineEdit> passwordField;
    // The line under the account's fields that says why the keyring gave no account.
    QPointer<QLabel> accountStatusLabel;
    // The notes on the loaded clip, under the player: a line that says what the list shows, and the list.
    QPointer<QLabel> notesLabel;
    QPointer<QTableView> notesView;
    QPointer<QAction> exportMarkersAction;

    // The log service account in memory.
    QString username;
    QString password;

    // The clip list and the loaded clip.
    QString mediaCreatedTime = QStringLiteral("stopped");
    QList<Clip> assets;
    qint64 loadedAssetIndex = -1;
    QString assetPath;

    // Where the log service's pages and its cookie live; fixed for the delegate's life.
    const QString logServiceHost;
    QUrl formURL;
    DateFormatter dateFormatter;
    std::unique_ptr<QTimer> secondsTimer;

    // The clip table's rows (they carry the loaded-clip mark and the clips' metadata) in scan order, the
    // order the table shows them in, and the loaded player's end-of-clip connection.
    ClipModel clipModel;
    ClipSortModel clipSortModel;
    QMetaObject::Connection playerEndObserver;
    // Reads the scanned clips' own metadata off the main thread.
    MetadataReader metadataReader;
    // The folder the clips came from (a single clip's own folder): where exported markers go by default.
    QString clipFolder;

    // The signed-in logger's notes as the log form's session reads them, in the order they were stored;
    // what the last answer of the service said (nothing before the first); the loaded clip's notes.
    std::vector<LogNote> loggedNotes;
    std::optional<NotesFetch::Outcome> notesOutcome;
    MarkerListModel loadedClipNotes;
    std::unique_ptr<QTimer> notesTimer;

    // Seams for the modal panels, so that tests can answer in the logger's place; unset, the real
    // panels run. The open panel gets the accepted type list and gives the chosen path, or nothing.
    std::function<std::optional<QString>(const QStringList& acceptedTypes)> runOpenPanel;
    std::function<void(const QString& message)> showFormatWarning;
    // Runs the account's alerts, set up and ready to show; unset, each runs modally.
    std::function<void(QMessageBox& alert)> runAlert;
    // The save panel of a download gets the proposed path and gives the chosen one, or nothing.
    std::function<std::optional<QString>(const QString& proposedPath)> runSavePanel;
    // The save panel of an export of markers gets the proposed path and format, and gives the chosen ones.
    struct MarkerExportChoice
    {
        QString path;
        MarkerFormat format;
    };
    std::function<std::optional<MarkerExportChoice>(const QString& proposedPath, MarkerFormat proposedFormat)>
        runExportPanel;

    // Gives the clip table its model and its selection handler (part of the interface wiring).
    void connectClipTable();
    // Makes sure, once a launch, that the player opens and decodes the professional formats; tells the
    // logger which are missing. The player's libraries are asked off the main thread: the logger is told,
    // if need be, when `professionalFormatCheck` finishes.
    void checkProfessionalFormats();
    QFutureWatcher<void> professionalFormatCheck;
    // Whether the player may decode on the graphics card, as the logger last chose (on at first).
    static bool hardwareDecodingChosen();

    // The application's name for the command runner (core/CommandRunner.h), which its handlers use.
    static CommandResult runCommand(const QString& launchPath, const QStringList& arguments,
                                    std::chrono::milliseconds deadline,
                                    const std::optional<QByteArray>& standardInput = std::nullopt);

    // Split-view limits, in the split view's coordinates (the divider's distance from its left edge).
    static double splitViewConstrainMinCoordinate(double proposedMinimum, int dividerIndex);
    static double splitViewConstrainMaxCoordinate(double proposedMaximum, int dividerIndex);
    static bool splitViewCanCollapseSubview(int subviewIndex);

    // The log form's address: the log service's form page, or the local development server's.
    QUrl defaultFormURL(bool fromLocalServer) const;

public slots:
    // Start-up, in this order. The interface set-up comes in two halves, with the main window shown and
    // drawn between them: the web engine holds the main thread for the better part of a second as it
    // starts, and the logger should see the window meanwhile. awakeFromNib readies what that window shows
    // (the log form's spinner turning) and what needs no web engine; setUpWebView makes the web view,
    // starts the engine and requests the log form, before the launch steps run.
    void awakeFromNib();
    void setUpWebView();
    void applicationWillFinishLaunching();
    void applicationDidFinishLaunching();
    void applicationWillTerminate();

    // Opens the first of the given folders or clips as if it had been chosen in the open panel: a path
    // given on the command line.
    void openPaths(const QStringList& paths);
    // A second start of tapeScribe: brings the main window forward and opens its paths.
    void activateWithPaths(const QStringList& paths);

    // Clip library and playback.
    void showOpenPanel();
    void finishScan();
    void tableViewSelectionDidChange();
    void playerItemDidReachEnd();
    // A clip's metadata has been read (or why it could not be): its row shows it, and its record's
    // "created" becomes the recording start the clip carries, where it carries a believable one.
    void clipMetadataDidArrive(int index, const ClipMetadata::Reading& reading);
    // The Player menu's Hardware Decoding item: kept in the settings, and applied at once.
    void setHardwareDecoding(bool enabled);

    // Log form and clock.
    void webViewDidFinishLoadForFrame(bool ok);
    void webViewDownloadRequested(FormDownloadRequest* download);
    void timerDidFire();
    void setTimeOffsetCookie();

    // The logger's notes: read through the log form's session, shown on the loaded clip, exported as
    // markers for the editing applications.
    void notesTimerDidFire();
    void notesDidArrive(const QVariant& scriptResult);
    void showLoadedClipNotes();
    void notesViewSelectionDidChange();
    void exportMarkers();

    // Account and preferences.
    void loadCredentialsFromKeychain();
    void saveCredentialsToKeychain();
    void showPreferences();

    // Help menu.
    void showHelp();
    void showGlossary();
    void emailSupport();

public:
    // Whether the application quits when its last window closes.
    static bool applicationShouldTerminateAfterLastWindowClosed() { return true; }

    // Holds the main window's split view to the limits above; the interface loader calls it, as the
    // split view's delegate connection.
    static void applySplitViewLimits(QSplitter* splitter);

    // Loads a page into the web view's main frame; a request that has no answer within
    // `webRequestLimit` is stopped.
    void loadInWebView(const QUrl& url);
    std::chrono::milliseconds webRequestLimit { std::chrono::seconds(60) };

private:
    // Puts the account into the service's sign-in page, if the web view shows it.
    void fillSignInPage();
    // Tells the logger that a save stored nothing, and why.
    void reportAccountNotStored(KeychainOutcome outcome, const QString& toolError);
    // The scan of a chosen folder or file, from clearing the table to finishScan.
    void scanChosenPath(const QString& path, const QStringList& acceptedTypes);
    // Reads the metadata of every clip still waiting for it, in the order the table shows them.
    void readClipMetadata();
    // Tells the logger which professional formats the player lacks, once they are known.
    void warnOfMissingFormats();

    // Starts reading the logger's notes through the log form's page.
    void startReadingNotes();
    // Forgets the notes shown: the form's session has ended or belongs to another logger now.
    void forgetNotes();
    // The loaded clip with its notes placed on it, or nothing when no clip is loaded.
    std::optional<ClipMarkers> loadedClipMarkers() const;
    // Tells the logger which notes fell outside every clip of an export.
    void reportUnplacedNotes(const std::vector<LogNote>& unplaced);

    // The web view's request stopped at its limit: said on the console and in the status label.
    void webRequestExpired(const QUrl& url, std::chrono::milliseconds limit);

    // The web view's page, profile and request limit, from the web engine's module; none until
    // setUpWebView, or when the module could not be loaded.
    std::unique_ptr<LogFormView> logForm;
    bool formatCheckStarted = false;
};
