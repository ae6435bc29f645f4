// Preloaded into a program under test to move its monotonic clocks (CLOCK_MONOTONIC, its raw and
// coarse forms, CLOCK_BOOTTIME) while it runs, by the nanoseconds in the first 8 bytes of the file
// VORNEX_TEST_CLOCK_OFFSET_FILE names. The file is mapped, so the test's writes are seen at once.

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>

namespace {

const volatile std::int64_t* offsetFile() {
    static const volatile std::int64_t* const mapped = []() -> const volatile std::int64_t* {
        const char* path = std::getenv("VORNEX_TEST_CLOCK_OFFSET_FILE");
        const int fd = path != nullptr ? ::open(path, O_RDONLY | O_CLOEXEC) : -1;
        if (fd < 0)
            return nullptr;
        void* map = ::mmap(nullptr, sizeof(std::int64_t), PROT_READ, MAP_SHARED, fd, 0);
        ::close(fd);
        return map == MAP_FAILED ? nullptr : static_cast<const volatile std::int64_t*>(map);
    }
    ();
    return mapped;
}

// The test writes the 8 bytes while the program reads them: a value read twice alike is whole.
std::int64_t offsetNanoseconds() {
    const volatile std::int64_t* offset = offsetFile();
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
