#include "casting/CoinThrow.h"

#include <fmt/format.h>

#include "platform/Clock.h"

namespace qingheng {

std::string CoinThrow::CaptionForThrow(int n) { return fmt::format("第{}次摇", n); }

CoinThrow::ThrowStep CoinThrow::pressThrow() {
    ++shakeCount_;
    if (shakeCount_ > kThrows) return ThrowStep::Accept;
    running_ = true;
    return ThrowStep::Started;
}

void CoinThrow::tick(Random& random) {
    for (int& coin : coins_) coin = random.next31() % 2;
}

int CoinThrow::itemOfBacks(int backs) { return backs == 0 ? 3 : backs - 1; }

std::optional<CoinThrow::LineSet> CoinThrow::stop() {
    running_ = false;
    caption_ = shakeCount_ >= kThrows ? std::string("布卦") : CaptionForThrow(shakeCount_ + 1);
    if (shakeCount_ < 1 || shakeCount_ > kThrows) return std::nullopt;
    const int backs = coins_[0] + coins_[1] + coins_[2];
    return LineSet{kThrows - shakeCount_, itemOfBacks(backs)};
}

void CoinThrow::reset() {
    shakeCount_ = 0;
    running_ = false;
    caption_ = CaptionForThrow(1);
}

}  // namespace qingheng
