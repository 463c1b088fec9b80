#include <QDir>
#include <QSignalSpy>
#include <QTest>

#include "engine/SoundManager.h"
#include "support/AiffReader.h"
#include "support/FakeAudioPlayer.h"
#include "support/StdoutCapture.h"
#include "support/TempStorage.h"
#include "support/TextRows.h"

using namespace larkspur;
using namespace larkspur::test;

namespace {
const QString kA = QStringLiteral("6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7E");

// What `action` printed. Checks come after, or their failure messages would be captured too.
template <class Action>
QString printedBy(Action&& action) {
    StdoutCapture out;
    action();
    return out.text();
}

struct Sounds {
    TempStorage files;
    QTemporaryDir theme;      // stands in for the desktop's sound theme
    QTemporaryDir elsewhere;  // where imported files come from
    FakePlayers players;
    std::unique_ptr<SoundManager> manager;

    Sounds() { launch(); }
    void launch() {
        manager = std::make_unique<SoundManager>(files.storage, players.factory());
        manager->setSystemSoundFolders({theme.path()});
    }
    QString dir() const { return files.storage.directory() + QStringLiteral("/Sounds"); }
    static void write(const QString& path, const QByteArray& bytes = "sound") {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
    static QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString source(const QString& name, const QByteArray& bytes = "audio") const {
        write(elsewhere.filePath(name), bytes);
        return elsewhere.filePath(name);
    }
    QStringList folder() const {
        return QDir(dir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    }
    QStringList stored() const {
        return files.storage.load<QList<QString>>(kCustomSoundsFile).value_or(QStringList{"-"});
    }
};

// Runs `script` on a sound manager with the files of `setup` in its folder ("theme/" ones in the
// theme's) and tells what each player was asked ("file:volume%xplays", "-" stopped, "~" released),
// the sounding timer ("@A"), how often the volume and the sounding timer changed, and "on" while
// the current sound plays.
// Steps: c:name[:alert mode:volume %:timer] completes, p:name previews, m:volume, stop, of:timer,
// text:id (stopSoundOf a text), end / break (the last player ends a play / fails), refuse (the
// next player cannot open its file), inner (the theme is its "inner" folder), "?" the timer now.
QString play(const QString& setup, const QString& script) {
    Sounds s;
    for (const QString& f : setup.split(' ', Qt::SkipEmptyParts))
        Sounds::write(f.startsWith("theme/") ? s.theme.filePath(f.mid(6)) : s.dir() + '/' + f);
    QSignalSpy volumes(s.manager.get(), &SoundManager::globalVolumeChanged);
    QSignalSpy owners(s.manager.get(), &SoundManager::soundingTimerChanged);
    const QUuid a = QUuid::fromString(kA), b = QUuid::createUuid();
    auto timer = [&] {
        return s.manager->soundingTimerId() == kA ? "@A"
               : s.manager->soundingTimer() == b  ? "@B"
                                                  : "@-";
    };
    QStringList log;
    for (const QString& step : script.split(' ')) {
        const QStringList w = step.split(':');
        const QString who = w.value(w[0] == "c" ? 4 : 1);
        const QUuid owner = who == "A" ? a : who == "B" ? b : QUuid();
        if (w[0] == "c")
            s.manager->play(
                {w[1], w.value(3, "80").toFloat() / 100, AlertMode(w.value(2).toInt()), {}}, owner);
        if (w[0] == "p") s.manager->playPreview(w[1]);
        if (w[0] == "m") s.manager->setGlobalVolume(w[1].toFloat());
        if (w[0] == "stop") s.manager->stop();
        if (w[0] == "of") s.manager->stopSoundOf(owner);
        if (w[0] == "text") s.manager->stopSoundOf(w[1]);
        if (w[0] == "end") s.players.lastPlayer()->endOnePlay();
        if (w[0] == "break") s.players.lastPlayer()->breakDown();
        if (w[0] == "refuse") s.players.refuseNextOpen = true;
        if (w[0] == "inner") s.manager->setSystemSoundFolders({s.theme.filePath("inner")});
        if (w[0] == "?") log << timer();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (int i = 0; i < s.players.count(); ++i) {
        const FakePlayback& p = s.players.at(i);
        log << QStringLiteral("%1:%2x%3%4")
                   .arg(p.fileName())
                   .arg(qRound(p.volume * 100))
                   .arg(p.plays)
                   .arg(p.released  ? "~"
                        : p.playing ? ""
                                    : "-");
    }
    return (log << timer()
                << QStringLiteral("%1/%2%3")
                       .arg(volumes.count())
                       .arg(owners.count())
                       .arg(s.manager->isPlaying() ? " on" : ""))
        .join(' ');
}
}  // namespace

class TestSounds : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void playing_data() {
        // files | script | what the players were asked
        addTextRows(
            {"Alarm.aiff Alarm.m4a Alarm.wav Alarm.mp3 | c:Alarm p:Alarm | Alarm.mp3:64x1~ "
             "Alarm.mp3:80x1 @- 0/0 on",
             "Alarm.aiff Alarm.m4a Alarm.wav | c:Alarm | Alarm.wav:64x1 @- 0/0 on",
             "Alarm.aiff Alarm.m4a | c:Alarm | Alarm.m4a:64x1 @- 0/0 on",
             "Alarm.aiff | c:Alarm | Alarm.aiff:64x1 @- 0/0 on",
             "Alarm.ogg Alarm.MP3 alarm.mp3 | c:Alarm p:Alarm | @- 0/0",
             "Alarm.mp3/x Alarm.m4a | c:Alarm | Alarm.m4a:64x1 @- 0/0 on",
             "chime.wav | c:chime | chime.wav:64x1 @- 0/0 on",
             " | c:gong:1 | gong.aiff:64x3 @- 0/0 on",
             " | m:1 c:bell:2 | bell.aiff:80x-1 @- 1/0 on",
             " | m:0 c:bell:1:100 | bell.aiff:0x3 @- 1/0 on",
             " | m:0.5 c:bell:0:50 | bell.aiff:25x1 @- 1/0 on",
             " | m:1.5 c:bell:0:100 | bell.aiff:100x1 @- 1/0 on",
             " | m:-0.2 c:bell:0:100 | bell.aiff:0x1 @- 1/0 on",
             " | m:nan m:inf m:0.8 c:bell:0:100 | bell.aiff:80x1 @- 0/0 on",
             " | c:bell:0:300 | bell.aiff:80x1 @- 0/0 on",
             " | c:bell:0:-50 | bell.aiff:0x1 @- 0/0 on",
             " | c:bell:0:nan | bell.aiff:0x1 @- 0/0 on",
             " | c:bell:2:100 m:0.3 | bell.aiff:80x-1 @- 1/0 on",
             "theme/message.oga | m:0 c:message:2:50:A p:message | message.oga:100x1 @- 1/0",
             "theme/message.ogg theme/message.wav | c:message | message.ogg:100x1 @- 0/0",
             "theme/message.wav | c:message stop | message.wav:100x1 @- 0/0",
             "theme/message.wav theme/message.oga | c:message | message.oga:100x1 @- 0/0",
             "theme/bell.oga | c:message | @- 0/0",
             "theme/complete.oga message.wav | c:message:2:80:A ? break p:message break | @A "
             "message.wav:64x-1~ complete.oga:100x1 message.wav:80x1~ @- 0/2",
             "theme/complete.oga message.wav | refuse c:message:2:80:A | message.wav:-100x0~ "
             "complete.oga:100x1 @- 0/2",
             "message.wav | c:message:2:80:A break | message.wav:64x-1~ @- 0/2",
             " | c:alert:2:80:A of:A | alert.aiff:64x-1~ @- 0/2",
             " | c:alert:2:80:A of:B of:- | alert.aiff:64x-1 @A 0/1 on",
             " | c:alert:2:80:A text:6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7E | alert.aiff:64x-1~ @- "
             "0/2",
             " | c:alert:2:80:A text:{6f1c2a3b-4d5e-4f60-8172-839a4b5c6d7e} | alert.aiff:64x-1~ "
             "@- 0/2",
             " | c:alert:2:80:A text:not-an-id text: | alert.aiff:64x-1 @A 0/1 on",
             " | c:bell:1:80:A end ? end ? end | @A @A bell.aiff:64x3- @- 0/2",
             " | c:gong:2:80:A p:chime of:A c:bell:2:80:B of:A ? of:B | @B gong.aiff:64x-1~ "
             "chime.aiff:80x1~ bell.aiff:64x-1~ @- 0/4",
             "../secret.mp3 theme/secret.oga | inner c:../secret p:../secret | @- 0/0",
             "..mp3 ...mp3 .mp3 theme/inner/..oga theme/inner/...oga theme/inner/.oga | inner c:. "
             "p:. c:.. p:.. c: p: | @- 0/0",
             "..\\secret.mp3 theme/inner/..\\secret.oga | inner c:..\\secret p:..\\secret | @- "
             "0/0",
             "sec\nret.mp3 theme/inner/sec\nret.oga | inner c:sec\nret p:sec\nret | @- 0/0"});
    }
    void playing() {
        const QStringList parts = textRowFields();
        QCOMPARE(play(parts[0], parts[1]), parts[2]);
    }

    void builtInSounds() {
        for (const QString& name : SoundManager::bundledSounds()) {
            QCOMPARE(play("", "c:" + name), name + ".aiff:64x1 @- 0/0 on");
            const auto clip = readAiff(Sounds::read(":/sounds/" + name + ".aiff"));
            QVERIFY(clip && clip->seconds() >= 0.3 && clip->seconds() <= 1.5);
            int peak = 0, tail = 0;  // tail: the last 5 ms, which must have faded out
            for (std::size_t i = 0; i < clip->samples.size(); ++i) {
                peak = std::max(peak, std::abs(int(clip->samples[i])));
                if (i + clip->sampleRate / 200 * clip->channels >= clip->samples.size())
                    tail = std::max(tail, std::abs(int(clip->samples[i])));
            }
            QVERIFY2(peak > 8192 && peak < 32000 && tail < 164, qPrintable(name));
        }
    }

    void importNaming_data() {
        // file imported | file stored, or nothing when refused
        addTextRows({"Alarm.mp3 | Alarm.mp3", "Alarm.WAV | Alarm.wav", "Alarm.M4a | Alarm.m4a",
                     "Alarm.aiff | Alarm.aiff", "Réveil.v2.mp3 | Réveil.v2.mp3", "Alarm.aif | ",
                     "Alarm.ogg | ", "Alarm | ", "Alarm.mp3.txt | ", ".mp3 | ", "...mp3 | ",
                     "missing/Alarm.mp3 | ", "folder.mp3/ | ", "mem/Alarm.mp3 | "});
    }
    void importNaming() {
        const QStringList parts = textRowFields();
        const QString file = parts[0], stored = parts[1];
        Sounds s;
        QString path = s.elsewhere.filePath(file);
        if (file.endsWith('/')) QDir().mkpath(path.chopped(1)), path.chop(1);
        // Reading the start of a process's memory fails part-way (EIO).
        if (file.startsWith("mem/"))
            QDir().mkpath(QFileInfo(path).path()), QFile::link("/proc/self/mem", path);
        if (!file.contains('/')) s.source(file);
        std::optional<QString> name;
        const QString text = printedBy([&] { name = s.manager->importCustomSound(path); });
        QCOMPARE(text.startsWith("SoundManager import error: ") && text.count('\n') == 1,
                 stored.isEmpty());
        QCOMPARE(s.folder(), stored.isEmpty() ? QStringList() : QStringList{stored});
        QCOMPARE(name.value_or(""), QFileInfo(stored).completeBaseName());
        QCOMPARE(s.stored(), QStringList{name.value_or("-")});
        QCOMPARE(Sounds::read(s.dir() + '/' + stored), QByteArray(name ? "audio" : ""));
    }

    void importKeepsOneNameAndEarlierFile() {
        Sounds s;
        QSignalSpy changed(s.manager.get(), &SoundManager::customSoundsChanged);
        const QUrl url = QUrl::fromLocalFile(s.source("Alarm.mp3", "first"));
        QCOMPARE(s.manager->importCustomSoundFrom(url), QStringLiteral("Alarm"));
        QFile::remove(s.files.path(kCustomSoundsFile));
        QDir().mkpath(s.elsewhere.filePath("mem"));
        QVERIFY(QFile::link("/proc/self/mem", s.elsewhere.filePath("mem/Alarm.mp3")));
        const QString text = printedBy([&] {
            s.manager->importCustomSound(s.elsewhere.filePath("mem/Alarm.mp3"));
            s.manager->importCustomSoundFrom(QUrl("http://example.invalid/Alarm.mp3"));
        });
        QCOMPARE(text.count("SoundManager import error: "), 2);
        QCOMPARE(Sounds::read(s.dir() + "/Alarm.mp3"),
                 QByteArray("first"));  // a failed copy leaves it
        // Another file of the name replaces it; the list is neither changed nor written.
        QVERIFY(s.manager->importCustomSound(s.source("Alarm.mp3", "second")));
        QVERIFY(s.manager->importCustomSound(s.source("Alarm.wav")));
        QCOMPARE(Sounds::read(s.dir() + "/Alarm.mp3"), QByteArray("second"));
        QCOMPARE(s.stored(), QStringList{"-"});
        QCOMPARE(s.manager->importCustomSound(s.source("Rain.m4a")), QStringLiteral("Rain"));
        QCOMPARE(s.stored(), (QStringList{"Alarm", "Rain"}));
        s.manager->play({"Alarm", 1, AlertMode::LoopUntilDismissed, {}});
        for (const char* f :
             {"/Alarm.aiff", "/Alarm.m4a", "/Alarm.ogg", "/alarm.mp3", "/../Alarm.mp3"})
            Sounds::write(s.dir() + f);
        s.manager->removeCustomSound("Alarm");
        s.manager->removeCustomSound("../Alarm");
        QCOMPARE(s.folder(), (QStringList{"Alarm.ogg", "Rain.m4a", "alarm.mp3"}));
        QVERIFY(s.manager->isPlaying() &&
                QFile::exists(s.dir() + "/../Alarm.mp3"));  // what plays goes on
        QCOMPARE(changed.count(), 3);
        QFile::remove(s.files.path(kCustomSoundsFile));
        s.manager->removeCustomSound("Unknown");  // written all the same
        QCOMPARE(s.stored(), QStringList{"Rain"});
        s.launch();
        QCOMPARE(s.manager->customSounds(), QStringList{"Rain"});
    }
};

int runSoundTests(int argc, char** argv) {
    TestSounds sounds;
    return QTest::qExec(&sounds, argc, argv);
}

#include "tst_sounds.moc"
