#include "window.h"

#include "profilelistmodel.h"
#include "statusicons.h"
#include "warningstyle.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QStyle>
#include <QWindow>

const char *const Window::DnsServerPattern =
    "^(?:(?:25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])\\.){3}"
    "(?:25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])$";

namespace {

const char *const EntryTemplate =
    "<span style=\" font-size:12pt; font-weight:bold;\">%1</span><br><span style=\" font-size:10pt;\">%2</span>";
const char *const BreadcrumbTemplate =
    "<html><head/><body><p><a href=\"window:page/settings\"><span style=\" text-decoration:none; "
    "color:#58a0c8;\">%1</span></a> &gt; %2</p></body></html>";

const char *const ManualUrl = "https://www.corvane.example/manual";
const char *const SupportUrl = "https://www.corvane.example/support";

const char *const StyleSheet = R"(
#Window { background: #ffffff; }
#titleBar_ { background: #1d4f73; }
#windowTitle_ { color: #ffffff; font-weight: bold; }
#titleBar_ QToolButton { border: none; padding: 4px; border-radius: 3px; }
#titleBar_ QToolButton:hover { background: #2f6a95; }
#navigationBar_ { background: #eef3f7; border-bottom: 1px solid #d5dee6; }
#navigationBar_ QToolButton { border: none; padding: 8px 12px; color: #1d4f73; }
#navigationBar_ QToolButton:checked { border-bottom: 3px solid #58a0c8; font-weight: bold; }
#navigationBar_ QToolButton:disabled { color: #9aa7b1; }
#navigationBar_ QToolButton:hover:!checked:enabled { background: #dde8f0; }
#settingsPage_ QPushButton { text-align: left; border: 1px solid #d5dee6; border-radius: 4px; }
#settingsPage_ QPushButton:hover { background: #eef3f7; }
QLineEdit { padding: 4px; border: 1px solid #b8c4ce; border-radius: 3px; }
QLineEdit[warningStyle="true"] { border: 1px solid #d35233; background: #fdeeea; }
QLabel[warningStyle="true"] { color: #c0392b; }
)";

} // namespace

Window::Window(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_menuButtonsGroup(new QButtonGroup(this))
{
    setupUi(this);
    setStyleSheet(QString::fromLatin1(StyleSheet));
    m_menuButtonsGroup->setObjectName(QStringLiteral("menuButtonsGroup_"));
    m_menuButtonsGroup->setExclusive(true);
    m_menuButtonsGroup->addButton(homeButton_);
    m_menuButtonsGroup->addButton(settingsButton_);
    m_menuButtonsGroup->addButton(helpButton_);

    const QIcon logo = StatusIcons::svgIcon(QStringLiteral(":/app/logo"));
    setWindowIcon(logo);
    logo_->setPixmap(logo.pixmap(24, 24));
    authRequestLogo_->setPixmap(StatusIcons::svgIcon(QStringLiteral(":/page/auth/lock")).pixmap(64, 64));
    minimizeButton_->setIcon(StatusIcons::svgIcon(QStringLiteral(":/window/minimize")));
    closeButton_->setIcon(StatusIcons::svgIcon(QStringLiteral(":/window/close")));
    profileBarIcon_->setPixmap(StatusIcons::svgIcon(QStringLiteral(":/profileIndicator/icon")).pixmap(16, 16));
    homeButton_->setIcon(StatusIcons::svgIcon(QStringLiteral(":/navigation/home")));
    settingsButton_->setIcon(StatusIcons::svgIcon(QStringLiteral(":/navigation/settings")));
    helpButton_->setIcon(StatusIcons::svgIcon(QStringLiteral(":/navigation/help")));
    titleBar_->installEventFilter(this);
    windowTitle_->setText(QCoreApplication::translate("Agent", "%1 Agent").arg(QStringLiteral("Corvane")));

    setupTexts();
    setupSignals();
    setProtectionSwitch(false, false);
    setProfileBarVisible(false);
    showHomePage();
}

Window::~Window() = default;

// The texts that the form cannot hold: rich-text templates filled with translated words.
void Window::setupTexts()
{
    struct Entry
    {
        QPushButton *button;
        QString title;
        QString description;
    };
    const Entry entries[] = {
        {filterSettingsButton_, tr("Content filtering settings"), tr("Categories of sites, exceptions and aliases")},
        {profilesSettingsButton_, tr("Profiles"), tr("Filtering profiles and local users")},
        {commonSettingsButton_, tr("Common settings"), tr("Startup, updates and network connections")},
        {authSettingsButton_, tr("Authentication settings"), tr("Your login and password")},
    };
    for (const Entry &entry : entries) {
        QLabel *text = entry.button->findChild<QLabel *>();
        if (!text) {
            auto *layout = new QHBoxLayout(entry.button);
            layout->setContentsMargins(12, 6, 12, 6);
            text = new QLabel(entry.button);
            text->setAttribute(Qt::WA_TransparentForMouseEvents);
            text->setTextFormat(Qt::RichText);
            layout->addWidget(text);
        }
        text->setText(QString::fromLatin1(EntryTemplate).arg(entry.title, entry.description));
    }
    const QString breadcrumb = QString::fromLatin1(BreadcrumbTemplate);
    authSettingsBreadcrumb_->setText(breadcrumb.arg(tr("Settings"), tr("Authentication settings")));
    commonSettingsBreadcrumb_->setText(breadcrumb.arg(tr("Settings"), tr("Common settings")));
    filterSettingsPage_->findChild<QLabel *>(QStringLiteral("filterSettingsBreadcrumb_"))
        ->setText(breadcrumb.arg(tr("Settings"), tr("Content filtering settings")));
    profilesSettingsPage_->findChild<QLabel *>(QStringLiteral("profilesSettingsBreadcrumb_"))
        ->setText(breadcrumb.arg(tr("Settings"), tr("Profiles")));
    profileSelectorConfirmButton_->hide();
    profileSelector_->setToolTip(tr("The profile whose settings are shown"));
}

void Window::setupSignals()
{
    connect(minimizeButton_, &QAbstractButton::clicked, this, &Window::minimizeClicked);
    connect(closeButton_, &QAbstractButton::clicked, this, &Window::closeClicked);
    connect(m_menuButtonsGroup, qOverload<QAbstractButton *>(&QButtonGroup::buttonClicked), this,
            &Window::navigationClicked);
    connect(pages_, &QStackedWidget::currentChanged, this, [this] {
        if (m_promptOpen && pages_->currentWidget() != authRequestPage_) {
            m_promptOpen = false;
            Q_EMIT authRequestLeft();
        }
    });

    connect(protectionStateButton_, &QAbstractButton::clicked, this, &Window::protectionStateChanged);

    connect(authRequestPasswordForm_, &QLineEdit::returnPressed, this, &Window::getAuthRequestInput);
    connect(authRequestUnlockButton_, &QAbstractButton::clicked, this, &Window::getAuthRequestInput);
    connect(authRequestCancelButton_, &QAbstractButton::clicked, this, &Window::authRequestCanceled);
    connect(authRequestPasswordForm_, &QLineEdit::textEdited, this, [this] {
        if (authRequestText_->property("warningStyle").toBool())
            setPasswordRejected(false);
    });

    connect(authSettingsLoginForm_, &QLineEdit::returnPressed, this, &Window::getAuthSettingsInput);
    connect(authSettingsPasswordForm_, &QLineEdit::returnPressed, this, &Window::getAuthSettingsInput);
    connect(authSettingsSignInButton_, &QAbstractButton::clicked, this, &Window::getAuthSettingsInput);
    connect(authSettingsLoginForm_, &QLineEdit::textEdited, this, &Window::clearLoginFailure);
    connect(authSettingsPasswordForm_, &QLineEdit::textEdited, this, &Window::clearLoginFailure);

    connect(filterSettingsButton_, &QAbstractButton::clicked, this, &Window::showFilterSettingsPage);
    connect(profilesSettingsButton_, &QAbstractButton::clicked, this, &Window::showProfilesSettingsPage);
    connect(commonSettingsButton_, &QAbstractButton::clicked, this, &Window::showCommonSettingsPage);
    connect(authSettingsButton_, &QAbstractButton::clicked, this, &Window::showAuthSettingsPage);
    for (QLabel *breadcrumb : {authSettingsBreadcrumb_, commonSettingsBreadcrumb_}) {
        connect(breadcrumb, &QLabel::linkActivated, this, [this](const QString &link) {
            if (link == QLatin1String("window:page/settings"))
                showSettingsPage();
        });
    }

    connect(filterSettingsPage_, &FilterSettingsPage::settingsPageRequested, this, &Window::showSettingsPage);
    connect(filterSettingsPage_, &FilterSettingsPage::whiteListDomainAdded, this, &Window::whiteListDomainAdded);
    connect(filterSettingsPage_, &FilterSettingsPage::blackListDomainAdded, this, &Window::blackListDomainAdded);
    connect(filterSettingsPage_, &FilterSettingsPage::aliasAdded, this, &Window::aliasAdded);
    connect(filterSettingsPage_, &FilterSettingsPage::scheduleRequested, this, &Window::scheduleRequested);
    connect(profilesSettingsPage_, &ProfilesSettingsPage::settingsPageRequested, this, &Window::showSettingsPage);
    connect(profilesSettingsPage_, &ProfilesSettingsPage::profileAdded, this, &Window::profileAdded);
    connect(profilesSettingsPage_, &ProfilesSettingsPage::userProfileMappingStateChanged, this,
            &Window::userProfileMappingStateChanged);
    connect(profilesSettingsPage_, &ProfilesSettingsPage::configureProfile, this, &Window::configureProfile);
    connect(profileSelector_, qOverload<int>(&QComboBox::activated), this, &Window::profileSelector_activated);

    connect(protectSettingsFlag_, &QAbstractButton::clicked, this, &Window::settingsProtected);
    connect(trayIconFlag_, &QAbstractButton::clicked, this, &Window::autoRunStateChanged);
    connect(autoUpdateFlag_, &QAbstractButton::clicked, this, &Window::autoUpdateStateChanged);
    connect(dnsServerForm_, &QLineEdit::returnPressed, this, &Window::getDnsServer);
    connect(dnsServerUseButton_, &QAbstractButton::clicked, this, &Window::getDnsServer);
    connect(dnsServerForm_, &QLineEdit::textEdited, this, [this] { setWarning(dnsServerForm_, "warningStyle", false); });

    // The account site's pages open in the browser, as the links of the form do.
    connect(helpManualButton_, &QAbstractButton::clicked, this,
            [] { QDesktopServices::openUrl(QUrl(QString::fromLatin1(ManualUrl))); });
    connect(helpSupportButton_, &QAbstractButton::clicked, this,
            [] { QDesktopServices::openUrl(QUrl(QString::fromLatin1(SupportUrl))); });
    connect(helpSystemInformationButton_, &QAbstractButton::clicked, this, &Window::systemInformationRequested);
    connect(helpCheckUpdatesButton_, &QAbstractButton::clicked, this, &Window::appUpdateRequested);
}

void Window::navigationClicked(QAbstractButton *button)
{
    if (m_promptOpen) {
        m_promptOpen = false;
        Q_EMIT authRequestLeft();
    }
    if (button == homeButton_)
        Q_EMIT homePageRequested();
    else if (button == settingsButton_)
        Q_EMIT settingsPageRequested();
    else if (button == helpButton_)
        showHelpPage();
}

void Window::setStatus(int level, const QString &title, const QString &text)
{
    protectionStateIcon_->setPixmap(StatusIcons::homePicture(level, 128));
    const QString textTemplate = protectionStateText_->property("textTemplate").toString();
    protectionStateText_->setText(textTemplate.arg(title.toHtmlEscaped(), text.toHtmlEscaped()));
}

// Help stays reachable: its contacts and the support report matter most while the
// service is away.
void Window::setNavigationEnabled(bool enabled)
{
    homeButton_->setEnabled(enabled);
    settingsButton_->setEnabled(enabled);
    helpButton_->setEnabled(true);
}

void Window::setProtectionSwitch(bool visible, bool checked)
{
    protectionStateButton_->setChecked(checked);
    protectionStateButton_->setVisible(visible);
    protectionStateLabel_->setVisible(visible);
}

void Window::setProfileBarVisible(bool visible)
{
    profileBar_->setVisible(visible);
}

void Window::setActiveProfileName(const QString &name)
{
    profileBarIndicator_->setText(name);
}

void Window::showPage(QWidget *page, QAbstractButton *navigation)
{
    if (navigation) {
        navigation->setChecked(true);
    } else if (QAbstractButton *checked = m_menuButtonsGroup->checkedButton()) {
        m_menuButtonsGroup->setExclusive(false);
        checked->setChecked(false);
        m_menuButtonsGroup->setExclusive(true);
    }
    profileBarIndicator_->show();
    profileBarIcon_->show();
    profileSelector_->hide();
    profileSelectorConfirmButton_->hide();
    setCurrentPage(page);
}

void Window::setCurrentPage(QWidget *page)
{
    pages_->setCurrentWidget(page);
}

void Window::showHomePage()
{
    showPage(homePage_, homeButton_);
}

void Window::showSettingsPage()
{
    showPage(settingsPage_, settingsButton_);
}

void Window::showLoginPage()
{
    showAuthSettingsPage();
}

void Window::showHelpPage()
{
    showPage(helpPage_, helpButton_);
}

void Window::showCommonSettingsPage()
{
    dnsServerForm_->setText(dnsServerForm_->property("activeAddress").toString());
    setWarning(dnsServerForm_, "warningStyle", false);
    showPage(commonSettingsPage_, settingsButton_);
}

void Window::showAuthSettingsPage()
{
    authSettingsLoginForm_->setText(activeLogin());
    authSettingsPasswordForm_->setText(activePassword());
    authSettingsLoginForm_->setCursorPosition(0);
    showPage(authSettingsPage_, settingsButton_);
    authSettingsLoginForm_->setFocus();
}

void Window::showFilterSettingsPage()
{
    QModelIndex profile = filterSettingsPage_->chosenProfile();
    if (m_profiles && !profile.isValid()) {
        const int row = m_profiles->activeRow() >= 0 ? m_profiles->activeRow() : 0;
        profile = m_profiles->index(row, ProfileListModel::NameColumn);
    }
    showFilterPage(profile);
}

void Window::showProfilesSettingsPage()
{
    showPage(profilesSettingsPage_, settingsButton_);
}

void Window::configureProfile(const QModelIndex &index)
{
    filterSettingsPage_->configureCategoriesTab(index);
    showFilterPage(index);
}

void Window::configureCategoriesTab(const QModelIndex &index)
{
    filterSettingsPage_->configureCategoriesTab(index);
}

void Window::configureBwListsTab(const QModelIndex &index)
{
    filterSettingsPage_->configureBwListsTab(index);
}

void Window::configureAliasesTab(const QModelIndex &index)
{
    filterSettingsPage_->configureAliasesTab(index);
}

void Window::configureScheduleTab(const QModelIndex &index)
{
    filterSettingsPage_->configureScheduleTab(index);
}

void Window::configureAdvancedSettingsTab(const QModelIndex &index)
{
    filterSettingsPage_->configureAdvancedSettingsTab(index);
}

// The filtering page names its profile in the profile bar, where another can be chosen.
void Window::showFilterPage(const QModelIndex &profile)
{
    showPage(filterSettingsPage_, settingsButton_);
    filterSettingsPage_->configure(profile);
    profileBarIndicator_->hide();
    profileBarIcon_->show();
    fillProfileSelector();
    profileSelector_->show();
}

void Window::fillProfileSelector()
{
    const QSignalBlocker blocker(profileSelector_);
    profileSelector_->clear();
    const quint32 chosen = filterSettingsPage_->chosenProfile().data(ProfileListModel::IdRole).toUInt();
    for (int row = 0; m_profiles && row < m_profiles->rowCount(); ++row) {
        const QModelIndex index = m_profiles->index(row, ProfileListModel::NameColumn);
        const quint32 id = index.data(ProfileListModel::IdRole).toUInt();
        profileSelector_->addItem(index.data(ProfileListModel::NameRole).toString(), id);
        if (id == chosen)
            profileSelector_->setCurrentIndex(row);
    }
}

void Window::profileSelector_activated(int row)
{
    if (m_profiles && row >= 0 && row < m_profiles->rowCount())
        filterSettingsPage_->configure(m_profiles->index(row, ProfileListModel::NameColumn));
}

QModelIndex Window::chosenProfile() const
{
    return filterSettingsPage_->chosenProfile();
}

void Window::getWhiteListDomain()
{
    filterSettingsPage_->getWhiteListDomain();
}

void Window::getBlackListDomain()
{
    filterSettingsPage_->getBlackListDomain();
}

void Window::getAlias()
{
    filterSettingsPage_->getAlias();
}

void Window::getProfileName()
{
    profilesSettingsPage_->getProfileName();
}

void Window::getUserProfileMapping()
{
    profilesSettingsPage_->getUserProfileMapping();
}

void Window::setSettingsModels(ProfileListModel *profiles, CategoryTreeModel *categories, DomainListModel *whiteList,
                               DomainListModel *blackList, AliasListModel *aliases, UserProfileMappingModel *mapping)
{
    m_profiles = profiles;
    filterSettingsPage_->setModels(profiles, categories, whiteList, blackList, aliases);
    profilesSettingsPage_->setModels(profiles, mapping);
    // The selector names the profiles of the moment.
    auto refill = [this] {
        if (profileSelector_->isVisible())
            fillProfileSelector();
    };
    connect(profiles, &QAbstractItemModel::modelReset, this, refill);
    connect(profiles, &QAbstractItemModel::rowsRemoved, this, refill);
}

void Window::setLocalUsers(const QStringList &users)
{
    profilesSettingsPage_->setLocalUsers(users);
}

void Window::setUserProfileMappingEnabled(bool on)
{
    profilesSettingsPage_->setUserProfileMappingEnabled(on);
}

void Window::setSchedule(quint32 profileId, const CabinetSchedule &schedule)
{
    filterSettingsPage_->setSchedule(profileId, schedule);
}

void Window::showPageAgain(QWidget *page)
{
    if (page == homePage_)
        showHomePage();
    else if (page == helpPage_)
        showHelpPage();
    else if (page == filterSettingsPage_)
        showFilterPage(filterSettingsPage_->chosenProfile());
    else if (page != authRequestPage_ && pages_->indexOf(page) >= 0)
        showPage(page, settingsButton_);
}

bool Window::isLoginPageCurrent() const
{
    return pages_->currentWidget() == authSettingsPage_;
}

bool Window::isAuthRequestCurrent() const
{
    return pages_->currentWidget() == authRequestPage_;
}

QWidget *Window::currentPage() const
{
    return pages_->currentWidget();
}

void Window::showAuthRequest(const QString &text)
{
    // Whatever prompt was open is dropped for the new one.
    m_promptOpen = false;
    authRequestText_->setProperty("currentText", text);
    setPasswordRejected(false);
    authRequestPasswordForm_->clear();
    showPage(authRequestPage_, nullptr);
    m_promptOpen = true;
    authRequestPasswordForm_->setFocus();
}

void Window::setPasswordRejected(bool rejected)
{
    authRequestText_->setText(rejected ? tr("Your password is incorrect")
                                       : authRequestText_->property("currentText").toString());
    setWarning(authRequestText_, "warningStyle", rejected);
    setWarning(authRequestPasswordForm_, "warningStyle", rejected);
}

void Window::setLoginFailed(bool failed)
{
    authSettingsErrorText_->setText(failed ? tr("Your login or password is incorrect") : QString());
    setWarning(authSettingsErrorText_, "warningStyle", failed);
    for (QLineEdit *field : {authSettingsLoginForm_, authSettingsPasswordForm_}) {
        field->setProperty("invalidInput", failed);
        setWarning(field, "warningStyle", failed);
    }
}

bool Window::isLoginFailed() const
{
    return authSettingsErrorText_->property("warningStyle").toBool();
}

void Window::clearLoginFailure()
{
    if (isLoginFailed())
        setLoginFailed(false);
}

void Window::setCredentials(const QString &login, const QString &password)
{
    authSettingsLoginForm_->setProperty("activeLogin", login);
    authSettingsPasswordForm_->setProperty("activePassword", password);
}

QString Window::activeLogin() const
{
    return authSettingsLoginForm_->property("activeLogin").toString();
}

QString Window::activePassword() const
{
    return authSettingsPasswordForm_->property("activePassword").toString();
}

void Window::setSettingsProtected(bool on)
{
    protectSettingsFlag_->setChecked(on);
}

void Window::setAutoRunEnabled(bool on)
{
    trayIconFlag_->setChecked(on);
}

void Window::setAutoUpdateEnabled(bool on)
{
    autoUpdateFlag_->setChecked(on);
}

void Window::setDnsServer(const QString &address)
{
    dnsServerForm_->setProperty("activeAddress", address);
    if (pages_->currentWidget() != commonSettingsPage_)
        dnsServerForm_->setText(address);
}

QString Window::dnsServer() const
{
    return dnsServerForm_->property("activeAddress").toString();
}

void Window::setNetworkModel(QAbstractItemModel *model)
{
    networkListView_->setModel(model);
}

void Window::getAuthRequestInput()
{
    const QString password = authRequestPasswordForm_->text().trimmed();
    if (password.isEmpty())
        return;
    Q_EMIT authProvided(activeLogin(), password);
}

void Window::getAuthSettingsInput()
{
    const QString login = authSettingsLoginForm_->text().trimmed();
    const QString password = authSettingsPasswordForm_->text().trimmed();
    if (login.isEmpty() || password.isEmpty())
        return;
    Q_EMIT credentialsProvided(login, password);
}

void Window::getDnsServer()
{
    static const QRegularExpression pattern(QString::fromLatin1(DnsServerPattern));
    const QString address = dnsServerForm_->text().trimmed();
    if (address.isEmpty() || !pattern.match(address).hasMatch()) {
        setWarning(dnsServerForm_, "warningStyle", true);
        return;
    }
    if (address == dnsServerForm_->property("activeAddress").toString())
        return;
    dnsServerForm_->clearFocus();
    dnsServerForm_->setProperty("activeAddress", address);
    Q_EMIT dnsServerChanged(address);
}

void Window::setWarning(QWidget *widget, const char *property, bool on)
{
    setWarningStyle(widget, property, on);
}

void Window::closeEvent(QCloseEvent *event)
{
    // Whether closing hides or quits is Agent's decision.
    event->ignore();
    Q_EMIT closeClicked();
}

// The window has no frame of its own: the title bar moves it.
bool Window::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == titleBar_ && event->type() == QEvent::MouseButtonPress) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && windowHandle()) {
            windowHandle()->startSystemMove();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Window::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslateUi(this);
        filterSettingsPage_->retranslate();
        profilesSettingsPage_->retranslate();
        setupTexts();
    }
    QWidget::changeEvent(event);
}
