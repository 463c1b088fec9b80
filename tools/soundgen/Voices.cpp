#include "Voices.h"

namespace soundgen {

namespace {

// A small tubular chime: strongly inharmonic overtones that die away quickly.
std::vector<Partial> chimeNote(double f) {
    return {{f, 1.0, 0.55}, {f * 2.76, 0.32, 0.22}, {f * 5.40, 0.12, 0.10}, {f * 8.93, 0.05, 0.05}};
}

Clip chime() {
    Clip c(1.2);
    c.addTone(0.00, 1.2, chimeNote(1046.5));   // C6
    c.addTone(0.16, 1.04, chimeNote(1568.0));  // G6
    c.finish(0.70, 0.25);
    return c;
}

// Church-bell partials (hum, prime, minor third, fifth, nominal and above): the minor-third
// partial is what makes it sound like a bell rather than a plucked string.
Clip bell() {
    const double f = 523.25;  // C5
    Clip c(1.5);
    c.addTone(0, 1.5,
              {{f * 0.5, 0.45, 1.10},
               {f * 1.0, 1.00, 0.80},
               {f * 1.19, 0.55, 0.60},
               {f * 1.50, 0.30, 0.45},
               {f * 2.00, 0.45, 0.40},
               {f * 2.52, 0.22, 0.28},
               {f * 3.00, 0.16, 0.22},
               {f * 4.10, 0.08, 0.14}});
    c.finish(0.70, 0.30);
    return c;
}

// Two short electronic beeps.
Clip beep() {
    const double f = 880.0;
    const std::vector<Partial> tone{
        {f, 1.0, 0, 0.008}, {f * 2, 0.18, 0, 0.008}, {f * 3, 0.05, 0, 0.008}};
    Clip c(0.45);
    c.addTone(0.00, 0.13, tone, 0.012);
    c.addTone(0.20, 0.13, tone, 0.012);
    c.finish(0.60, 0.05);
    return c;
}

// A quiet A-major chord that swells in and fades away.
Clip soft() {
    Clip c(1.0);
    c.addTone(0, 1.0,
              {{440.00, 1.0, 0.9, 0.15},
               {554.37, 0.7, 0.8, 0.18},
               {659.26, 0.55, 0.7, 0.21},
               {880.00, 0.12, 0.5, 0.15}},
              0.3);
    c.finish(0.45, 0.35);
    return c;
}

// Three quick rising two-note pulses with odd harmonics for an urgent, reedy edge.
Clip alert() {
    auto reedy = [](double f) {
        return std::vector<Partial>{
            {f, 1.0, 0, 0.005}, {f * 3, 0.11, 0, 0.005}, {f * 5, 0.04, 0, 0.005}};
    };
    Clip c(0.75);
    for (int i = 0; i < 3; ++i) {
        const double at = i * 0.24;
        c.addTone(at, 0.08, reedy(1046.5), 0.01);          // C6
        c.addTone(at + 0.09, 0.10, reedy(1396.9), 0.015);  // F6
    }
    c.finish(0.60, 0.04);
    return c;
}

// A low gong: clustered inharmonic partials with two pairs close enough to beat slowly.
Clip gong() {
    const double f = 98.0;  // G2
    Clip c(1.5);
    c.addTone(0, 1.5,
              {{f, 1.0, 1.20, 0.010},
               {f * 1.52, 0.60, 0.90, 0.020},
               {f * 2.03, 0.55, 0.80, 0.030},
               {f * 2.07, 0.45, 0.80, 0.030},
               {f * 2.71, 0.40, 0.60, 0.040},
               {f * 3.46, 0.30, 0.50, 0.050},
               {f * 3.51, 0.22, 0.50, 0.050},
               {f * 4.53, 0.18, 0.35, 0.060},
               {f * 5.62, 0.10, 0.25, 0.060}});
    c.finish(0.70, 0.35);
    return c;
}

}  // namespace

std::vector<Voice> builtInVoices() {
    return {{"chime", chime()}, {"bell", bell()},   {"beep", beep()},
            {"soft", soft()},   {"alert", alert()}, {"gong", gong()}};
}

}  // namespace soundgen
