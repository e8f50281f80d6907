#pragma once

#include <QDialog>

class AppUpdater;
class QCheckBox;
class QLabel;
class QNetworkReply;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

// The offer of a newer version: "A new version of %1 (%2) is available", the release notes
// behind "Details", "Install" and "Hide", and "Automatically check for updates". Install
// turns it into a progress bar ("Downloading the update") that hides the dialog at 100
// percent; a failed download shows its error in red and offers Install again. Where the
// program came from a package repository, the dialog says that the update comes through
// the system's software updates and offers no Install.
//
// Owned by the AppUpdater, which deletes it when a newer offer replaces it.
class UpdateDialog : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(UpdateDialog)

public:
    UpdateDialog(AppUpdater *updater, QWidget *parent = nullptr);

    int progress() const;

Q_SIGNALS:
    void downloadAccepted();
    void cancelDownload();

public Q_SLOTS:
    void updateDownloadFilename();
    void toggleDetails(bool state);
    void resizeToContents();
    void download();
    void downloadStarted(QNetworkReply *reply);
    void downloadProgress(qint64 received, qint64 total);
    void reject() override;
    void showDownloadError();
    void dontCheckChanged(bool state);
    void updateDetails();

private:
    void setButtonsVisible(bool visible);
    void showOffer();

    AppUpdater *m_updater;
    QLabel *m_heading;
    QLabel *m_repositoryText;
    QLabel *m_fileName;
    QPushButton *m_detailsButton;
    QPlainTextEdit *m_details;
    QProgressBar *m_progress;
    QLabel *m_error;
    QCheckBox *m_checks;
    QPushButton *m_install;
    QPushButton *m_hide;
};
