#include "engine/TimerSequence.h"

namespace larkspur {

QJsonValue JsonCodecFor<SequenceStep>::encode(const SequenceStep& v) {
    QJsonObject o{{QStringLiteral("id"), json::uuidToString(v.id)},
                  {QStringLiteral("name"), v.name},
                  {QStringLiteral("duration"), v.duration}};
    if (v.soundConfig)
        o.insert(QStringLiteral("soundConfig"), JsonCodecFor<SoundConfig>::encode(*v.soundConfig));
    return o;
}

SequenceStep JsonCodecFor<SequenceStep>::decode(const QJsonValue& v) {
    const json::ObjectReader r(v, "step");
    SequenceStep s;
    s.id = r.uuid("id");
    s.name = r.string("name");
    s.duration = r.number("duration");
    if (r.has("soundConfig"))
        s.soundConfig = JsonCodecFor<SoundConfig>::decode(r.value("soundConfig"));
    return s;
}

QJsonValue JsonCodecFor<TimerSequence>::encode(const TimerSequence& v) {
    return QJsonObject{
        {QStringLiteral("id"), json::uuidToString(v.id)},
        {QStringLiteral("name"), v.name},
        {QStringLiteral("steps"), JsonCodecFor<QList<SequenceStep>>::encode(v.steps)},
        {QStringLiteral("currentStepIndex"), double(v.currentStepIndex)}};
}

TimerSequence JsonCodecFor<TimerSequence>::decode(const QJsonValue& v) {
    const json::ObjectReader r(v, "sequence");
    TimerSequence s;
    s.id = r.uuid("id");
    s.name = r.string("name");
    s.steps = JsonCodecFor<QList<SequenceStep>>::decode(r.value("steps"));
    s.currentStepIndex = r.integer("currentStepIndex");
    return s;
}

}  // namespace larkspur
