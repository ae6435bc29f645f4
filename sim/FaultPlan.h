#pragma once

#include <array>
#include <atomic>

namespace vornex::sim {

// Faults the line is to show, changed from any thread while the line serves.
class FaultPlan {
public:
    // Fraction (0..1) of replies that are never sent.
    void setDropFraction(double f) { drop_.store(clamp(f)); }
    double dropFraction() const { return drop_.load(); }

    // Fraction (0..1) of replies sent with a wrong CRC.
    void setBadCrcFraction(double f) { badCrc_.store(clamp(f)); }
    double badCrcFraction() const { return badCrc_.load(); }

    // Every reply waits this long before it is sent.
    void setDelayMs(int ms) { delayMs_.store(ms < 0 ? 0 : ms); }
    int delayMs() const { return delayMs_.load(); }

    // A silent address takes no request at all, as if the instrument were switched off.
    void setSilent(int address, bool silent) {
        if (address >= 0 && address < kAddresses)
            silent_[address].store(silent);
    }
    bool silent(int address) const {
        return address >= 0 && address < kAddresses && silent_[address].load();
    }

    static constexpr int kAddresses = 248;

private:
    static double clamp(double f) { return f < 0 ? 0 : (f > 1 ? 1 : f); }

    std::atomic<double> drop_{0};
    std::atomic<double> badCrc_{0};
    std::atomic<int> delayMs_{0};
    std::array<std::atomic<bool>, kAddresses> silent_{};
};

}  // namespace vornex::sim
