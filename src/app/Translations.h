#pragma once

class QCoreApplication;

namespace larkspur {

// Installs, for the user's locale, Qt's own translations and ours: those built into the program
// first, then any installed under the data folders ("larkspurhollow/translations"). English
// needs none.
void installTranslations(QCoreApplication& app);

}  // namespace larkspur
