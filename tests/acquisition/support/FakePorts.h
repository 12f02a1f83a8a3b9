#pragma once
// A port interface for tests of code that talks to the card: it records
// every access in order and answers from a small script:
//   - port 0x61 reads its bits 0-3 as last written (initially those given
//     to the constructor) and bit 5 alternating 0, 1, 0, 1, ... from one read
//     to the next, starting at 0, so a wait for a rising edge takes exactly two
//     reads; SetTimerStuck(level) holds bit 5 instead;
//   - a 16-bit read of a port given a word (SetWord) or a queue of words
//     (QueueWords: served in order, then the SetWord word, or the last queued
//     one) returns it; its byte reads return its low and high byte;
//   - every other port reads all ones.
// Its clock moves only by a fixed step at each read of port 0x61 (1 µs
// unless SetPollStep says otherwise), so a wait bounded by time ends after a
// known number of polls.
#include "acquisition/Clocks.h"
#include "acquisition/PortIo.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <ostream>
#include <utility>
#include <vector>

struct PortAccess {
    enum class Kind { In8, In16, Out8, InterruptsOff, InterruptsOn };
    Kind kind;
    std::uint16_t port = 0;
    std::uint16_t value = 0; // value read or written

    friend bool operator==(const PortAccess&, const PortAccess&) = default;
};

inline PortAccess In8(std::uint16_t port, std::uint8_t value) { return {PortAccess::Kind::In8, port, value}; }
inline PortAccess In16(std::uint16_t port, std::uint16_t value) { return {PortAccess::Kind::In16, port, value}; }
inline PortAccess Out8(std::uint16_t port, std::uint8_t value) { return {PortAccess::Kind::Out8, port, value}; }
inline PortAccess InterruptsOff() { return {PortAccess::Kind::InterruptsOff}; }
inline PortAccess InterruptsOn() { return {PortAccess::Kind::InterruptsOn}; }

inline std::ostream& operator<<(std::ostream& out, const PortAccess& access)
{
    const auto flags = out.flags();
    switch (access.kind) {
    case PortAccess::Kind::In8: out << "in8(0x" << std::hex << access.port << ") = 0x" << access.value; break;
    case PortAccess::Kind::In16: out << "in16(0x" << std::hex << access.port << ") = 0x" << access.value; break;
    case PortAccess::Kind::Out8: out << "out8(0x" << std::hex << access.port << ", 0x" << access.value << ")"; break;
    case PortAccess::Kind::InterruptsOff: out << "interrupts off"; break;
    case PortAccess::Kind::InterruptsOn: out << "interrupts on"; break;
    }
    out.flags(flags);
    return out;
}

class FakePorts final : public PortIo {
public:
    static constexpr std::uint16_t kSystemPort = 0x61;

    explicit FakePorts(std::uint8_t systemPortBits = 0x00) : systemPort_(systemPortBits & 0x0F) {}

    // Script.
    void SetWord(std::uint16_t port, std::uint16_t word) { words_[port] = word; }
    void QueueWords(std::uint16_t port, const std::vector<std::uint16_t>& words)
    {
        queues_[port].insert(queues_[port].end(), words.begin(), words.end());
    }
    void SetTimerStuck(std::optional<bool> level) { timerStuck_ = level; }
    void SetPollStep(std::chrono::nanoseconds step) { clock_.SetPollStep(step); }

    // Recording. Counting goes on when recording is off.
    void SetRecording(bool on) { recording_ = on; }
    const std::vector<PortAccess>& Accesses() const { return accesses_; }
    void ClearAccesses() { accesses_.clear(); }
    std::size_t Count(PortAccess::Kind kind, std::uint16_t port) const
    {
        const auto it = counts_.find({kind, port});
        return it == counts_.end() ? 0 : it->second;
    }
    // The bytes written to `port`, in order.
    std::vector<std::uint8_t> Writes(std::uint16_t port) const
    {
        std::vector<std::uint8_t> bytes;
        for (const PortAccess& access : accesses_) {
            if (access.kind == PortAccess::Kind::Out8 && access.port == port) {
                bytes.push_back(static_cast<std::uint8_t>(access.value));
            }
        }
        return bytes;
    }

    std::uint8_t inb(std::uint16_t port) override
    {
        const std::uint8_t value = ScriptedByte(port);
        Record({PortAccess::Kind::In8, port, value});
        return value;
    }
    std::uint16_t inw(std::uint16_t port) override
    {
        const std::uint16_t value = ScriptedWord(port);
        Record({PortAccess::Kind::In16, port, value});
        return value;
    }
    void outb(std::uint16_t port, std::uint8_t value) override
    {
        if (port == kSystemPort) {
            systemPort_ = value & 0x0F;
        }
        Record({PortAccess::Kind::Out8, port, value});
    }
    void DisableInterrupts() override
    {
        Record({PortAccess::Kind::InterruptsOff});
    }
    void EnableInterrupts() override
    {
        Record({PortAccess::Kind::InterruptsOn});
    }
    std::chrono::nanoseconds Now() override { return clock_.Now(); }

private:
    std::uint8_t ScriptedByte(std::uint16_t port)
    {
        if (port == kSystemPort) {
            clock_.OnPoll();
            bool high = timerLevel_;
            if (timerStuck_) {
                high = *timerStuck_;
            }
            timerLevel_ = !timerLevel_;
            return static_cast<std::uint8_t>(systemPort_ | (high ? 0x20 : 0x00));
        }
        if (words_.count(port) || queues_.count(port)) {
            return static_cast<std::uint8_t>(ScriptedWord(port) & 0xFF);
        }
        const auto lowPort = static_cast<std::uint16_t>(port - 1);
        if (words_.count(lowPort) || queues_.count(lowPort)) {
            return static_cast<std::uint8_t>(ScriptedWord(lowPort) >> 8);
        }
        return 0xFF;
    }
    std::uint16_t ScriptedWord(std::uint16_t port)
    {
        auto queue = queues_.find(port);
        if (queue != queues_.end() && !queue->second.empty()) {
            const std::uint16_t word = queue->second.front();
            if (queue->second.size() > 1 || words_.count(port)) {
                queue->second.pop_front();
            }
            return word;
        }
        const auto word = words_.find(port);
        return word == words_.end() ? 0xFFFF : word->second;
    }
    void Record(const PortAccess& access)
    {
        ++counts_[{access.kind, access.port}];
        if (recording_) {
            accesses_.push_back(access);
        }
    }

    VirtualClock clock_{std::chrono::microseconds(1)};
    std::uint8_t systemPort_ = 0;
    bool timerLevel_ = false;
    std::optional<bool> timerStuck_;
    std::map<std::uint16_t, std::uint16_t> words_;
    std::map<std::uint16_t, std::deque<std::uint16_t>> queues_;
    bool recording_ = true;
    std::vector<PortAccess> accesses_;
    std::map<std::pair<PortAccess::Kind, std::uint16_t>, std::size_t> counts_;
};
