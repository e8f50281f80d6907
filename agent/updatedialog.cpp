#include "updatedialog.h"

#include "appupdater.h"
#include "statusicons.h"
#include "warningstyle.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QNetworkReply>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

UpdateDialog::UpdateDialog(AppUpdater *updater, QWidget *parent)
    : QDialog(parent)
    , m_updater(updater)
    , m_heading(new QLabel(this))
    , m_repositoryText(new QLabel(this))
    , m_fileName(new QLabel(this))
    , m_detailsButton(new QPushButton(QCoreApplication::translate("Window", "Details"), this))
    , m_details(new QPlainTextEdit(this))
    , m_progress(new QProgressBar(this))
    , m_error(new QLabel(this))
    , m_checks(new QCheckBox(QCoreApplication::translate("Window", "Automatically check for updates"), this))
    , m_install(new QPushButton(QCoreApplication::translate("Window", "Install"), this))
    , m_hide(new QPushButton(QCoreApplication::translate("Window", "Hide"), this))
{
    setObjectName(QStringLiteral("updateDialog_"));
    setWindowTitle(updater->displayName());
    setWindowIcon(StatusIcons::svgIcon(QStringLiteral(":/app/logo")));
    const struct
    {
        QWidget *widget;
        const char *name;
    } names[] = {{m_heading, "updateHeading_"},         {m_repositoryText, "updateRepositoryText_"},
                 {m_fileName, "updateFileName_"},       {m_detailsButton, "updateDetailsButton_"},
                 {m_details, "updateDetails_"},         {m_progress, "updateProgress_"},
                 {m_error, "updateError_"},             {m_checks, "updateChecksFlag_"},
                 {m_install, "updateInstallButton_"},   {m_hide, "updateHideButton_"}};
    for (const auto &entry : names)
        entry.widget->setObjectName(QLatin1String(entry.name));

    showOffer();
    m_heading->setStyleSheet(QStringLiteral("font-size: 12pt; font-weight: bold;"));
    m_heading->setWordWrap(true);
    m_repositoryText->setText(QCoreApplication::translate("Window", "This update comes through the system's software updates"));
    m_repositoryText->setWordWrap(true);
    m_repositoryText->setVisible(updater->isFromRepository());
    m_fileName->setTextFormat(Qt::PlainText);
    m_fileName->setVisible(!updater->isFromRepository());
    m_detailsButton->setCheckable(true);
    m_details->setReadOnly(true);
    m_details->setMinimumHeight(120);
    m_details->hide();
    m_progress->setRange(0, 100);
    m_progress->hide();
    m_error->setTextFormat(Qt::RichText);
    m_error->setWordWrap(true);
    m_error->hide();
    m_checks->setChecked(updater->checksEnabled());
    m_install->setDefault(true);
    m_install->setVisible(!updater->isFromRepository());
    padButtons(this);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_detailsButton);
    buttons->addStretch();
    buttons->addWidget(m_install);
    buttons->addWidget(m_hide);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->setSpacing(10);
    for (QWidget *widget : {static_cast<QWidget *>(m_heading), static_cast<QWidget *>(m_repositoryText),
                            static_cast<QWidget *>(m_fileName), static_cast<QWidget *>(m_details),
                            static_cast<QWidget *>(m_progress), static_cast<QWidget *>(m_error),
                            static_cast<QWidget *>(m_checks)})
        layout->addWidget(widget);
    layout->addLayout(buttons);
    setMinimumWidth(440);

    connect(m_detailsButton, &QAbstractButton::toggled, this, &UpdateDialog::toggleDetails);
    connect(m_install, &QAbstractButton::clicked, this, &UpdateDialog::download);
    connect(m_hide, &QAbstractButton::clicked, this, &UpdateDialog::reject);
    connect(m_checks, &QAbstractButton::clicked, this, &UpdateDialog::dontCheckChanged);
    connect(updater, &AppUpdater::detailsChanged, this, &UpdateDialog::updateDetails);
    connect(updater, &AppUpdater::fileNameChanged, this, &UpdateDialog::updateDownloadFilename);
    connect(updater, &AppUpdater::downloadStarted, this, &UpdateDialog::downloadStarted);
    connect(updater, &AppUpdater::finished, this, &UpdateDialog::showDownloadError);
    updateDetails();
    updateDownloadFilename();
}

int UpdateDialog::progress() const
{
    return m_progress->value();
}

void UpdateDialog::showOffer()
{
    m_heading->setText(QCoreApplication::translate("Window", "A new version of %1 (%2) is available")
                           .arg(m_updater->displayName(), m_updater->offeredVersion().toHtmlEscaped()));
}

void UpdateDialog::updateDownloadFilename()
{
    m_fileName->setText(m_updater->installerFileName());
}

void UpdateDialog::updateDetails()
{
    m_detailsButton->setChecked(false);
    m_detailsButton->setVisible(!m_updater->details().isEmpty());
    m_details->setPlainText(m_updater->details());
}

void UpdateDialog::toggleDetails(bool state)
{
    m_details->setVisible(state);
    QTimer::singleShot(0, this, &UpdateDialog::resizeToContents);
}

void UpdateDialog::resizeToContents()
{
    adjustSize();
}

void UpdateDialog::setButtonsVisible(bool visible)
{
    m_install->setVisible(visible && !m_updater->isFromRepository());
    m_hide->setVisible(visible);
}

void UpdateDialog::download()
{
    setButtonsVisible(false);
    m_error->hide();
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->show();
    setFocus();
    m_heading->setText(QCoreApplication::translate("AppUpdater", "Downloading the update"));
    Q_EMIT downloadAccepted();
}

void UpdateDialog::downloadStarted(QNetworkReply *reply)
{
    connect(reply, &QNetworkReply::downloadProgress, this, &UpdateDialog::downloadProgress);
}

void UpdateDialog::downloadProgress(qint64 received, qint64 total)
{
    int percent = 100;
    if (total > 0) {
        percent = int(qBound<qint64>(0, (received * 100 + total / 2) / total, 100));
    } else if (received > 0) {
        // No length known yet: the bar runs without a value until the end.
        m_progress->setRange(0, 0);
        return;
    }
    m_progress->setRange(0, 100);
    m_progress->setValue(percent);
    if (percent == 100)
        hide();
}

void UpdateDialog::reject()
{
    Q_EMIT cancelDownload();
    QDialog::reject();
}

void UpdateDialog::showDownloadError()
{
    if (!m_updater->installerFileName().isEmpty())
        return;
    m_progress->hide();
    showOffer();
    m_error->setText(QStringLiteral("<b style=\"color:red\">") + m_updater->errorText().toHtmlEscaped()
                     + QStringLiteral("</b>"));
    m_error->show();
    setButtonsVisible(true);
    show();
}

void UpdateDialog::dontCheckChanged(bool state)
{
    m_updater->changeChecksEnabled(state);
}
