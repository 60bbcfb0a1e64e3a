#include "clips/ClipOpenDialog.h"
#include "clips/TypeIdentifiers.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

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
    // Every mode of QFileDialog greys Choose out while nothing is selected, where this panel takes the
    // folder shown; the button is held enabled, and accept() admits only what is there.
    chooseButton = findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open);
    chooseButton->installEventFilter(this);
    chooseButton->setEnabled(true);
}

bool ClipOpenDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == chooseButton && event->type() == QEvent::EnabledChange && !chooseButton->isEnabled())
        chooseButton->setEnabled(true);
    return QFileDialog::eventFilter(watched, event);
}

void ClipOpenDialog::accept()
{
    const QStringList selected = selectedFiles();
    if (selected.size() > 1)
        return;
    const QFileInfo candidate(selected.isEmpty() ? directory().absolutePath() : selected.first());
    if (!candidate.exists()) {
        QMessageBox notFound(QMessageBox::Warning, windowTitle(),
            tr("“%1” is not there. Choose a folder or a clip that is.").arg(candidate.fileName()),
            QMessageBox::Ok, this);
        notFound.setTextFormat(Qt::PlainText);
        notFound.exec();
        return;
    }
    chosen = QDir::cleanPath(candidate.absoluteFilePath());
    done(QDialog::Accepted);
}

std::optional<QString> ClipOpenDialog::chosenPath() const
{
    if (result() != QDialog::Accepted || chosen.isEmpty())
        return std::nullopt;
    return chosen;
}

std::optional<QString> ClipOpenDialog::choose(QWidget* parent, const QStringList& acceptedTypes)
{
    ClipOpenDialog dialog(parent, acceptedTypes);
    dialog.exec();
    return dialog.chosenPath();
}
