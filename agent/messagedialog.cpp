#include "messagedialog.h"

#include "statusicons.h"
#include "warningstyle.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

MessageDialog::MessageDialog(const QString &text, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("messageDialog_"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(true);
    setStyleSheet(QStringLiteral("#messageDialog_ { border: 1px solid #1d4f73; background: #ffffff; }"));
    auto *icon = new QLabel(this);
    icon->setPixmap(StatusIcons::homePicture(StatusIcons::Information, 48));
    auto *message = new QLabel(text, this);
    message->setObjectName(QStringLiteral("messageText_"));
    message->setWordWrap(true);
    message->setMinimumWidth(320);
    auto *close = new QPushButton(QCoreApplication::translate("MessageDialog", "Close"), this);
    close->setObjectName(QStringLiteral("messageCloseButton_"));
    connect(close, &QAbstractButton::clicked, this, &QDialog::close);
    auto *row = new QHBoxLayout;
    row->setSpacing(16);
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addWidget(message, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 16);
    layout->addLayout(row);
    layout->addLayout(buttons);
    padButtons(this);
}
