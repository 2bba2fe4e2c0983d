#include "core/BackgroundWork.h"

#include "WindowSystemInput.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

using namespace tarvo;

namespace {

// A question the program opens from a timer, answered only by a click made 300 ms after it appeared.
// A question that takes no input is given up after three seconds (hidden, which closes no window).
class TimedQuestion
{
public:
    void openIn(int ms)
    {
        QTimer::singleShot(ms, [this] {
            QMessageBox box(QMessageBox::Question, QStringLiteral("Tarvo"), QStringLiteral("Go on?"),
                            QMessageBox::Ok | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Ok);
            QTimer::singleShot(300, &box, [&box] { test::queueClick(box.button(QMessageBox::Cancel)); });
            QTimer::singleShot(3000, &box, [&box] { box.hide(); });
            box.exec();
            if (box.clickedButton())
                m_answer = box.standardButton(box.clickedButton());
            m_asked = true;
        });
    }
    bool asked() const { return m_asked; }
    QMessageBox::StandardButton answer() const { return m_answer; }

private:
    bool m_asked = false;
    QMessageBox::StandardButton m_answer = QMessageBox::NoButton;
};

} // namespace

class BackgroundWorkTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // While input is dropped (as work runs, and as it ends) the program goes on: a question that a
    // timer opens takes the click made after it appeared, and a window that a timer closes closes. The
    // keys and the close request the user made meanwhile still reach nothing: not the field, not the
    // question (the keyboard's focus follows it at once, as on X11), not the window.
    void theProgramGoesOnWhileInputIsDropped_data()
    {
        QTest::addColumn<bool>("asTheWorkEnds");
        QTest::newRow("while the work runs") << false;
        QTest::newRow("as the work ends") << true;
    }
    void theProgramGoesOnWhileInputIsDropped()
    {
        QFETCH(bool, asTheWorkEnds);
        QWidget main;
        auto* field = new QLineEdit(&main);
        (new QVBoxLayout(&main))->addWidget(field);
        QWidget other;
        other.show();
        main.show();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        field->setFocus();
        const test::FocusFollowsShownWindows focus;

        TimedQuestion question;
        if (asTheWorkEnds) {
            QTimer::singleShot(0, &other, [&other] { other.close(); });
            question.openIn(0);
            dropPendingInput();
        } else {
            QTimer::singleShot(50, [&main] {
                test::queueKeys(QStringLiteral(" 1 "));
                test::queueCloseRequest(&main);
            });
            QTimer::singleShot(100, &other, [&other] { other.close(); });
            question.openIn(150);
            runInBackground([] { QThread::msleep(600); });
        }
        QTRY_VERIFY(question.asked());

        QCOMPARE(question.answer(), QMessageBox::Cancel);
        QVERIFY(!other.isVisible());
        QVERIFY(main.isVisible());
        QCOMPARE(field->text(), QString());
    }
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    BackgroundWorkTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "BackgroundWorkTest.moc"
