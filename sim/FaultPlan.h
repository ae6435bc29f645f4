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

    // The next reply sent to this address waits this much longer, once.
    void setLateOnce(int address, int ms) {
        if (address >= 0 && address < kAddresses)
            lateOnceMs_[address].store(ms < 0 ? 0 : ms);
    }
    // Takes the once-only delay for a reply to this address: 0 when none is due.
    int takeLateOnce(int address) {
        return address >= 0 && address < kAddresses ? lateOnceMs_[address].exchange(0) : 0;
    }

    // The next request to this address whose registers include `reg` gets no reply, once.
    void setIgnoreOnce(int address, int reg) {
        if (address >= 0 && address < kAddresses && reg >= 0)
            ignoreOnce_[address].store(reg + 1);
    }
    // True, once, for the request that the ignore set for this address applies to: one touching
    // `count` registers from `first`.
    bool takeIgnoreOnce(int address, int first, int count) {
        if (address < 0 || address >= kAddresses)
            return false;
        int stored = ignoreOnce_[address].load();
        const int reg = stored - 1;
        return stored != 0 && reg >= first && reg < first + count &&
               ignoreOnce_[address].compare_exchange_strong(stored, 0);
    }

    // A locked address answers writes of its settings block (holding 2..5) but keeps its own.
    void setSettingsLocked(int address, bool locked) {
        if (address >= 0 && address < kAddresses)
            settingsLocked_[address].store(locked);
    }
    bool settingsLocked(int address) const {
        return address >= 0 && address < kAddresses && settingsLocked_[address].load();
    }

    // An address that refuses merged reads answers a read spanning more than one of the register
    // groups the instruments' own reads keep apart with exception 2.
    void setMergeRefused(int address, bool refused) {
        if (address >= 0 && address < kAddresses)
            mergeRefused_[address].store(refused);
    }
    bool mergeRefused(int address) const {
        return address >= 0 && address < kAddresses && mergeRefused_[address].load();
    }

    static constexpr int kAddresses = 248;

private:
    static double clamp(double f) { return f < 0 ? 0 : (f > 1 ? 1 : f); }

    std::atomic<double> drop_{0};
    std::atomic<double> badCrc_{0};
    std::atomic<int> delayMs_{0};
    std::array<std::atomic<bool>, kAddresses> silent_{};
    std::array<std::atomic<int>, kAddresses> lateOnceMs_{};
    std::array<std::atomic<int>, kAddresses> ignoreOnce_{};  // register + 1, 0 for none
    std::array<std::atomic<bool>, kAddresses> settingsLocked_{};
    std::array<std::atomic<bool>, kAddresses> mergeRefused_{};
};

}  // namespace vornex::sim
