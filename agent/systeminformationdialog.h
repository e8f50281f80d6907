#pragma once

#include "ui_systeminformationdialog.h"

#include <QDialog>

// The support report, read-only, with "Save" (a text file, written whole or not at all)
// and "Cancel". Frameless and modal; deletes itself when closed.
class SystemInformationDialog : public QDialog, private Ui::SystemInformationDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(SystemInformationDialog)

public:
    SystemInformationDialog(const QString &text, QWidget *parent = nullptr);

    QString text() const;

public Q_SLOTS:
    // Asks for a file name (filter "Text Files (*.txt)") and saves the report there.
    void save();
    // Saves the report to that file; false (with the reason shown in the dialog) when it
    // cannot.
    bool saveTo(const QString &path);

protected:
    void mousePressEvent(QMouseEvent *event) override;
};
