// Preloaded into a program under test (LD_PRELOAD) to move its monotonic clocks while it runs:
// every reading of CLOCK_MONOTONIC, its raw and coarse forms and CLOCK_BOOTTIME gets an offset
// that the test changes at any moment. The offset, in nanoseconds, is the first 8 bytes of the
// file named by VORNEX_TEST_CLOCK_OFFSET_FILE; without that file the clocks are left alone.
//
// The file is mapped once, so a reading costs no system call beyond the clock's own, and a write
// by the test is seen at the next reading.

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <ctime>

namespace {

constexpr std::intptr_t kUnmapped = -1;
std::atomic<std::intptr_t> offsetMap{0};

const volatile std::int64_t* mapOffsetFile() {
    std::intptr_t map = offsetMap.load(std::memory_order_acquire);
    if (map == 0) {
        map = kUnmapped;
        const char* path = std::getenv("VORNEX_TEST_CLOCK_OFFSET_FILE");
        const int fd = path != nullptr ? ::open(path, O_RDONLY | O_CLOEXEC) : -1;
        if (fd >= 0) {
            void* mapped = ::mmap(nullptr, sizeof(std::int64_t), PROT_READ, MAP_SHARED, fd, 0);
            ::close(fd);
            if (mapped != MAP_FAILED)
                map = reinterpret_cast<std::intptr_t>(mapped);
        }
        std::intptr_t expected = 0;
        // A thread that mapped it first wins; this mapping is then one page left over.
        if (!offsetMap.compare_exchange_strong(expected, map, std::memory_order_acq_rel))
            map = expected;
    }
    return map == kUnmapped ? nullptr : reinterpret_cast<const volatile std::int64_t*>(map);
}

// The test writes the 8 bytes while the program reads them: a value read twice alike is whole.
std::int64_t offsetNanoseconds() {
    const volatile std::int64_t* offset = mapOffsetFile();
    if (offset == nullptr)
        return 0;
    for (;;) {
        const std::int64_t first = *offset;
        if (*offset == first)
            return first;
    }
}

bool shifted(clockid_t clock) {
    return clock == CLOCK_MONOTONIC || clock == CLOCK_MONOTONIC_RAW ||
           clock == CLOCK_MONOTONIC_COARSE || clock == CLOCK_BOOTTIME;
}

}  // namespace

extern "C" int clock_gettime(clockid_t clock, struct timespec* time) {
    if (::syscall(SYS_clock_gettime, clock, time) != 0)
        return -1;
    if (!shifted(clock))
        return 0;
    constexpr std::int64_t kBillion = 1000000000;
    const std::int64_t nanoseconds =
        static_cast<std::int64_t>(time->tv_sec) * kBillion + time->tv_nsec + offsetNanoseconds();
    time->tv_sec = static_cast<time_t>(nanoseconds / kBillion);
    time->tv_nsec = static_cast<long>(nanoseconds % kBillion);
    return 0;
}
