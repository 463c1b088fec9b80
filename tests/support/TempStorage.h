#pragma once

#include <QFile>
#include <QTemporaryDir>

#include "storage/StorageManager.h"

namespace larkspur::test {

// A storage manager writing into a folder that disappears with the test.
struct TempStorage {
    QTemporaryDir dir;
    StorageManager storage{dir.path() + QStringLiteral("/Larkspurhollow")};

    QString path(const QString& name) const { return storage.pathFor(name); }
    QByteArray read(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void write(const QString& name, const QByteArray& bytes) const {
        QFile f(path(name));
        if (f.open(QIODevice::WriteOnly)) f.write(bytes);
    }
};

}  // namespace larkspur::test
