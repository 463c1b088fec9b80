#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

namespace larkspur::sounds {

// Custom sound extensions in lookup order; imported files are stored with these exact spellings.
const QStringList& customExtensions();

// A sound name is used as a file name inside a folder; anything that could name another folder
// or no file at all is refused.
bool isSafeName(const QString& name);

// The first of folder/name.<extension> that is a file, in lookup order; empty when none is.
QString findCustomSound(const QString& folder, const QString& name);

// "qrc:/sounds/<name>.aiff" when the program carries that sound, else an empty URL.
QUrl builtInSound(const QString& name);

// The desktop theme's sound for a name, searched in `themeFolders`; empty when there is none.
// "Purr", the fallback for a sound that cannot be played, maps to the theme's "complete".
QString findSystemSound(const QStringList& themeFolders, const QString& name);

// The freedesktop theme folder under every XDG data folder.
QStringList defaultSystemSoundFolders();

// Copies `source` over `target` so that the target is either the old file or the whole new
// one: the copy goes to a temporary file beside the target and is renamed over it.
bool copyReplacing(const QString& source, const QString& target, QString* error);

}  // namespace larkspur::sounds
