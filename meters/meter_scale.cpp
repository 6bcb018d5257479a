#include "meters/meter_scale.h"

#include "platform/muldiv.h"
#include "setup/number_text.h"

#include <cmath>

namespace {

constexpr int32_t kMinTickSpacing = 5; // pixels between marks of one kind, or they are left out

bool IsMultipleOf(double level, double step) {
    return std::fabs(level / step - std::floor(level / step)) < 0.01;
}

class ScaleBuilder {
public:
    ScaleBuilder(const MeterColumn& column, int32_t pitch, bool numbersLeft, bool numbersWhenRight)
        : c_(column), pitch_(pitch), top_(column.topLevel > 0 ? 0 : column.topLevel),
          h_(column.textHeight), k_(column.pixelsPerDb) {
        plan_.numbersLeft = numbersLeft;
        numbers_ = numbersLeft || numbersWhenRight;
        numberX_ = column.centerX + (numbersLeft ? -1 : 1) * MulDiv(pitch, 12, 20);
    }

    ScalePlan Build() {
        if (numbers_) {
            if (c_.compressed)
                CompressedNumbers();
            else
                LinearNumbers();
        }
        Ticks();
        return std::move(plan_);
    }

private:
    int32_t Row(double level) const { return c_.bar.top + c_.LevelToOffset(level); }
    int32_t Offset(double level) const { return c_.LevelToOffset(level); }

    void Number(double level, bool withSign) {
        plan_.numbers.push_back(
            {numberX_, Row(level) - h_ / 2, FormatScaleNumber(level, withSign)});
    }

    void NumbersEvery(double step) {
        for (double v = top_; v >= c_.bottomLevel - 0.1; v -= step)
            Number(v, false);
    }

    void LinearNumbers() {
        if (c_.topLevel > 0 && h_ < -3 * k_)
            Number(c_.topLevel, true);
        if (-10 * k_ > h_) {
            NumbersEvery(10);
        } else if (-20 * k_ > h_) {
            NumbersEvery(20);
        } else {
            Number(top_, false);
            Number(c_.bottomLevel, false);
        }
    }

    void CompressedNumbers() {
        if (c_.topLevel > 0 && h_ < -5 * k_)
            Number(c_.topLevel, true);
        double last = 10.0;
        for (double v = top_; v >= c_.bottomLevel - 0.1; v -= 5) {
            const bool print = IsMultipleOf(v, 10) ? Offset(v) - Offset(last) > h_
                                                   : Offset(v - 5) - Offset(v + 5) > (15 * h_) / 5;
            if (print) {
                Number(v, false);
                last = v;
            }
        }
    }

    void Tick(int32_t row, int32_t halfWidth) { plan_.ticks.push_back({row, halfWidth}); }

    void Ticks() {
        const int32_t wide = pitch_ / 2;
        const int32_t medium = MulDiv(pitch_, 3, 8);
        const int32_t narrow = MulDiv(pitch_, 13, 40);
        Tick(Row(c_.topLevel), wide);
        for (double v = top_; v >= c_.bottomLevel + 1; v -= 10)
            Tick(Row(v), wide);
        Tick(c_.bar.bottom - 1, wide);
        if (c_.compressed) {
            for (double v = top_; v >= c_.bottomLevel + 1; v -= 5) {
                if (Offset(v - 5) - Offset(v) > kMinTickSpacing)
                    Tick(Row(v), medium);
            }
            bool goOn = true;
            for (double v = c_.topLevel; v >= c_.bottomLevel + 0.5 && goOn; v -= 1) {
                if (Offset(v - 1) - Offset(v) < kMinTickSpacing &&
                    (IsMultipleOf(v, 5) || v == c_.topLevel))
                    goOn = false;
                else
                    Tick(Row(v), narrow);
            }
            return;
        }
        if (-5 * k_ >= kMinTickSpacing) {
            for (double v = top_; v >= c_.bottomLevel + 1; v -= 5)
                Tick(Row(v), medium);
        }
        if (-k_ >= kMinTickSpacing) {
            for (double v = c_.topLevel; v >= c_.bottomLevel + 0.5; v -= 1)
                Tick(Row(v), narrow);
        }
    }

    const MeterColumn& c_;
    const int32_t pitch_;
    const double top_; // the top level, but 0 dB when the scale reaches above it
    const int32_t h_;
    const double k_;
    bool numbers_ = false;
    int32_t numberX_ = 0;
    ScalePlan plan_;
};

} // namespace

std::string FormatScaleNumber(double level, bool withSign) {
    std::string text = FormatFixed(level, 0);
    if (withSign && text.front() != '-')
        text.insert(text.begin(), '+');
    if (text.size() < 3)
        text.insert(0, 3 - text.size(), ' ');
    return text;
}

ScalePlan PlanScale(const MeterColumn& column, int32_t pitch, bool numbersLeft,
                    bool numbersWhenRight) {
    return ScaleBuilder(column, pitch, numbersLeft, numbersWhenRight).Build();
}
