#pragma once

#include <QString>
#include <QUrl>

namespace larkspur {

// The sound decoders read files, not the program's embedded resources. This copies a resource
// once per process into the cache folder and returns that file's URL, or the resource's own URL
// when it cannot be copied. Anything but a "qrc:" URL comes back unchanged.
QUrl playableUrl(const QUrl& source, const QString& cacheFolder);

// "$XDG_CACHE_HOME/<application>/sounds".
QString defaultSoundCacheFolder();

}  // namespace larkspur
