#pragma once

#include <QFileDialog>

#include <optional>

class QPushButton;

// The panel that asks for one folder of media files or one single media file. Qt's own dialogs choose
// either files or folders: this one shows the folders and the media files, and takes what the logger
// points at when Choose is pressed: the selected clip or folder, or else the folder it shows.
class ClipOpenDialog : public QFileDialog
{
    Q_OBJECT

public:
    ClipOpenDialog(QWidget* parent, const QStringList& acceptedTypes);

    // Runs the panel modally; the chosen path, or nothing when the logger cancelled.
    static std::optional<QString> choose(QWidget* parent, const QStringList& acceptedTypes);

    // What the panel was closed with: the chosen path, or nothing when it was cancelled.
    std::optional<QString> chosenPath() const;

public slots:
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPushButton* chooseButton = nullptr;
    QString chosen;
};
