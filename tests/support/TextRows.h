#pragma once

#include <QStringList>
#include <QTest>
#include <initializer_list>

namespace larkspur::test {

// Table rows written as one text each, fields separated by " | "; the text also names the row.
inline void addTextRows(std::initializer_list<const char*> rows) {
    QTest::addColumn<QString>("row");
    for (const char* row : rows) QTest::newRow(row) << QString(row);
}

// The fields of the current row.
inline QStringList textRowFields() {
    QFETCH(QString, row);
    return row.split(QStringLiteral(" | "));
}

}  // namespace larkspur::test
