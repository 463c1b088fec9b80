#include "FuzzSupport.h"
#include "engine/TimerSequence.h"

using namespace larkspur;

void fuzzOne(const QByteArray& input) {
    if (const auto sequences = fuzz::decodeText(input, JsonCodecFor<QList<TimerSequence>>::decode))
        fuzz::checkSaveReadsBack(*sequences);
}
