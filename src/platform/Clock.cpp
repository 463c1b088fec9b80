#include "platform/Clock.h"

#include <chrono>

namespace larkspur {

double SystemClock::now() const {
    using namespace std::chrono;
    const auto sinceEpoch = system_clock::now().time_since_epoch();
    return duration<double>(sinceEpoch).count() - kReferenceDateOffset;
}

}  // namespace larkspur
