#include "RequestHandler.h"

#include "Crc16.h"

namespace vornex::sim {

namespace {

uint16_t word(const std::vector<uint8_t>& frame, std::size_t at) {
    return static_cast<uint16_t>((frame[at] << 8) | frame[at + 1]);
}

void putWord(std::vector<uint8_t>& frame, uint16_t value) {
    frame.push_back(static_cast<uint8_t>(value >> 8));
    frame.push_back(static_cast<uint8_t>(value & 0xFF));
}

std::vector<uint8_t> exceptionReply(uint8_t slave, uint8_t function, ModbusException code) {
    std::vector<uint8_t> reply{slave, static_cast<uint8_t>(function | 0x80),
                               static_cast<uint8_t>(code)};
    appendCrc(reply);
    return reply;
}

}  // namespace

std::vector<uint8_t> RequestHandler::respond(Instrument& instrument,
                                             const std::vector<uint8_t>& request,
                                             Instrument::Clock::time_point now,
                                             Transaction& taken) {
    const uint8_t slave = request[0];
    const uint8_t function = request[1];
    taken = Transaction{slave, function, 0, 0, ReplyFate::Answered, {}};

    std::vector<uint8_t> reply{slave, function};
    ModbusException error = ModbusException::None;
    switch (function) {
        case 0x03:
        case 0x04: {
            const int first = word(request, 2);
            const int count = word(request, 4);
            taken.first = first;
            taken.count = count;
            std::vector<uint16_t> regs(count > 0 ? static_cast<std::size_t>(count) : 0);
            error = function == 0x03 ? instrument.readHolding(first, count, regs.data(), now)
                                     : instrument.readInput(first, count, regs.data(), now);
            if (error == ModbusException::None) {
                for (std::size_t i = 0; i < regs.size() && i < taken.answered.size(); ++i)
                    taken.answered[i] = regs[i];
                reply.push_back(static_cast<uint8_t>(2 * count));
                for (uint16_t r : regs)
                    putWord(reply, r);
            }
            break;
        }
        case 0x06: {
            const int address = word(request, 2);
            const uint16_t value = word(request, 4);
            taken.first = address;
            taken.count = 1;
            error = instrument.writeHolding(address, &value, 1, now);
            if (error == ModbusException::None) {
                reply.insert(reply.end(), request.begin() + 2, request.begin() + 6);
            }
            break;
        }
        case 0x10: {
            const int first = word(request, 2);
            const int count = word(request, 4);
            const std::size_t bytes = request[6];
            taken.first = first;
            taken.count = count;
            if (count < 1 || bytes != 2u * static_cast<std::size_t>(count)) {
                error = ModbusException::IllegalDataValue;
                break;
            }
            std::vector<uint16_t> values(static_cast<std::size_t>(count));
            for (int i = 0; i < count; ++i)
                values[i] = word(request, 7 + 2 * i);
            error = instrument.writeHolding(first, values.data(), count, now);
            if (error == ModbusException::None) {
                reply.insert(reply.end(), request.begin() + 2, request.begin() + 6);
            }
            break;
        }
        case 0x11: {
            const std::vector<uint8_t> data = instrument.reportSlaveId();
            reply.push_back(static_cast<uint8_t>(data.size()));
            reply.insert(reply.end(), data.begin(), data.end());
            break;
        }
        default:
            error = ModbusException::IllegalFunction;
            break;
    }
    if (error != ModbusException::None) {
        taken.fate = ReplyFate::Exception;
        return exceptionReply(slave, function, error);
    }
    appendCrc(reply);
    return reply;
}

}  // namespace vornex::sim
