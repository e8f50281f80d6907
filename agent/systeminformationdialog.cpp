#include "systeminformationdialog.h"

#include "reportfile.h"
#include "warningstyle.h"

#include <QFileDialog>
#include <QFontDatabase>
#include <QMouseEvent>
#include <QStandardPaths>
#include <QWindow>

SystemInformationDialog::SystemInformationDialog(const QString &text, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setupUi(this);
    padButtons(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(true);
    // The tables line up only in a fixed-width font.
    systemInformationText_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // The report is English text and left-aligned tables in every language; in a
    // right-to-left layout its line starts went under the scroll bar.
    systemInformationText_->setLayoutDirection(Qt::LeftToRight);
    systemInformationText_->setPlainText(text);
    setStyleSheet(QStringLiteral("#SystemInformationDialog { border: 1px solid #1d4f73; }"));
    systemInformationError_->hide();
    connect(systemInformationSaveButton_, &QAbstractButton::clicked, this, &SystemInformationDialog::save);
    connect(systemInformationCancelButton_, &QAbstractButton::clicked, this, &QDialog::reject);
}

QString SystemInformationDialog::text() const
{
    return systemInformationText_->toPlainText();
}

// The file dialog opens without a nested event loop; its answer comes as a signal.
void SystemInformationDialog::save()
{
    auto *dialog = new QFileDialog(this, tr("Save system information"),
                                   QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                                   tr("Text Files (*.txt)"));
    dialog->setObjectName(QStringLiteral("systemInformationFileDialog_"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(QStringLiteral("txt"));
    dialog->selectFile(QStringLiteral("system-information.txt"));
    connect(dialog, &QFileDialog::fileSelected, this, &SystemInformationDialog::saveTo);
    dialog->open();
}

bool SystemInformationDialog::saveTo(const QString &path)
{
    const QString error = ReportFile::write(path, text().toUtf8());
    if (error.isEmpty()) {
        systemInformationError_->hide();
        return true;
    }
    systemInformationError_->setText(QStringLiteral("<b style=\"color:red\">%1</b>")
                                         .arg(tr("The report cannot be saved to %1: %2")
                                                  .arg(path, error)
                                                  .toHtmlEscaped()));
    systemInformationError_->show();
    return false;
}

// Without a frame, the dialog moves by its background.
void SystemInformationDialog::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && windowHandle()) {
        windowHandle()->startSystemMove();
        return;
    }
    QDialog::mousePressEvent(event);
}
