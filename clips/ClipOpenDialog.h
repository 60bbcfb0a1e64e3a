#pragma once

#include <QFileDialog>

#include <optional>

// The panel that asks for one folder of media files or one single media file. Qt's own dialogs choose
// either files or folders: this one lets a file be opened as usual and also takes the folder that is
// selected, or the one being shown, when the logger presses Choose.
class ClipOpenDialog : public QFileDialog
{
    Q_OBJECT

public:
    ClipOpenDialog(QWidget* parent, const QStringList& acceptedTypes);

    // Runs the panel modally; the chosen path, or nothing when the logger cancelled.
    static std::optional<QString> choose(QWidget* parent, const QStringList& acceptedTypes);

public slots:
    void accept() override;

private:
    QString chosenFolder;
};
