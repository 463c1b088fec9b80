#pragma once

#include <unistd.h>

#include <QFile>
#include <QString>
#include <QTemporaryFile>
#include <cstdio>

namespace larkspur::test {

// Redirects standard output into a file for the life of the object, to read the program's lines.
class StdoutCapture {
public:
    StdoutCapture() {
        std::fflush(stdout);
        file_.open();
        saved_ = dup(STDOUT_FILENO);
        dup2(file_.handle(), STDOUT_FILENO);
    }
    ~StdoutCapture() { restore(); }
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;

    QString text() {
        std::fflush(stdout);
        QFile f(file_.fileName());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

private:
    void restore() {
        if (saved_ < 0) return;
        std::fflush(stdout);
        dup2(saved_, STDOUT_FILENO);
        close(saved_);
        saved_ = -1;
    }
    QTemporaryFile file_;
    int saved_ = -1;
};

}  // namespace larkspur::test
