#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>

#include "storage/StorageManager.h"
#include "support/ManualTime.h"

// What every target shares: Qt set up once, the decode a load performs without the file, and a
// fault that libFuzzer keeps with its input.
namespace larkspur::fuzz {

inline void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "fuzz fault: %s\n", what);
    std::abort();
}

// Log lines would drown libFuzzer's own output and slow every run down.
inline int setUp() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    check(std::freopen("/dev/null", "w", stdout) != nullptr, "stdout cannot be silenced");
    // The folders of runs that are gone: libFuzzer leaves by _Exit, without cleaning up.
    const QDir shm(QStringLiteral("/dev/shm"));
    for (const QString& folder : shm.entryList({QStringLiteral("larkspur-fuzz-*")}, QDir::Dirs)) {
        if (!QFileInfo::exists(QStringLiteral("/proc/") + folder.section(u'-', 2)))
            QDir(shm.filePath(folder)).removeRecursively();
    }
    return 0;
}

// The steps of StorageManager::loadJson after the read: nothing when it would refuse the text.
template <class Decode>
auto decodeText(const QByteArray& text, Decode decode)
    -> std::optional<decltype(decode(QJsonValue()))> {
    if (json::estimatedTreeBytes(text) > text.size() + (qint64(64) << 20)) return std::nullopt;
    try {
        return decode(json::parse(text));
    } catch (const json::JsonError&) {
        return std::nullopt;
    }
}

// Qt's reader drops U+FEFF at the start of a string without escapes, taking it for a byte-order
// mark, so a text that holds one cannot be expected to read back the same.
inline bool holdsByteOrderMark(const QByteArray& text) {
    return text.contains("\xEF\xBB\xBF");
}

// What a save writes must read back as what was saved: read and saved again, the same text.
template <class T, class Encode, class Decode>
void checkSaveReadsBack(const T& value, Encode encode, Decode decode) {
    const QByteArray saved = json::serialize(encode(value));
    if (holdsByteOrderMark(saved)) return;
    const auto again = decodeText(saved, decode);
    check(again.has_value(), "a saved value is refused when read back");
    check(json::serialize(encode(*again)) == saved, "a saved value reads back as another");
}

template <class T>
void checkSaveReadsBack(const T& value) {
    checkSaveReadsBack(value, JsonCodecFor<T>::encode, JsonCodecFor<T>::decode);
}

// The test clock, except that every wait moves time on. A timer a hair short of its end arms a
// wait for that hair; where the hair is below one step of the double that holds the time, the
// test clock would stand still and run the same wait for ever, while real clocks move on.
class Time final : public Clock, public Scheduler {
public:
    double now() const override { return time_.now(); }
    TaskHandle after(double delay, Task task) override {
        const double step = std::nextafter(now(), std::numeric_limits<double>::infinity()) - now();
        return time_.after(std::max(delay, step), std::move(task));
    }
    TaskHandle every(double period, Task task) override {
        return time_.every(period, std::move(task));
    }
    void advance(double seconds) { time_.advance(seconds); }

private:
    // Both clocks from 0, so that the wall clock's steps are no coarser than the monotonic one's.
    test::ManualTime time_{0.0};
};

// A data folder of its own in memory, emptied before each input, for APIs that take files only.
struct ShmFolder {
    QString path =
        QStringLiteral("/dev/shm/larkspur-fuzz-%1").arg(QCoreApplication::applicationPid());
    void reset(const QString& file, const QByteArray& content) const {
        QDir(path).removeRecursively();
        QDir().mkpath(path);
        QFile f(path + QLatin1Char('/') + file);
        check(f.open(QIODevice::WriteOnly) && f.write(content) == content.size(),
              "cannot write the input file");
    }
    QByteArray read(const QString& file) const {
        QFile f(path + QLatin1Char('/') + file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

}  // namespace larkspur::fuzz

// Each target defines this; the entry points libFuzzer calls are the same for all.
void fuzzOne(const QByteArray& input);

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return larkspur::fuzz::setUp();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzOne(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    // Objects released with deleteLater() go now, there being no event loop: memory that grows
    // from input to input makes libFuzzer look for leaks after every one.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
