#include "appupdater.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcAppUpdater, "corvane.agent.updater")

AppUpdater::AppUpdater(QObject *parent)
    : QObject(parent)
{
}

void AppUpdater::check(bool)
{
    check();
}

void AppUpdater::check()
{
    m_offeredVersion.clear();
    m_errorText = QStringLiteral("Update checks are not available in this version");
    qCInfo(lcAppUpdater, "%s", qPrintable(m_errorText));
    QMetaObject::invokeMethod(this, &AppUpdater::checkFinished, Qt::QueuedConnection);
}

void AppUpdater::setChecksEnabled(bool enabled)
{
    m_checksEnabled = enabled;
}

void AppUpdater::download()
{
}

void AppUpdater::cancelDownload()
{
}
