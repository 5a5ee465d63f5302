#include "grid/rain_column.h"

namespace korvane {

RainColumn::RainColumn(ShowRandom& random) : length(kDefaultLength) {
    Randomize(random);
    offset = 0;
}

void RainColumn::Remake(int32_t newLength, ShowRandom& random) {
    text.clear();
    text.shrink_to_fit();
    length = newLength < 0 ? 0 : newLength;
    Randomize(random);
}

void RainColumn::Randomize(ShowRandom& random) {
    offset = (random.Next() % 2) * length;
    delay = random.Next() % 4;
    countdown = delay;
    state = random.Next() % 4;
    // Same length on renewal, so the text is refilled in place without a new allocation.
    text.resize(static_cast<size_t>(2 * length));
    for (int32_t i = 0; i < length; ++i) {
        text[static_cast<size_t>(i)] = ' ';
    }
    for (int32_t i = length; i < 2 * length; ++i) {
        text[static_cast<size_t>(i)] = static_cast<char>('A' + random.Next() % 24);
    }
}

const char* RainColumn::NextView(ShowRandom& random) {
    // At offset -1 the view would start before the text; the column shows what it showed at
    // offset 0 instead: the leading spaces, which a renewal leaves in place.
    const int32_t viewStart = offset < 0 ? 0 : offset;
    const char* view = text.c_str() + viewStart;
    if (countdown > 0) {
        --countdown;
        return view;
    }
    countdown = delay;
    const bool renew = offset < 0;
    --offset;
    if (renew) {
        Randomize(random);
        offset = 2 * length;
    }
    return view;
}

}  // namespace korvane
