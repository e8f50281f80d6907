#pragma once

#include <QDialog>

// A short message with an icon and a close button, frameless and modal, for telling the
// user to wait. Deletes itself when closed.
class MessageDialog : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(MessageDialog)

public:
    MessageDialog(const QString &text, QWidget *parent = nullptr);
};
