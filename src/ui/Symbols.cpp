#include "ui/Symbols.h"

#include <QFile>
#include <QFontDatabase>
#include <QHash>

namespace larkspur {

namespace {

const QHash<QString, char16_t>& table() {
    // Code points of the Material Icons font (Debian's fonts-material-design-icons-iconfont).
    static const QHash<QString, char16_t> glyphs{
        {QStringLiteral("timer"), 0xe01b},      // av_timer: a dial
        {QStringLiteral("stopwatch"), 0xe425},  // timer: a stopwatch
        {QStringLiteral("repeat"), 0xe040},
        {QStringLiteral("clock"), 0xe8b5},                  // schedule
        {QStringLiteral("clock.badge.checkmark"), 0xe858},  // alarm_on
        {QStringLiteral("plus.circle"), 0xe148},
        {QStringLiteral("plus.circle.fill"), 0xe147},
        {QStringLiteral("play.fill"), 0xe037},
        {QStringLiteral("pause.fill"), 0xe034},
        {QStringLiteral("arrow.counterclockwise"), 0xe042},  // replay
        {QStringLiteral("pencil"), 0xe3c9},
        {QStringLiteral("xmark"), 0xe5cd},
        {QStringLiteral("xmark.circle.fill"), 0xe5c9},  // cancel
        {QStringLiteral("eye"), 0xe8f4},
        {QStringLiteral("eye.slash"), 0xe8f5},
        {QStringLiteral("list.bullet"), 0xe241},
        {QStringLiteral("chart.bar"), 0xe26b},
        {QStringLiteral("gear"), 0xe8b8},
        {QStringLiteral("info.circle"), 0xe88f},  // info_outline
        {QStringLiteral("power"), 0xe8ac},        // power_settings_new
        {QStringLiteral("chevron.up"), 0xe5ce},   // expand_less
        {QStringLiteral("chevron.down"), 0xe5cf},
        {QStringLiteral("speaker.fill"), 0xe04e},                 // volume_mute
        {QStringLiteral("speaker.wave.2.fill"), 0xe04d},          // volume_down
        {QStringLiteral("speaker.wave.3.fill"), 0xe050},          // volume_up
        {QStringLiteral("forward.fill"), 0xe01f},                 // fast_forward
        {QStringLiteral("trash"), 0xe872},                        // delete
        {QStringLiteral("list.number"), 0xe242},                  // format_list_numbered
        {QStringLiteral("arrow.triangle.2.circlepath"), 0xe863},  // autorenew
        {QStringLiteral("list.bullet.rectangle"), 0xe0ee},        // list_alt
        {QStringLiteral("pencil.circle.fill"), 0xe150},           // create
        {QStringLiteral("paintpalette"), 0xe40a},                 // palette
        {QStringLiteral("speaker.wave.2"), 0xe04d},               // volume_down
        {QStringLiteral("clock.arrow.circlepath"), 0xe889},       // history
        {QStringLiteral("checkmark.circle.fill"), 0xe86c},        // check_circle
        {QStringLiteral("speaker.slash.fill"), 0xe04f},           // volume_off
        {QStringLiteral("speaker.wave.1.fill"), 0xe04e},          // volume_mute
        {QStringLiteral("bell"), 0xe7f5},                         // notifications_none
        {QStringLiteral("bell.fill"), 0xe7f4},                    // notifications
        {QStringLiteral("waveform"), 0xe1b8},                     // graphic_eq
        {QStringLiteral("leaf"), 0xea35},                         // eco
        {QStringLiteral("exclamationmark.triangle"), 0xe002},     // warning
        {QStringLiteral("circle.circle"), 0xe837},                // radio_button_checked
        {QStringLiteral("music.note"), 0xe405},
        {QStringLiteral("play.circle.fill"), 0xe038},             // play_circle_filled
        {QStringLiteral("stop.circle.fill"), 0xef71},             // stop_circle
    };
    return glyphs;
}

QString& loadedFamily() {
    static QString family;
    return family;
}

}  // namespace

QString Symbols::fontPath() {
    return QStringLiteral(
        "/usr/share/fonts/truetype/material-design-icons-iconfont/MaterialIcons-Regular.ttf");
}

bool Symbols::loadFont() {
    if (!loadedFamily().isEmpty()) return true;
    const int id = QFontDatabase::addApplicationFont(fontPath());
    const QStringList families =
        id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty()) return false;
    loadedFamily() = families.first();
    return true;
}

QString Symbols::fontFamily() {
    loadFont();
    return loadedFamily().isEmpty() ? QStringLiteral("Material Icons") : loadedFamily();
}

QString Symbols::glyph(const QString& name) {
    const auto it = table().constFind(name);
    return it == table().cend() ? QString() : QString(QChar(*it));
}

QStringList Symbols::names() {
    QStringList all = table().keys();
    all.sort();
    return all;
}

}  // namespace larkspur
