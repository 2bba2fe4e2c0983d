#pragma once

#include "assign/AssignmentState.h"
#include "assign/ScanController.h"

#include <QList>
#include <QStringList>

#include <deque>
#include <functional>

namespace tarvo::test {

// A scan view that records what the walk shows and asks, answers the questions from a script (Yes
// when it runs out) and the scan-range dialog with a set start point.
struct RecordingScanView final : ScanView
{
    void showScreen(ScanScreen shown) override { screen = shown; }
    void showAddress(const QString&) override {}
    void showNote(const QString& text) override { notes << text; }
    void beep() override {}
    MessageAnswer ask(const Message& message) override
    {
        messages << message.text;
        if (message.buttons == MessageButtons::Ok)
            return MessageAnswer::Ok;
        askedAt << members.ScanPosition;
        if (answers.empty())
            return MessageAnswer::Yes;
        const MessageAnswer next = answers.front();
        answers.pop_front();
        return next;
    }
    std::optional<int> chooseStartPoint(const Octet4Range&) override { return startPoint; }
    void deviceAnswered(int IPOctet4) override
    {
        answered << IPOctet4;
        if (onAnswered)
            onAnswered(IPOctet4);
    }

    // The walk is over: its message was shown and the window is back to idle (or a device answered).
    bool settled(qsizetype answeredBefore = 0) const
    {
        return screen == ScanScreen::Idle || answered.size() > answeredBefore;
    }

    ScanMembers members;
    ScanScreen screen = ScanScreen::Idle;
    QStringList notes;
    QStringList messages;
    QList<int> askedAt; // ScanPosition when each question came
    std::deque<MessageAnswer> answers;
    std::optional<int> startPoint;
    QList<int> answered;
    std::function<void(int)> onAnswered;
};

} // namespace tarvo::test
