#include "MainWindowRig.h"

#include "core/BuildInfo.h"
#include "core/LinkLabel.h"
#include "core/Version.h"
#include "core/frmAbout.h"

#include <QLabel>
#include <QPushButton>

using namespace tarvo;
using test::TestProgram;

class AboutTest : public QObject
{
    Q_OBJECT
private:
    static QString labelText(const QWidget& dialog, const char* name)
    {
        return dialog.findChild<QLabel*>(QString::fromLatin1(name))->text();
    }

private Q_SLOTS:
    void showsTheRecordedVersion()
    {
        test::MainRig rig;
        QVERIFY(rig.start());
        frmAbout about(rig.p.context);
        QCOMPARE(about.windowTitle(), QStringLiteral("About Tarvo"));
        // The version shown is the one the main window recorded.
        QCOMPARE(labelText(about, "lblProductName"),
                 QStringLiteral("Tarvo version ") +
                     rig.p.context.ReadINI(QStringLiteral("Version"), QStringLiteral("Version")));
        QCOMPARE(labelText(about, "lblProductName"), QStringLiteral("Tarvo version ") + versionText());
        QCOMPARE(labelText(about, "Label2"), QString::fromUtf8(build::WebAddress));
        QCOMPARE(about.findChild<QPushButton*>(QStringLiteral("cmdOK"))->text(), QStringLiteral("Close"));
    }

    void linksOpenOncePerClick_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("opens");
        QTest::newRow("web page") << "Label2" << QString::fromUtf8(build::WebAddress);
        QTest::newRow("mail") << "Label5"
                              << QStringLiteral("mailto:") + QString::fromUtf8(build::MailAddress);
    }
    void linksOpenOncePerClick()
    {
        QFETCH(QString, label);
        QFETCH(QString, opens);
        TestProgram p;
        frmAbout about(p.context);
        about.show();
        auto* link = about.findChild<LinkLabel*>(label);
        QCOMPARE(link->linkColour(), LinkLabel::Blue);

        QTest::mousePress(link, Qt::LeftButton, {}, link->rect().center());
        QCOMPARE(link->linkColour(), LinkLabel::Red);
        QVERIFY(p.shell.opened.isEmpty());
        QTest::mouseRelease(link, Qt::LeftButton, {}, link->rect().center());
        QCOMPARE(link->linkColour(), LinkLabel::Blue);
        QCOMPARE(p.shell.opened, QStringList{opens});

        // Pressed, then released outside the link: back to blue, nothing opened.
        QTest::mousePress(link, Qt::LeftButton, {}, link->rect().center());
        QTest::mouseRelease(link, Qt::LeftButton, {}, link->rect().bottomRight() + QPoint(20, 20));
        QCOMPARE(link->linkColour(), LinkLabel::Blue);
        QCOMPARE(p.shell.opened.size(), 1);

        QTest::mouseClick(about.findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(AboutTest)
#include "AboutTest.moc"
