#include "FuzzSupport.h"
#include "ui/Preferences.h"

using namespace larkspur;

// Read key by key: whatever the file holds, every choice is usable, and a save keeps them.
void fuzzOne(const QByteArray& input) {
    static const fuzz::ShmFolder folder;
    folder.reset(kPreferencesFile, input);
    const StorageManager storage(folder.path);
    Preferences prefs(&storage);
    const float volume = prefs.globalVolume();
    fuzz::check(volume >= 0 && volume <= 1, "a volume beyond 0 ... 1");
    fuzz::check(!prefs.defaultSound().isEmpty(), "no default sound");
    const TimerMode mode = prefs.defaultTimerMode();
    prefs.setDefaultTimerMode(mode == TimerMode::Loop ? TimerMode::EndTime : TimerMode::Loop);
    prefs.setDefaultTimerMode(mode);
    const Preferences reread(&storage);
    fuzz::check(reread.defaultTimerMode() == mode && reread.defaultSound() == prefs.defaultSound(),
                "the preferences change when saved and read again");
    fuzz::check(std::abs(reread.globalVolume() - volume) <= 0.51e-4f, "the volume moves on a save");
}
