#pragma once

#include <unistd.h>

#include <QFile>
#include <QTemporaryFile>
#include <cstdio>

namespace larkspur::test {

// Redirects standard output into a file for the life of the object, to read the program's lines.
class StdoutCapture {
public:
    StdoutCapture() { std::fflush(stdout), file_.open(), dup2(file_.handle(), 1); }
    ~StdoutCapture() { std::fflush(stdout), dup2(saved_, 1), close(saved_); }

    // Standard output shares the file's offset, which reading leaves at the end.
    QString text() { return std::fflush(stdout), file_.seek(0), QString(file_.readAll()); }

private:
    const int saved_ = dup(1);
    QTemporaryFile file_;
};

}  // namespace larkspur::test
