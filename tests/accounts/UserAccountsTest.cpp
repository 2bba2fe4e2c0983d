#include "AccountsTestKit.h"
#include "FakeMainWindow.h"
#include "LoopbackSmtpServer.h"

#include "accounts/SignedInAccount.h"
#include "accounts/SmtpClient.h"
#include "accounts/frmUser.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace tarvo;

namespace {

const QString SaveQuestion = QStringLiteral("Save record to Tarvo database ?");

// The user-accounts window of a test program folder, opened by the signed-in administrator "admin" as
// the main window opens it: a child window of an MDI area, sized to its contents.
struct Accounts
{
    test::TestProgram program;
    test::FakeMainWindow mainWindow;
    SignedInAccount signedIn;
    QMdiArea area;
    QPointer<frmUser> window;
    int smtpSetupOpened = 0;
    std::function<void()> smtpSetup; // what the mail settings dialog does

    Accounts()
    {
        program.signInAs("admin", "Administrator", "Sistem");
        signedIn.rowId = rowOf("admin");
    }
    qint64 add(const QString& name, const QString& userId, const QString& group, const QString& region = {})
    {
        return test::addAccount(program, name, userId, group, {}, region);
    }
    qint64 rowOf(const QString& userId) { return test::rowWhere(program, "UserID", userId); }
    UserAccount row(qint64 rowId) { return test::storedRow(program, rowId); }
    int accountCount() const
    {
        return querySingleValue(program.database.handle(), "SELECT count(*) FROM UserID")->toInt();
    }

    void open()
    {
        window = new frmUser(program.context, mainWindow, signedIn, SmtpClient::factory(), [this](QWidget*) {
            ++smtpSetupOpened;
            if (smtpSetup)
                smtpSetup();
        });
        QMdiSubWindow* sub = area.addSubWindow(window);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        area.resize(1000, 700);
        area.show();
        sub->adjustSize();
        sub->show();
        QApplication::setActiveWindow(&area);
    }
    bool isOpen() const { return window && window->isVisible(); }
    template <class T>
    T* child(const char* name) const
    {
        return test::child<T>(window, name);
    }
    QString text(const char* name) const { return child<QLineEdit>(name)->text(); }
    void click(const char* name) { test::click(window, name); }
    void type(const char* name, const QString& text) { test::type(window, name, text); }
    QStringList listed() const
    {
        QStringList names;
        auto* list = child<QListWidget>("lstUserName");
        for (int i = 0; i < list->count(); ++i)
            names << list->item(i)->text();
        return names;
    }
    // Picks the n-th entry of that name in the list with the mouse.
    void pick(const QString& name, int occurrence = 0)
    {
        auto* list = child<QListWidget>("lstUserName");
        const QList<QListWidgetItem*> items = list->findItems(name, Qt::MatchExactly);
        if (occurrence >= items.size())
            qFatal("no list entry %s", qPrintable(name));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(items[occurrence]).center());
    }
    void edit(const QString& name)
    {
        pick(name);
        click("cmdKemaskini");
    }
    bool editing() const { return child<QGroupBox>("frameSimpan")->isVisible(); }
    bool enabled(const char* name) const { return child<QWidget>(name)->isEnabled(); }
};

} // namespace

class UserAccountsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The mail settings are asked for when none are set; a new account is stored, then mailed.
    void browsesEditsAndAdds_data()
    {
        QTest::addColumn<QByteArray>("rcptReply"); // empty: no mail server is set
        QTest::addColumn<QString>("mailError");
        // clang-format off
        QTest::newRow("mail accepted") << QByteArray("250 OK\r\n") << "";
        QTest::newRow("mail refused") << QByteArray("550 No such user\r\n")
            << "ERROR : 550. The mail server answered \"550 No such user\".";
        QTest::newRow("no mail server") << QByteArray() << "";
        // clang-format on
    }
    void browsesEditsAndAdds()
    {
        QFETCH(QByteArray, rcptReply);
        QFETCH(QString, mailError);
        test::LoopbackSmtpServer server;
        QVERIFY(server.start());
        server.setReply("RCPT", rcptReply);
        Accounts a;
        a.add("Zaki", "zaki", "HQ");
        // Group names count in any letter case.
        QVERIFY(execSql(a.program.database.handle(),
                        "UPDATE UserID SET [Group] = 'sistem' WHERE UserID = 'admin'"));
        if (!rcptReply.isEmpty()) {
            a.smtpSetup = [&] {
                a.program.context.WriteINI("Network", "SMTP", "127.0.0.1");
                a.program.context.WriteINI("Network", "Port", QString::number(server.port()));
            };
        }
        a.open();
        QCOMPARE(a.smtpSetupOpened, 1);
        QCOMPARE(a.listed(), (QStringList{"Administrator", "Zaki"}));
        QVERIFY(!a.editing());
        QVERIFY(!a.enabled("cmdKemaskini") && !a.enabled("cmdHapus") && !a.enabled("txtNama"));

        // A pick shows the account; a cancelled edit writes nothing and shows it again.
        a.edit("Administrator");
        QVERIFY(a.text("txtUserID") == "admin" && a.text("txtPassword") == "admin" &&
                a.child<QRadioButton>("optKumpulan1")->isChecked());
        a.type("txtNama", "Renamed");
        a.program.messenger.answer(MessageAnswer::Cancel);
        a.click("cmdSimpan");
        QVERIFY(a.editing());
        a.click("cmdBatal");
        QVERIFY(!a.editing());
        QCOMPARE(a.text("txtNama"), "Administrator");
        QVERIFY(!a.enabled("txtNama"));
        QCOMPARE(a.row(a.signedIn.rowId).Name, "Administrator");

        // A user ID longer than six characters is warned about, and the box keeps the focus.
        a.click("cmdTambah");
        a.type("txtNama", "Siti");
        a.type("txtUserID", "sitiaminah");
        QVERIFY(QTest::qWaitForWindowActive(&a.area));
        a.child<QLineEdit>("txtUserID")->setFocus();
        a.program.messenger.clear();
        QTest::keyClick(a.child<QLineEdit>("txtUserID"), Qt::Key_Tab);
        QCOMPARE(a.program.messenger.texts(), QStringList{"User ID : 6 character only ... "});
        QVERIFY(a.child<QLineEdit>("txtUserID")->hasFocus());

        // Added with no group chosen, by Enter on the focused Save button; stored before the mail goes
        // out, while the window waits for the mail with its buttons locked.
        a.type("txtUserID", "siti");
        a.type("txtPassword", "pa55");
        a.type("txtEmail", "siti@example.org");
        a.child<QPushButton>("cmdSimpan")->setFocus();
        a.program.messenger.clear();
        QTest::keyClick(a.child<QPushButton>("cmdSimpan"), Qt::Key_Return);
        const UserAccount stored = a.row(a.rowOf("siti"));
        QCOMPARE((QStringList{stored.Password, stored.Email, stored.Group}),
                 (QStringList{"pa55", "siti@example.org", ""}));
        QCOMPARE(a.enabled("cmdSimpan"), rcptReply.isEmpty()); // locked while the mail is on its way
        if (!rcptReply.isEmpty()) {
            // Neither the window's frame nor Change Login closes it then: the mail would be lost.
            a.area.closeAllSubWindows();
            QVERIFY(a.isOpen());
        }
        QTRY_VERIFY_WITH_TIMEOUT(!a.editing(), 20000);
        QVERIFY(a.enabled("cmdSimpan"));
        QCOMPARE(a.listed(), (QStringList{"Administrator", "Siti", "Zaki"}));
        QCOMPARE(a.program.messenger.texts().join('|'),
                 SaveQuestion + (mailError.isEmpty() ? "" : '|' + mailError));
        QCOMPARE(server.mails().size(), rcptReply.startsWith("250") ? 1 : 0);
        a.area.closeAllSubWindows();
        QVERIFY(!a.isOpen());
        if (!server.mails().isEmpty()) // the closing names the administrator who made the account
            QCOMPARE(server.mails().first(),
                     QByteArray("FROM: Tarvo Administrator <Tarvo>\r\nTO: Siti <siti@example.org>\r\n"
                                "SUBJECT: Tarvo : Your User ID and Password\r\n\r\nSiti,\r\n\r\n"
                                "Bellow is your Tarvo User ID and Password : \r\n\r\n\tUser ID \t: siti\r\n"
                                "\tPassword\t: pa55\r\n\r\nIf you have any problem, please don't hesitate to "
                                "call Administrator.\r\n\r\nTQ\r\nTarvo system Administrator\r\n\r\n"));
    }

    void saveRules_data()
    {
        QTest::addColumn<QString>("edited"); // the name of the account changed; empty: an addition
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("userId");
        QTest::addColumn<QString>("message"); // empty: saved
        const QString clash = QStringLiteral("User ID already exist !");
        // clang-format off
        QTest::newRow("new ID exists in other case") << "" << "Another" << "ADMIN" << clash;
        QTest::newRow("changed ID clashes with another row") << "Ali" << "Ali" << "Admin" << clash;
        QTest::newRow("own ID kept") << "Ali" << "Ali Baba" << "ali" << "";
        QTest::newRow("own ID in other case") << "Ali" << "Ali" << "ALI" << "";
        // Older databases may hold one user ID twice; such an account can still be edited.
        QTest::newRow("unchanged ID an older row shares") << "Bob Two" << "Bob Three" << "bob" << "";
        QTest::newRow("empty name") << "" << "" << "x" << "Please enter User Name !";
        QTest::newRow("longer ID only warned about") << "" << "Long" << "abcdefg" << "";
        // clang-format on
    }
    void saveRules()
    {
        QFETCH(QString, edited);
        QFETCH(QString, name);
        QFETCH(QString, userId);
        QFETCH(QString, message);
        Accounts a;
        a.add("Ali", "ali", "HQ");
        a.add("Bob", "bob", "HQ");
        QVERIFY(execSql(
            a.program.database.handle(),
            "INSERT INTO UserID (Name, UserID, Password, [Group]) VALUES ('Bob Two', 'bob', 'pw', 'HQ')"));
        const qint64 editedRow = edited.isEmpty() ? 0 : test::rowWhere(a.program, "Name", edited);
        a.open();
        const int before = a.accountCount();
        if (edited.isEmpty())
            a.click("cmdTambah");
        else
            a.edit(edited);
        a.type("txtNama", name);
        a.type("txtUserID", userId);
        a.click("cmdSimpan");
        QCOMPARE(a.program.messenger.texts(), QStringList{message.isEmpty() ? SaveQuestion : message});
        QCOMPARE(a.editing(), !message.isEmpty());
        QCOMPARE(a.accountCount(), before + (edited.isEmpty() && message.isEmpty() ? 1 : 0));
        const UserAccount saved = a.row(editedRow ? editedRow : test::rowWhere(a.program, "Name", name));
        if (message.isEmpty()) {
            QCOMPARE(saved.UserID, userId);
        } else {
            QCOMPARE(a.text("txtUserID"), userId); // the fields are kept for a correction
            QCOMPARE(saved.Name, edited.isEmpty() ? QString() : edited);
        }
    }

    void deleteRules_data()
    {
        QTest::addColumn<bool>("signedInAsHq");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("secondAdministrator");
        QTest::addColumn<QString>("message"); // the refusal, or empty when deleted
        // clang-format off
        QTest::newRow("own row") << false << "Administrator" << true << "You cannot delete your own record !";
        QTest::newRow("last system administrator") << true << "Administrator" << false
            << "This user is the only System Administrator. You cannot delete this record !";
        QTest::newRow("one of two system administrators") << true << "Administrator" << true << "";
        QTest::newRow("an HQ administrator") << false << "Hasan" << false << "";
        // clang-format on
    }
    void deleteRules()
    {
        QFETCH(bool, signedInAsHq);
        QFETCH(QString, target);
        QFETCH(bool, secondAdministrator);
        QFETCH(QString, message);
        Accounts a;
        const qint64 hq = a.add("Hasan", "hq1", "HQ");
        if (secondAdministrator)
            a.add("Second", "adm2", "Sistem");
        if (signedInAsHq) {
            a.program.signInAs("hq1", "Hasan", "HQ");
            a.signedIn.rowId = hq;
        }
        a.open();
        const int before = a.accountCount();
        a.pick(target);
        a.click("cmdHapus");
        const QString question = QStringLiteral("Delete record from Tarvo database ?");
        QCOMPARE(a.program.messenger.texts(), QStringList{message.isEmpty() ? question : message});
        QCOMPARE(a.accountCount(), message.isEmpty() ? before - 1 : before);
        QCOMPARE(a.listed().contains(target), !message.isEmpty());
    }

    void demotionRules_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<bool>("secondAdministrator");
        QTest::addColumn<bool>("demoted");
        QTest::newRow("to HQ") << "optKumpulan2" << true << true;
        QTest::newRow("to an area") << "optKumpulan3" << true << true;
        QTest::newRow("staying a system administrator") << "optKumpulan1" << true << false;
        QTest::newRow("the last system administrator") << "optKumpulan2" << false << false;
    }
    void demotionRules()
    {
        QFETCH(QString, option);
        QFETCH(bool, secondAdministrator);
        QFETCH(bool, demoted);
        Accounts a;
        if (secondAdministrator)
            a.add("Second", "adm2", "Sistem");
        a.open();
        a.edit("Administrator");
        a.type("txtNama", "Admin Two");
        a.click(option.toLatin1().constData());
        if (option == QLatin1String("optKumpulan3"))
            a.child<QComboBox>("cboRegion")->setCurrentText("Headquarters");
        a.click("cmdSimpan");

        const UserAccount stored = a.row(a.signedIn.rowId);
        if (!secondAdministrator) {
            QCOMPARE(a.program.messenger.last().text,
                     "This user is the only System Administrator. You cannot change this user's group !");
            QCOMPARE(stored.Group, "Sistem");
            QVERIFY(a.editing());
            return;
        }
        QCOMPARE(stored.Name, "Admin Two");
        QCOMPARE(a.mainWindow.caption, "Tarvo - [User : Admin Two]");
        QCOMPARE(a.mainWindow.userAccounts, !demoted);
        QCOMPARE(a.isOpen(), !demoted);
        // The session follows the own account at once: name, group and, for an area administrator, area.
        const QString region = option == QLatin1String("optKumpulan3") ? "Headquarters" : "";
        QCOMPARE(test::sessionOf(a.program), (QStringList{"admin", "Admin Two", stored.Group, region}));
    }

    // Rows are changed and deleted through the row shown, never through a name; only the signed-in
    // user's own row moves the session: not another account of his name, nor the row his session's row
    // number names when it came from another database. Nothing is shown after a failed read, so nothing
    // can be acted on.
    void actsOnlyOnTheShownRow()
    {
        Accounts a;
        const qint64 first = a.add("Ali", "ali1", "HQ");
        const qint64 second = a.add("Ali", "ali2", "HQ");
        const qint64 other = a.add("Administrator", "kamal", "Kawasan", "Headquarters");
        a.signedIn.rowId = other;
        a.open();
        a.pick("Administrator", 1);
        QCOMPARE(a.text("txtUserID"), "kamal");
        a.click("cmdKemaskini");
        a.type("txtPassword", "changed");
        a.click("optKumpulan3"); // brings up the area list, on his area
        a.click("cmdSimpan");
        QCOMPARE(a.row(other).Password, "changed");
        QCOMPARE(test::sessionOf(a.program), (QStringList{"admin", "Administrator", "Sistem", ""}));
        QVERIFY(a.mainWindow.caption.isEmpty());
        QVERIFY(a.mainWindow.userAccounts && a.isOpen());

        a.pick("Ali", 1); // not the row a look-up by name finds first
        QCOMPARE(a.text("txtUserID"), "ali2");
        a.click("cmdKemaskini");
        a.type("txtPassword", "changed");
        a.click("cmdSimpan");
        QCOMPARE(a.row(second).Password, "changed");
        QCOMPARE(a.row(first).Password, "pw");
        a.pick("Ali", 1);
        a.click("cmdHapus");
        QCOMPARE(a.row(second).rowId, 0);
        QCOMPARE(a.row(first).rowId, first);

        a.pick("Ali");
        a.program.databaseService.close();
        a.pick("Administrator");
        QCOMPARE(a.program.messenger.last().icon, MessageIcon::Critical);
        QVERIFY(!a.enabled("cmdKemaskini") && !a.enabled("cmdHapus"));
        QVERIFY(a.program.openDatabase());
        a.click("cmdHapus");
        QCOMPARE(a.row(first).rowId, first);
    }

    void areaAdministrators()
    {
        Accounts a;
        QVERIFY(execSql(a.program.database.handle(), "INSERT INTO Region (Region, AssignIP, Segment_ip, "
                                                     "Abbr_segment) VALUES ('North', 11, 1, 'NR')"));
        const qint64 nora = a.add("Nora", "nora", "Kawasan", "North");
        a.open();
        a.click("cmdTambah");
        a.type("txtNama", "Kamal");
        a.type("txtUserID", "kamal");
        a.click("optKumpulan3");
        auto* areas = a.child<QComboBox>("cboRegion");
        QVERIFY(areas->isVisible());
        // The child window keeps room for the list: showing it squeezes nothing.
        QVERIFY(areas->height() >= areas->minimumSizeHint().height());
        QCOMPARE(areas->currentIndex(), -1);
        a.click("cmdSimpan");
        QCOMPARE(a.program.messenger.texts(), QStringList{"Please select user responsibility !"});
        QCOMPARE(a.rowOf("kamal"), 0);
        areas->setCurrentText("Headquarters");
        a.click("cmdSimpan");
        const qint64 kamal = a.rowOf("kamal");
        QCOMPARE(a.row(kamal).Group, "Kawasan");
        QCOMPARE(a.row(kamal).Tadbir, "Headquarters");

        // The area list brought up for another account is never saved as Kamal's.
        a.edit("Nora");
        a.click("optKumpulan3");
        QCOMPARE(areas->currentText(), "North");
        a.click("cmdBatal");
        a.edit("Kamal");
        QCOMPARE(a.child<QRadioButton>("optKumpulan3")->text(), "Administrator For Area  Headquarters");
        a.type("txtNama", "Kamal Rahman");
        a.program.messenger.clear();
        a.click("cmdSimpan"); // his area stands: no question for it
        QCOMPARE(a.program.messenger.texts(), QStringList{SaveQuestion});
        QCOMPARE(a.row(kamal).Name, "Kamal Rahman");
        QCOMPARE(a.row(kamal).Tadbir, "Headquarters");
        QCOMPARE(a.row(nora).Tadbir, "North");

        // Moved to HQ, he keeps his area in the table.
        a.edit("Kamal Rahman");
        a.click("optKumpulan2");
        QVERIFY(!areas->isVisible());
        a.click("cmdSimpan");
        QCOMPARE(a.row(kamal).Group, "HQ");
        QCOMPARE(a.row(kamal).Tadbir, "Headquarters");
    }
};

QTEST_MAIN(UserAccountsTest)
#include "UserAccountsTest.moc"
