#include "FakeMainWindow.h"
#include "LoopbackSmtpServer.h"
#include "TestProgram.h"

#include "accounts/SignedInAccount.h"
#include "accounts/SmtpClient.h"
#include "accounts/UserStore.h"
#include "accounts/frmUser.h"
#include "core/Sql.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace tarvo;

namespace {

// The user-accounts window of a test program folder, opened by the signed-in administrator "admin".
struct Accounts
{
    test::TestProgram program;
    test::FakeMainWindow mainWindow;
    SignedInAccount signedIn;
    UserStore store{program.database};
    int smtpSetupOpened = 0;
    std::unique_ptr<frmUser> window;

    explicit Accounts(const QString& smtpServer = QStringLiteral("127.0.0.1"))
    {
        program.context.WriteINI(QStringLiteral("Network"), QStringLiteral("SMTP"), smtpServer);
        program.signInAs(QStringLiteral("admin"), QStringLiteral("Administrator"), QStringLiteral("Sistem"));
        signedIn.rowId = rowOf(QStringLiteral("admin"));
    }

    qint64 rowOf(const QString& userId) const
    {
        return querySingleValue(program.database.handle(),
                                QStringLiteral("SELECT rowid FROM UserID WHERE UserID = ? ORDER BY rowid"),
                                {userId})
            ->toLongLong();
    }
    qint64 addAccount(const QString& name, const QString& userId, const QString& group,
                      const QString& email = {}, const QString& area = {})
    {
        qint64 row = 0;
        const AccountFields fields{
            name,  userId, QStringLiteral("pw"),
            email, group,  area.isEmpty() ? std::nullopt : std::optional<QString>(area)};
        if (!store.add(fields, &row) || row == 0)
            qFatal("cannot add a test account");
        return row;
    }
    UserAccount row(qint64 rowId) const { return **store.byRowId(rowId); }
    int accountCount() const
    {
        return querySingleValue(program.database.handle(), QStringLiteral("SELECT count(*) FROM UserID"))
            ->toInt();
    }

    void open()
    {
        window = std::make_unique<frmUser>(program.context, mainWindow, signedIn,
                                           [this](QWidget*) { ++smtpSetupOpened; });
        window->show();
        QApplication::setActiveWindow(window.get());
    }

    template <class T>
    T* child(const char* name) const
    {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    void click(const char* name)
    {
        QAbstractButton* button = child<QAbstractButton>(name);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
    }
    void type(const char* name, const QString& text)
    {
        QLineEdit* box = child<QLineEdit>(name);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }
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
        for (int i = 0; i < list->count(); ++i) {
            if (list->item(i)->text() == name && occurrence-- == 0) {
                const QRect rect = list->visualItemRect(list->item(i));
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
                return;
            }
        }
        qFatal("no list entry %s", qPrintable(name));
    }
    bool editing() const { return child<QGroupBox>("frameSimpan")->isVisible(); }
};

} // namespace

class UserAccountsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { qputenv("TARVO_LOOPBACK_ONLY", "1"); }

    void opensInBrowseState()
    {
        Accounts a;
        a.addAccount(QStringLiteral("Zaki"), QStringLiteral("zaki"), QStringLiteral("HQ"));
        a.addAccount(QStringLiteral("Ali"), QStringLiteral("ali"), QStringLiteral("HQ"));
        a.open();
        QCOMPARE(a.listed(), (QStringList{"Administrator", "Ali", "Zaki"}));
        QVERIFY(!a.editing());
        QVERIFY(!a.child<QPushButton>("cmdKemaskini")->isEnabled());
        QVERIFY(!a.child<QPushButton>("cmdHapus")->isEnabled());
        QVERIFY(!a.child<QLineEdit>("txtNama")->isEnabled());
        QCOMPARE(a.smtpSetupOpened, 0);

        a.pick(QStringLiteral("Administrator"));
        QCOMPARE(a.child<QLineEdit>("txtUserID")->text(), QStringLiteral("admin"));
        QCOMPARE(a.child<QLineEdit>("txtPassword")->text(), QStringLiteral("admin"));
        QVERIFY(a.child<QRadioButton>("optKumpulan1")->isChecked());
        QVERIFY(a.child<QPushButton>("cmdHapus")->isEnabled());
    }

    void asksForTheMailServerWhenNoneIsSet()
    {
        Accounts a{QString()};
        a.open();
        QCOMPARE(a.smtpSetupOpened, 1);
    }

    void addsAnAccountWithoutMail()
    {
        Accounts a{QString()}; // no server: no mail even with an address
        a.open();
        a.click("cmdTambah");
        QVERIFY(a.editing());
        QVERIFY(!a.child<QListWidget>("lstUserName")->isEnabled());
        a.type("txtNama", QStringLiteral("Siti"));
        a.type("txtUserID", QStringLiteral("siti"));
        a.type("txtPassword", QStringLiteral("s3cret"));
        a.type("txtEmail", QStringLiteral("siti@example.org"));
        // No group chosen; Enter on the focused Save button presses it.
        QVERIFY(QTest::qWaitForWindowActive(a.window.get()));
        a.child<QPushButton>("cmdSimpan")->setFocus();
        QTest::keyClick(a.child<QPushButton>("cmdSimpan"), Qt::Key_Return);
        QCOMPARE(a.program.messenger.texts(), QStringList{"Save record to Tarvo database ?"});
        QCOMPARE(a.program.messenger.last().title, QStringLiteral("Save record"));
        QVERIFY(!a.editing());
        QCOMPARE(a.listed(), (QStringList{"Administrator", "Siti"}));
        const UserAccount stored = a.row(a.rowOf(QStringLiteral("siti")));
        QCOMPARE(stored.Password, QStringLiteral("s3cret"));
        QCOMPARE(stored.Email, QStringLiteral("siti@example.org"));
        QVERIFY(querySingleValue(a.program.database.handle(),
                                 QStringLiteral("SELECT [Group] IS NULL FROM UserID WHERE UserID = 'siti'"))
                    ->toBool());
    }

    void refusedSavesKeepTheFields_data()
    {
        QTest::addColumn<QString>("edit"); // "add" or the user ID of the row to update
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("userId");
        QTest::addColumn<QString>("message"); // empty: saved
        QTest::newRow("new ID exists in other case") << "add"
                                                     << "Another"
                                                     << "ADMIN"
                                                     << "User ID already exist !";
        QTest::newRow("changed ID clashes with another row") << "ali"
                                                             << "Ali"
                                                             << "Admin"
                                                             << "User ID already exist !";
        QTest::newRow("own ID kept") << "ali"
                                     << "Ali Baba"
                                     << "ali"
                                     << "";
        QTest::newRow("own ID in other case") << "ali"
                                              << "Ali"
                                              << "ALI"
                                              << "";
        QTest::newRow("empty name") << "add"
                                    << ""
                                    << "x"
                                    << "Please enter User Name !";
        QTest::newRow("seven characters are stored") << "add"
                                                     << "Long"
                                                     << "abcdefg"
                                                     << "";
    }
    void refusedSavesKeepTheFields()
    {
        QFETCH(QString, edit);
        QFETCH(QString, name);
        QFETCH(QString, userId);
        QFETCH(QString, message);
        Accounts a;
        a.addAccount(QStringLiteral("Ali"), QStringLiteral("ali"), QStringLiteral("HQ"));
        a.open();
        const int before = a.accountCount();
        if (edit == QLatin1String("add")) {
            a.click("cmdTambah");
        } else {
            a.pick(a.row(a.rowOf(edit)).Name);
            a.click("cmdKemaskini");
        }
        a.type("txtNama", name);
        a.type("txtUserID", userId);
        a.program.messenger.clear();
        a.click("cmdSimpan");
        if (message.isEmpty()) {
            QCOMPARE(a.program.messenger.texts(), QStringList{"Save record to Tarvo database ?"});
            QVERIFY(!a.editing());
            QCOMPARE(a.row(a.rowOf(userId)).Name, name);
        } else {
            QCOMPARE(a.program.messenger.texts(), QStringList{message});
            QCOMPARE(a.program.messenger.last().icon, MessageIcon::Exclamation);
            QVERIFY(a.editing());
            QCOMPARE(a.child<QLineEdit>("txtUserID")->text(), userId);
            QCOMPARE(a.child<QLineEdit>("txtNama")->text(), name);
            QCOMPARE(a.accountCount(), before);
            if (edit != QLatin1String("add"))
                QCOMPARE(a.row(a.rowOf(edit)).UserID, edit);
        }
    }

    void unchangedIdSharedWithAnOlderRowIsKept()
    {
        // Older databases may hold one user ID twice; such an account can still be edited.
        Accounts a;
        const qint64 first = a.addAccount(QStringLiteral("Ali"), QStringLiteral("ali"), QStringLiteral("HQ"));
        QVERIFY(execSql(a.program.database.handle(),
                        QStringLiteral("INSERT INTO UserID (Name, UserID, Password, [Group]) "
                                       "VALUES ('Ali Two', 'ali', 'pw', 'HQ')")));
        a.open();
        a.pick(QStringLiteral("Ali Two"));
        a.click("cmdKemaskini");
        a.type("txtPassword", QStringLiteral("changed"));
        a.click("cmdSimpan");
        QCOMPARE(a.program.messenger.texts(), QStringList{"Save record to Tarvo database ?"});
        QVERIFY(!a.editing());
        QCOMPARE(a.row(first).Password, QStringLiteral("pw"));
        QCOMPARE(querySingleValue(a.program.database.handle(),
                                  QStringLiteral("SELECT Password FROM UserID WHERE Name = 'Ali Two'"))
                     ->toString(),
                 QStringLiteral("changed"));
    }

    void cancelledSaveWritesNothing()
    {
        Accounts a;
        a.open();
        a.pick(QStringLiteral("Administrator"));
        a.click("cmdKemaskini");
        a.type("txtNama", QStringLiteral("Renamed"));
        a.program.messenger.answer(MessageAnswer::Cancel);
        a.click("cmdSimpan");
        QVERIFY(a.editing());
        a.click("cmdBatal");
        QVERIFY(!a.editing());
        QCOMPARE(a.child<QLineEdit>("txtNama")->text(), QStringLiteral("Administrator"));
        QVERIFY(!a.child<QLineEdit>("txtNama")->isEnabled());
        QCOMPARE(a.row(a.signedIn.rowId).Name, QStringLiteral("Administrator"));
    }

    void deleteRules_data()
    {
        QTest::addColumn<QString>("signedInAs"); // user ID of the signed-in user
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("secondAdministrator");
        QTest::addColumn<QString>("message"); // the refusal, or empty when deleted
        QTest::newRow("own row") << "admin"
                                 << "Administrator" << true << "You cannot delete your own record !";
        QTest::newRow("last system administrator")
            << "hq1"
            << "Administrator" << false
            << "This user is the only System Administrator. You cannot delete this record !";
        QTest::newRow("one of two system administrators") << "hq1"
                                                          << "Administrator" << true << "";
        QTest::newRow("an area administrator") << "admin"
                                               << "Hasan" << false << "";
    }
    void deleteRules()
    {
        QFETCH(QString, signedInAs);
        QFETCH(QString, target);
        QFETCH(bool, secondAdministrator);
        QFETCH(QString, message);
        Accounts a;
        const qint64 hq = a.addAccount(QStringLiteral("Hasan"), QStringLiteral("hq1"), QStringLiteral("HQ"));
        if (secondAdministrator)
            a.addAccount(QStringLiteral("Second"), QStringLiteral("adm2"), QStringLiteral("Sistem"));
        if (signedInAs == QLatin1String("hq1")) {
            a.program.signInAs(QStringLiteral("hq1"), QStringLiteral("Hasan"), QStringLiteral("HQ"));
            a.signedIn.rowId = hq;
        }
        a.open();
        const int before = a.accountCount();
        a.pick(target);
        a.click("cmdHapus");
        if (message.isEmpty()) {
            QCOMPARE(a.program.messenger.texts(), QStringList{"Delete record from Tarvo database ?"});
            QCOMPARE(a.program.messenger.last().title, QStringLiteral("Delete record"));
            QCOMPARE(a.accountCount(), before - 1);
            QVERIFY(!a.listed().contains(target));
        } else {
            QCOMPARE(a.program.messenger.texts(), QStringList{message});
            QCOMPARE(a.program.messenger.last().title, QStringLiteral("Error !!!"));
            QCOMPARE(a.accountCount(), before);
        }
    }

    void ownRowIsKnownAfterARename()
    {
        Accounts a;
        a.addAccount(QStringLiteral("Second"), QStringLiteral("adm2"), QStringLiteral("Sistem"));
        a.open();
        a.pick(QStringLiteral("Administrator"));
        a.click("cmdKemaskini");
        a.type("txtNama", QStringLiteral("Boss"));
        a.click("cmdSimpan");
        QCOMPARE(a.mainWindow.caption, QStringLiteral("Tarvo - [User : Boss]"));
        a.program.messenger.clear();
        a.pick(QStringLiteral("Boss"));
        a.click("cmdHapus");
        QCOMPARE(a.program.messenger.texts(), QStringList{"You cannot delete your own record !"});
        QCOMPARE(a.accountCount(), 2);
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
            a.addAccount(QStringLiteral("Second"), QStringLiteral("adm2"), QStringLiteral("Sistem"));
        a.open();
        a.pick(QStringLiteral("Administrator"));
        a.click("cmdKemaskini");
        a.type("txtNama", QStringLiteral("Admin Two"));
        a.click(option.toLatin1().constData());
        if (option == QLatin1String("optKumpulan3"))
            a.child<QComboBox>("cboRegion")->setCurrentText(QStringLiteral("Headquarters"));
        a.click("cmdSimpan");

        const UserAccount stored = a.row(a.signedIn.rowId);
        if (!secondAdministrator) {
            QCOMPARE(
                a.program.messenger.last().text,
                QStringLiteral(
                    "This user is the only System Administrator. You cannot change this user's group !"));
            QCOMPARE(stored.Group, QStringLiteral("Sistem"));
            QCOMPARE(stored.Name, QStringLiteral("Administrator"));
            QVERIFY(a.window->isVisible());
            QVERIFY(a.editing());
            return;
        }
        QCOMPARE(stored.Name, QStringLiteral("Admin Two"));
        QCOMPARE(a.mainWindow.caption, QStringLiteral("Tarvo - [User : Admin Two]"));
        QCOMPARE(a.mainWindow.userAccounts, !demoted);
        QCOMPARE(a.window->isVisible(), !demoted);
        // The session follows the own account at once: name, group and, for an area administrator, area.
        QCOMPARE(a.program.session.LoginName, QStringLiteral("Admin Two"));
        QCOMPARE(a.program.session.LoginGroup, stored.Group);
        QCOMPARE(a.program.session.LoginRegion,
                 option == QLatin1String("optKumpulan3") ? QStringLiteral("Headquarters") : QString());
    }

    void onlyTheOwnRowMovesTheSession_data()
    {
        QTest::addColumn<QString>("otherName");
        QTest::addColumn<bool>("staleRowNumber"); // the signed-in row's number now names the other row
        QTest::newRow("another account of the same name") << "Administrator" << false;
        QTest::newRow("own row number from another database") << "Kamal" << true;
    }
    void onlyTheOwnRowMovesTheSession()
    {
        QFETCH(QString, otherName);
        QFETCH(bool, staleRowNumber);
        Accounts a;
        const qint64 other = a.addAccount(otherName, QStringLiteral("kamal"), QStringLiteral("Kawasan"), {},
                                          QStringLiteral("Headquarters"));
        if (staleRowNumber)
            a.signedIn.rowId = other;
        a.open();
        for (int occurrence = 0;; ++occurrence) {
            a.pick(otherName, occurrence);
            if (a.child<QLineEdit>("txtUserID")->text() == QLatin1String("kamal"))
                break;
        }
        a.click("cmdKemaskini");
        a.type("txtPassword", QStringLiteral("changed"));
        a.click("optKumpulan3"); // brings up the area list, on his area
        a.click("cmdSimpan");
        QCOMPARE(a.row(other).Password, QStringLiteral("changed"));
        // The administrator is still himself, with his menu and window.
        QCOMPARE(a.program.session.LoginUserID, QStringLiteral("admin"));
        QCOMPARE(a.program.session.LoginGroup, QStringLiteral("Sistem"));
        QCOMPARE(a.program.session.LoginRegion, QString());
        QVERIFY(a.mainWindow.caption.isEmpty());
        QVERIFY(a.mainWindow.userAccounts);
        QVERIFY(a.window->isVisible());
    }

    void duplicateNamesTouchOnlyTheShownRow()
    {
        Accounts a;
        const qint64 first =
            a.addAccount(QStringLiteral("Ali"), QStringLiteral("ali1"), QStringLiteral("HQ"));
        const qint64 second =
            a.addAccount(QStringLiteral("Ali"), QStringLiteral("ali2"), QStringLiteral("HQ"));
        a.open();
        a.pick(QStringLiteral("Ali"), 1);
        const QString shownId = a.child<QLineEdit>("txtUserID")->text();
        const qint64 shown = shownId == QLatin1String("ali1") ? first : second;
        const qint64 other = shown == first ? second : first;
        a.click("cmdKemaskini");
        a.type("txtPassword", QStringLiteral("changed"));
        a.click("cmdSimpan");
        QCOMPARE(a.row(shown).Password, QStringLiteral("changed"));
        QCOMPARE(a.row(other).Password, QStringLiteral("pw"));

        a.pick(QStringLiteral("Ali"), 1);
        QCOMPARE(a.child<QLineEdit>("txtUserID")->text(), shownId);
        a.click("cmdHapus");
        QVERIFY(!a.store.byRowId(shown)->has_value());
        QVERIFY(a.store.byRowId(other)->has_value());
    }

    void failedReadLeavesNoRowToActOn()
    {
        Accounts a;
        const qint64 ali = a.addAccount(QStringLiteral("Ali"), QStringLiteral("ali"), QStringLiteral("HQ"));
        a.open();
        a.pick(QStringLiteral("Ali"));
        a.program.database.close();
        a.pick(QStringLiteral("Administrator"));
        QCOMPARE(a.program.messenger.count(), 1);
        QCOMPARE(a.program.messenger.last().icon, MessageIcon::Critical);
        // Nothing is shown, so neither button may act on the row shown before.
        QVERIFY(!a.child<QPushButton>("cmdKemaskini")->isEnabled());
        QVERIFY(!a.child<QPushButton>("cmdHapus")->isEnabled());
        QVERIFY(a.program.openDatabase());
        a.click("cmdHapus");
        QVERIFY(a.store.byRowId(ali)->has_value());
    }

    void areaAdministrators()
    {
        Accounts a;
        a.open();
        a.click("cmdTambah");
        a.type("txtNama", QStringLiteral("Kamal"));
        a.type("txtUserID", QStringLiteral("kamal"));
        a.click("optKumpulan3");
        auto* areas = a.child<QComboBox>("cboRegion");
        QVERIFY(areas->isVisible());
        QCOMPARE(areas->count(), 1);
        QCOMPARE(areas->currentIndex(), -1);
        a.click("cmdSimpan");
        QCOMPARE(a.program.messenger.texts(), QStringList{"Please select user responsibility !"});
        QCOMPARE(a.accountCount(), 1);
        areas->setCurrentIndex(0);
        a.click("cmdSimpan");
        const qint64 kamal = a.rowOf(QStringLiteral("kamal"));
        QCOMPARE(a.row(kamal).Group, QStringLiteral("Kawasan"));
        QCOMPARE(a.row(kamal).Tadbir, QStringLiteral("Headquarters"));

        a.pick(QStringLiteral("Kamal"));
        QCOMPARE(a.child<QRadioButton>("optKumpulan3")->text(),
                 QStringLiteral("Administrator For Area  Headquarters"));
        a.click("cmdKemaskini");
        QCOMPARE(a.child<QRadioButton>("optKumpulan3")->toolTip(),
                 QStringLiteral("Double-Click to update ..."));
        a.click("optKumpulan2");
        QVERIFY(!areas->isVisible());
        a.click("cmdSimpan");
        QCOMPARE(a.row(kamal).Group, QStringLiteral("HQ"));
        QCOMPARE(a.row(kamal).Tadbir, QStringLiteral("Headquarters")); // kept
    }

    void areaOfAnotherAccountIsNeverCarriedOver()
    {
        Accounts a;
        QVERIFY(execSql(a.program.database.handle(),
                        QStringLiteral("INSERT INTO Region (Region, AssignIP, Segment_ip, Abbr_segment) "
                                       "VALUES ('North', 11, 1, 'NR')")));
        const qint64 north = a.addAccount(QStringLiteral("Nora"), QStringLiteral("nora"),
                                          QStringLiteral("Kawasan"), {}, QStringLiteral("North"));
        const qint64 hq = a.addAccount(QStringLiteral("Hadi"), QStringLiteral("hadi"),
                                       QStringLiteral("Kawasan"), {}, QStringLiteral("Headquarters"));
        a.open();
        // The area list is brought up for one account, then that edit is cancelled.
        a.pick(QStringLiteral("Nora"));
        a.click("cmdKemaskini");
        a.click("optKumpulan3");
        QCOMPARE(a.child<QComboBox>("cboRegion")->currentText(), QStringLiteral("North"));
        a.click("cmdBatal");

        // Another area administrator is renamed without touching his area.
        a.pick(QStringLiteral("Hadi"));
        a.click("cmdKemaskini");
        a.type("txtNama", QStringLiteral("Hadi Rahman"));
        a.program.messenger.clear();
        a.click("cmdSimpan");
        if (a.editing()) {
            // Asked for the area, the list stands on his own.
            QCOMPARE(a.program.messenger.texts(), QStringList{"Please select user responsibility !"});
            QCOMPARE(a.child<QComboBox>("cboRegion")->currentText(), QStringLiteral("Headquarters"));
            a.click("cmdSimpan");
        }
        QCOMPARE(a.row(hq).Name, QStringLiteral("Hadi Rahman"));
        QCOMPARE(a.row(hq).Tadbir, QStringLiteral("Headquarters"));
        QCOMPARE(a.row(north).Tadbir, QStringLiteral("North"));
    }

    void areaListFitsInTheChildWindow()
    {
        // Shown as the main window shows it: a child window sized to its contents.
        Accounts a;
        QMdiArea area;
        area.resize(1000, 700);
        area.show();
        auto* window = new frmUser(a.program.context, a.mainWindow, a.signedIn, {});
        QMdiSubWindow* sub = area.addSubWindow(window);
        sub->adjustSize();
        sub->show();
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdTambah")), Qt::LeftButton);
        auto* option = window->findChild<QRadioButton*>(QStringLiteral("optKumpulan3"));
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(4, option->height() / 2));
        auto* areas = window->findChild<QComboBox*>(QStringLiteral("cboRegion"));
        QVERIFY(areas->isVisible());
        QVERIFY(areas->height() >= areas->minimumSizeHint().height());
    }

    void userIdLongerThanSixIsWarnedAbout()
    {
        Accounts a;
        a.open();
        a.click("cmdTambah");
        a.type("txtUserID", QStringLiteral("abcdefg"));
        QVERIFY(QTest::qWaitForWindowActive(a.window.get()));
        a.child<QLineEdit>("txtUserID")->setFocus();
        QTest::keyClick(a.child<QLineEdit>("txtUserID"), Qt::Key_Tab);
        QCOMPARE(a.program.messenger.texts(), QStringList{"User ID : 6 character only ... "});
        QCOMPARE(a.program.messenger.last().title, QStringLiteral("Tarvo"));
        QCOMPARE(a.program.messenger.last().icon, MessageIcon::None);
        QVERIFY(a.child<QLineEdit>("txtUserID")->hasFocus());
        QCOMPARE(a.child<QLineEdit>("txtUserID")->text(), QStringLiteral("abcdefg"));
    }

    void newAccountIsMailed_data()
    {
        QTest::addColumn<QByteArray>("rcptReply");
        QTest::addColumn<QString>("error");
        QTest::newRow("accepted") << QByteArray("250 OK\r\n") << QString();
        QTest::newRow("refused") << QByteArray("550 No such user\r\n")
                                 << QStringLiteral(
                                        "ERROR : 550. The mail server answered \"550 No such user\".");
    }
    void newAccountIsMailed()
    {
        QFETCH(QByteArray, rcptReply);
        QFETCH(QString, error);
        test::LoopbackSmtpServer server;
        QVERIFY(server.start());
        server.setReply("RCPT", rcptReply);
        Accounts a;
        a.program.context.WriteINI(QStringLiteral("Network"), QStringLiteral("Port"),
                                   QString::number(server.port()));
        a.open();
        a.click("cmdTambah");
        a.type("txtNama", QStringLiteral("Siti"));
        a.type("txtUserID", QStringLiteral("siti"));
        a.type("txtPassword", QStringLiteral("pa55"));
        a.type("txtEmail", QStringLiteral("siti@example.org"));
        a.click("optKumpulan2");
        a.click("cmdSimpan");
        // Stored before the mail goes out; the window waits for the mail with its buttons locked.
        QVERIFY(a.rowOf(QStringLiteral("siti")) > 0);
        QVERIFY(!a.child<QPushButton>("cmdSimpan")->isEnabled());
        QVERIFY(!a.child<QPushButton>("cmdTutup1")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!a.editing(), 20000);
        QVERIFY(a.child<QPushButton>("cmdSimpan")->isEnabled());
        QVERIFY(a.rowOf(QStringLiteral("siti")) > 0);
        if (error.isEmpty()) {
            QCOMPARE(a.program.messenger.count(), 1); // the save question only
            QCOMPARE(server.mails().size(), 1);
            QCOMPARE(server.mails().first(),
                     QByteArray("FROM: Tarvo Administrator <Tarvo>\r\n"
                                "TO: Siti <siti@example.org>\r\n"
                                "SUBJECT: Tarvo : Your User ID and Password\r\n"
                                "\r\n"
                                "Siti,\r\n"
                                "\r\n"
                                "Bellow is your Tarvo User ID and Password : \r\n"
                                "\r\n"
                                "\tUser ID \t: siti\r\n"
                                "\tPassword\t: pa55\r\n"
                                "\r\n"
                                "If you have any problem, please don't hesitate to call "
                                "Administrator.\r\n"
                                "\r\n"
                                "TQ\r\n"
                                "Tarvo system Administrator\r\n"
                                "\r\n")); // the empty line before the final "."
        } else {
            QCOMPARE(a.program.messenger.last().text, error);
            QCOMPARE(a.program.messenger.last().title, QStringLiteral("Ralat !!!"));
            QCOMPARE(a.program.messenger.last().icon, MessageIcon::Critical);
            QVERIFY(server.mails().isEmpty());
            QVERIFY(a.window->isVisible());
        }
    }
};

QTEST_MAIN(UserAccountsTest)
#include "UserAccountsTest.moc"
