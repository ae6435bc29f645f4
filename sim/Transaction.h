#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vornex::sim {

// What became of the reply to a request that a configured instrument took.
enum class ReplyFate { Answered, Exception, Dropped, BadCrc };

// One request an instrument took: its address, function code, first register and register count
// (0 and 0 for Report Slave ID), and what was sent back.
struct Transaction {
    int slave = 0;
    int function = 0;
    int first = 0;
    int count = 0;
    ReplyFate fate = ReplyFate::Answered;
    // The first two registers a read answered (a live value takes two), in memory only: the log
    // file's lines leave them out.
    std::array<uint16_t, 2> answered{};

    // "SLAVE FUNCTION FIRST COUNT FATE", numbers in decimal, FATE one of ok, exception, dropped,
    // badcrc: the line format of the transaction log file.
    std::string toLine() const;
};

}  // namespace vornex::sim
