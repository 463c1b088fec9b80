#include "FuzzSupport.h"
#include "presets/Preset.h"

using namespace larkspur;

void fuzzOne(const QByteArray& input) {
    if (const auto presets = fuzz::decodeText(input, JsonCodecFor<QList<Preset>>::decode))
        fuzz::checkSaveReadsBack(*presets);
}
