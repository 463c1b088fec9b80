#include "FuzzSupport.h"
#include "engine/SoundManager.h"
#include "support/FakeAudioPlayer.h"

using namespace larkspur;

// Through the sound manager, which reads the list on construction and may hand its names to
// file lookups: a name must never lead out of the sounds folder.
void fuzzOne(const QByteArray& input) {
    static const fuzz::ShmFolder folder;
    if (const auto names = fuzz::decodeText(input, JsonCodecFor<QList<QString>>::decode))
        fuzz::checkSaveReadsBack(*names);
    folder.reset(kCustomSoundsFile, input);
    const StorageManager storage(folder.path);
    auto record = std::make_shared<test::FakePlayback>();
    SoundManager sounds(storage,
                        [&] { return std::make_unique<test::FakeAudioPlayer>(record, false); });
    const QString inside = sounds.customSoundsDir() + QLatin1Char('/');
    for (const QString& name : sounds.customSounds()) {
        const QString path = sounds.customSoundPath(name);
        fuzz::check(path.isEmpty() || (path.startsWith(inside) && !path.contains(u"/../")),
                    "a custom sound name leads out of the sounds folder");
    }
}
