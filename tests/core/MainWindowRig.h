#pragma once

#include "CoreTestHelpers.h"
#include "TestProgram.h"

#include "core/MDIFrmUtama.h"

#include <QFile>
#include <QTest>

#include <memory>

namespace tarvo::test {

// A program with every window registered, a sign-in that signs in an administrator of the given
// group, and its main window started.
struct MainRig
{
    explicit MainRig(const QString& group = GroupSistem, bool withSignIn = true, bool registerAll = true)
        : signIn(p.session)
    {
        // A recorded database folder: no first-run offer unless a test asks for it.
        p.context.WriteINI(QStringLiteral("Database"), QStringLiteral("DatabaseLocation"), p.folder());
        if (registerAll)
            windows.registerAll();
        if (!group.isEmpty())
            signIn.script.push_back({QStringLiteral("admin"), group});
        window = std::make_unique<MDIFrmUtama>(p.context, windows.registry, withSignIn ? &signIn : nullptr);
    }

    bool start() { return window->start(); }
    QAction* action(const QString& name) const { return window->findChild<QAction*>(name); }
    void addProgram(const QString& name) const
    {
        QFile file(p.path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
        file.close();
        QVERIFY(file.setPermissions(file.permissions() | QFileDevice::ExeOwner));
    }

    // What a command did, with the temporary program folder written as "<program>".
    QStringList observed() const
    {
        QStringList seen = windows.log;
        for (const QString& opened : p.shell.opened)
            seen << QStringLiteral("open:") + opened;
        for (const auto& started : p.shell.started)
            seen << QStringLiteral("start:") + started.program;
        for (const Message& message : p.messenger.shown())
            seen << QStringLiteral("message:") + message.title + QLatin1Char('|') + message.text;
        for (const OpenFileRequest& request : p.fileDialogs.fileRequests)
            seen << QStringLiteral("file dialog:") + request.title;
        if (p.exit.ended)
            seen << QStringLiteral("ended");
        seen.replaceInStrings(p.folder(), QStringLiteral("<program>"));
        return seen;
    }

    TestProgram p;
    RecordingRegistry windows;
    FakeSignIn signIn;
    std::unique_ptr<MDIFrmUtama> window;
};

} // namespace tarvo::test
