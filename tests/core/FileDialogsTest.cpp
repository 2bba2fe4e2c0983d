#include "ModalDialogs.h"

#include "core/FileDialogs.h"

#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace tarvo;
using namespace Qt::StringLiterals;

// The real save dialog: what it returns for the name the user types.
class FileDialogsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void saveDialogReturnsThePathToWrite_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("chosen"); // file name in the folder; empty: cancelled
        QTest::newRow("name without suffix") << u"by date"_s << u"by date.pdf"_s;
        QTest::newRow("name with suffix") << u"by date.pdf"_s << u"by date.pdf"_s;
        QTest::newRow("cancelled") << QString() << QString();
    }
    void saveDialogReturnsThePathToWrite()
    {
        QFETCH(QString, typed);
        QFETCH(QString, chosen);
        QTemporaryDir folder;
        test::whenModalOpens([typed](QWidget* dialog) {
            auto* fileDialog = qobject_cast<QDialog*>(dialog);
            if (typed.isEmpty()) {
                fileDialog->reject();
                return;
            }
            fileDialog->findChild<QLineEdit*>(u"fileNameEdit"_s)->setText(typed);
            fileDialog->accept();
        });
        QtFileDialogs dialogs;
        const QString path = dialogs.chooseFileToSave(
            nullptr, {u"Export PDF"_s, u"Report.pdf"_s, folder.path(), {u"PDF files (*.pdf)"_s}, u"pdf"_s});
        QCOMPARE(path, chosen.isEmpty() ? QString() : QDir(folder.path()).filePath(chosen));
    }
};

QTEST_MAIN(FileDialogsTest)
#include "FileDialogsTest.moc"
