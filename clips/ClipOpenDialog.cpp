#include "clips/ClipOpenDialog.h"
#include "clips/TypeIdentifiers.h"

#include <QFileInfo>

ClipOpenDialog::ClipOpenDialog(QWidget* parent, const QStringList& acceptedTypes)
    : QFileDialog(parent, tr("Choose a folder of media files or a single media file"))
{
    // Only Qt's own dialog can take a folder and a file alike.
    setOption(QFileDialog::DontUseNativeDialog);
    setOption(QFileDialog::HideNameFilterDetails);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);
    setLabelText(QFileDialog::Accept, tr("Choose"));
    setNameFilter(tr("Media files (%1)").arg(TypeIdentifiers::nameFilterPatterns(acceptedTypes).join(u' ')));
}

void ClipOpenDialog::accept()
{
    const QStringList selected = selectedFiles();
    const QString candidate = selected.isEmpty() ? directory().absolutePath() : selected.first();
    if (selected.size() <= 1 && QFileInfo(candidate).isDir()) {
        chosenFolder = candidate;
        done(QDialog::Accepted);
        return;
    }
    QFileDialog::accept();
}

std::optional<QString> ClipOpenDialog::choose(QWidget* parent, const QStringList& acceptedTypes)
{
    ClipOpenDialog dialog(parent, acceptedTypes);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    if (!dialog.chosenFolder.isEmpty())
        return dialog.chosenFolder;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return std::nullopt;
    return files.first();
}
