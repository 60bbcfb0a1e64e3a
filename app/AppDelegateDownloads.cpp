#include "app/AppDelegate.h"
#include "core/Console.h"
#include "core/Platform.h"
#include "logform/FormDownload.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>

// Files that the log form hands over: the logger says where they go, the status label says how it went.

void AppDelegate::webViewDownloadRequested(FormDownloadRequest* download)
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
    // The engine ends a request that is neither saved nor cancelled by the time this returns.
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
    const QPointer<AppDelegate> self(this);
    download->save(target.absoluteFilePath(),
        [self](FormDownloadRequest::Ending ending, const QString& path, const QString& reason) {
            if (!self)
                return;
            QString ended;
            switch (ending) {
            case FormDownloadRequest::Ending::Saved:
                self->label->setText(FormDownload::saved(path));
                ended = QStringLiteral("saved");
                break;
            case FormDownloadRequest::Ending::Interrupted:
                self->label->setText(FormDownload::failed(path, reason));
                ended = QStringLiteral("interrupted: ") + reason;
                break;
            // Once saving, nothing of tapeScribe's cancels a download: the engine gave it up.
            case FormDownloadRequest::Ending::Cancelled:
                self->label->setText(FormDownload::failed(path, tr("the download was cancelled")));
                ended = QStringLiteral("cancelled");
                break;
            }
            consoleLine(QStringLiteral("webViewDownloadRequested: %1 %2").arg(path, ended));
        });
    label->setText(FormDownload::saving(target.absoluteFilePath()));
}
