#pragma once

#include <QList>
#include <QTest>

#include <initializer_list>

namespace tarvo::test {

// A data table whose rows are the cases of one test, each named by its member "name"; the test reads
// its case with QFETCH(Type, row).
template <class Case>
void cases(std::initializer_list<Case> all)
{
    QTest::addColumn<Case>("row");
    for (const Case& one : all)
        QTest::newRow(one.name) << one;
}

// The fourth octets first to last, but for one.
inline QList<int> span(int first, int last, int except = -1)
{
    QList<int> octets;
    for (int octet = first; octet <= last; ++octet) {
        if (octet != except)
            octets << octet;
    }
    return octets;
}

} // namespace tarvo::test
