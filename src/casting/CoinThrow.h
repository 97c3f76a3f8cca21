#pragma once
// The simulated coin throws of the coin dialog: three coins spun by a timer, six throws,
// each stop setting the line of its throw (bottom line first).
#include <array>
#include <optional>
#include <string>

namespace qingheng {

class Random;

class CoinThrow {
public:
    static constexpr int kCoins = 3;
    static constexpr int kThrows = 6;
    enum : int { kFace = 0, kBack = 1 };

    // What pressing the throw button did.
    enum class ThrowStep { Started, Accept };

    // A stop: the radio group (0 = top line … 5 = bottom line) and the item it receives.
    struct LineSet {
        int group = 0;
        int item = 0;
    };

    int shakeCount() const { return shakeCount_; }
    bool running() const { return running_; }
    const std::array<int, kCoins>& coins() const { return coins_; }

    // Throw button: the seventh press accepts (the six throws are done); otherwise the
    // coins start spinning.
    ThrowStep pressThrow();

    // One timer tick: each coin shows a new side.
    void tick(Random& random);

    // Stop button: stops spinning; the throw numbered by the shake count sets its line,
    // nothing for a shake count of 0.
    std::optional<LineSet> stop();

    // Reset button: back to the first throw; the lines already set stay.
    void reset();

    // Caption of the throw button: "第n次摇", or "布卦" once six throws are done.
    const std::string& throwCaption() const { return caption_; }

    // Radio item of a number of backs: 1-3 backs give items 0-2, no back item 3 ("三个面").
    static int itemOfBacks(int backs);

private:
    static std::string CaptionForThrow(int n);

    int shakeCount_ = 0;
    bool running_ = false;
    std::string caption_ = CaptionForThrow(1);  // set at stop and reset, not while spinning
    std::array<int, kCoins> coins_{kFace, kFace, kFace};
};

}  // namespace qingheng
