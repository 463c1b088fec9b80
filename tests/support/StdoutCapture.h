#pragma once

#include <unistd.h>

#include <QFile>
#include <QTemporaryFile>
#include <cstdio>

namespace larkspur::test {

// Redirects standard output into a file for the life of the object, to read the program's lines.
class StdoutCapture {
public:
    StdoutCapture() {
        std::fflush(stdout);
        file_.open();
        dup2(file_.handle(), STDOUT_FILENO);
    }
    ~StdoutCapture() {
        std::fflush(stdout);
        dup2(saved_, STDOUT_FILENO);
        close(saved_);
    }

    QString text() {
        std::fflush(stdout);
        QFile f(file_.fileName());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

private:
    int saved_ = dup(STDOUT_FILENO);
    QTemporaryFile file_;
};

}  // namespace larkspur::test
