#include "agentmain.h"
#include "switchbutton.h"
#include "window.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

// The main window as a passive view: what it emits for the user's input and how it marks
// input it refuses.
class TestWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void dnsServer_data();
    void dnsServer();
    void signIn_data();
    void signIn();
    void switchClick_data();
    void switchClick();
    void promptLeftOnce();

private:
    template<typename T>
    T *find(const char *name) const { return m_window->findChild<T *>(QLatin1String(name)); }
    Window *m_window = nullptr;
};

void TestWindow::initTestCase()
{
    initAgentResources();
}

void TestWindow::init()
{
    m_window = new Window;
    m_window->show();
}

void TestWindow::cleanup()
{
    delete m_window;
}

void TestWindow::dnsServer_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("sent"); // empty: nothing sent
    QTest::addColumn<bool>("warning");

    QTest::newRow("dotted address") << "10.0.0.53" << "10.0.0.53" << false;
    QTest::newRow("blanks around") << "  192.168.1.1 " << "192.168.1.1" << false;
    QTest::newRow("highest parts") << "255.255.255.255" << "255.255.255.255" << false;
    QTest::newRow("part above 255") << "256.1.1.1" << "" << true;
    QTest::newRow("leading zero") << "01.2.3.4" << "" << true;
    QTest::newRow("three parts") << "1.2.3" << "" << true;
    QTest::newRow("a name") << "dns.example" << "" << true;
    QTest::newRow("empty") << "   " << "" << true;
    QTest::newRow("the current address again") << "127.0.0.1" << "" << false;
}

void TestWindow::dnsServer()
{
    QFETCH(QString, typed);
    QFETCH(QString, sent);
    QFETCH(bool, warning);

    m_window->setDnsServer(QStringLiteral("127.0.0.1"));
    m_window->showCommonSettingsPage();
    QSignalSpy changed(m_window, &Window::dnsServerChanged);
    QLineEdit *field = find<QLineEdit>("dnsServerForm_");
    field->clear();
    QTest::keyClicks(field, typed);
    QTest::mouseClick(find<QAbstractButton>("dnsServerUseButton_"), Qt::LeftButton);

    QCOMPARE(changed.count(), sent.isEmpty() ? 0 : 1);
    if (!sent.isEmpty())
        QCOMPARE(changed.first().first().toString(), sent);
    QCOMPARE(field->property("warningStyle").toBool(), warning);
    QTest::keyClick(field, Qt::Key_1);
    QCOMPARE(field->property("warningStyle").toBool(), false);
}

void TestWindow::signIn_data()
{
    QTest::addColumn<QString>("login");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("sent");

    QTest::newRow("both given") << " parent@example.com " << "secret " << true;
    QTest::newRow("no password") << "parent@example.com" << "  " << false;
    QTest::newRow("no login") << "" << "secret" << false;
}

void TestWindow::signIn()
{
    QFETCH(QString, login);
    QFETCH(QString, password);
    QFETCH(bool, sent);

    m_window->setCredentials(QStringLiteral("old@example.com"), QString());
    m_window->showLoginPage();
    QLineEdit *loginField = find<QLineEdit>("authSettingsLoginForm_");
    QLineEdit *passwordField = find<QLineEdit>("authSettingsPasswordForm_");
    QCOMPARE(loginField->text(), QStringLiteral("old@example.com"));
    QCOMPARE(loginField->cursorPosition(), 0);
    m_window->setLoginFailed(true);
    QCOMPARE(find<QLabel>("authSettingsErrorText_")->text(), QStringLiteral("Your login or password is incorrect"));

    QSignalSpy provided(m_window, &Window::credentialsProvided);
    loginField->clear();
    QTest::keyClicks(loginField, login);
    QTest::keyClicks(passwordField, password);
    QVERIFY(!m_window->isLoginFailed()); // the first edit clears the mark
    QCOMPARE(passwordField->property("warningStyle").toBool(), false);
    QTest::keyClick(passwordField, Qt::Key_Return);
    QCOMPARE(provided.count(), sent ? 1 : 0);
    if (sent)
        QCOMPARE(provided.first(), QVariantList({login.trimmed(), password.trimmed()}));
}

void TestWindow::switchClick_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("clicks");

    QTest::newRow("enabled") << true << 1;
    QTest::newRow("disabled") << false << 0;
}

void TestWindow::switchClick()
{
    QFETCH(bool, enabled);
    QFETCH(int, clicks);

    SwitchButton button;
    button.setEnabled(enabled);
    button.show();
    QCOMPARE(button.sizeHint(), QSize(52, 32));
    QSignalSpy clicked(&button, &QAbstractButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseClick(&button, Qt::RightButton);
    QCOMPARE(clicked.count(), clicks);
    QCOMPARE(button.isChecked(), clicks == 1);
    if (clicks)
        QCOMPARE(clicked.first().first().toBool(), true);
}

// Navigating away from an open prompt says so once, whether by a button or another page.
void TestWindow::promptLeftOnce()
{
    QSignalSpy left(m_window, &Window::authRequestLeft);
    QSignalSpy home(m_window, &Window::homePageRequested);
    m_window->showAuthRequest(QStringLiteral("Enter your password to stop filtering"));
    QVERIFY(!find<QAbstractButton>("homeButton_")->isChecked());
    QTest::mouseClick(find<QAbstractButton>("homeButton_"), Qt::LeftButton);
    m_window->showHomePage();
    QCOMPARE(left.count(), 1);
    QCOMPARE(home.count(), 1);
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
