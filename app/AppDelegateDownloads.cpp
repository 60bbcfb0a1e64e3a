#include "app/AppDelegate.h"
#include "core/Console.h"
#include "core/Platform.h"
#include "logform/FormDownload.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QWebEngineDownloadRequest>

// Files that the log form hands over: the logger says where they go, the status label says how it went.

void AppDelegate::webViewDownloadRequested(QWebEngineDownloadRequest* download)
{
    const QString downloads
        = Platform::standardFolders(Platform::StandardFolder::Downloads, Platform::FolderDomain::User)
              .value(0);
    // The dialog opens in the downloads folder even on a first day, when there is none yet.
    QDir().mkpath(downloads);
    const QString proposed = FormDownload::proposedPath(downloads, download->suggestedFileName());
    const std::optional<QString> chosen = runSavePanel
        ? runSavePanel(proposed)
        : std::optional(QFileDialog::getSaveFileName(window, tr("Save the Download"), proposed));
    consoleLine(QStringLiteral("webViewDownloadRequested: %1 -> %2")
                    .arg(download->url().toString(), chosen.value_or(QStringLiteral("(cancelled)"))));
    // The engine ends a request that is neither accepted nor cancelled by the time this returns.
    if (!chosen || chosen->isEmpty()) {
        download->cancel();
        return;
    }

    const QFileInfo target(*chosen);
    // The engine would only cancel, without a word why.
    if (!QDir().mkpath(target.absolutePath())) {
        download->cancel();
        label->setText(FormDownload::failed(target.absoluteFilePath(), tr("its folder cannot be made")));
        return;
    }
    download->setDownloadDirectory(target.absolutePath());
    download->setDownloadFileName(target.fileName());
    connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this, [this, download] {
        const QString path = QDir(download->downloadDirectory()).filePath(download->downloadFileName());
        switch (download->state()) {
        case QWebEngineDownloadRequest::DownloadCompleted:
            label->setText(FormDownload::saved(path));
            break;
        case QWebEngineDownloadRequest::DownloadInterrupted:
            label->setText(FormDownload::failed(path, download->interruptReasonString()));
            break;
        // Once accepted, nothing of tapeScribe's cancels a download: the engine gave it up.
        case QWebEngineDownloadRequest::DownloadCancelled:
            label->setText(FormDownload::failed(path, tr("the download was cancelled")));
            break;
        default:
            break;
        }
        consoleLine(QStringLiteral("webViewDownloadRequested: %1 ended in state %2")
                        .arg(path)
                        .arg(int(download->state())));
    });
    download->accept();
    label->setText(FormDownload::saving(target.absoluteFilePath()));
}
