#include "FuzzSupport.h"
#include "focus/SessionListJson.h"

using namespace larkspur;

// The quick scanner of "focus-sessions.json" against the general reader. The scanner may refuse
// any text (the general reader then decides), but what it accepts, the general reader must read
// as the very same records; and whatever the general reader accepts, written back in the plain
// form, the scanner must read too.
void fuzzOne(const QByteArray& input) {
    const auto quick = sessionlist::decode(input);
    const auto general = fuzz::decodeText(input, JsonCodecFor<QList<FocusSession>>::decode);
    if (quick) {
        fuzz::check(general.has_value(), "the scanner accepts what the general reader refuses");
        fuzz::check(*quick == *general, "the scanner and the general reader read other records");
    }
    const QByteArray plain = general ? sessionlist::encode(*general) : QByteArray();
    if (general && !fuzz::holdsByteOrderMark(plain)) {
        const auto reread = sessionlist::decode(plain);
        fuzz::check(reread.has_value(), "the scanner refuses the list as written");
        // UTF-8 has no form for a lone surrogate, which the general reader takes from "\ud800":
        // such a label is written with U+FFFD in its place.
        QList<FocusSession> writable = *general;
        for (FocusSession& s : writable)
            if (s.taskLabel) s.taskLabel = QString::fromUtf8(s.taskLabel->toUtf8());
        fuzz::check(*reread == writable, "records change when written and scanned again");
        const auto generalAgain =
            fuzz::decodeText(plain, JsonCodecFor<QList<FocusSession>>::decode);
        fuzz::check(generalAgain && *generalAgain == writable, "the written list reads otherwise");
    }
}
