// Faults the simulated transmitter shows on demand, each with a name that the
// kelvane-sim command line and the traffic log use ("no-reply", "bad-crc", ...).
// Set them on a Transmitter from code, or with --fault NAME[:N] on the command line.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace kelvane::sim {

enum class Fault {
    NoReply,           // the device hears nothing and stays silent
    BadCrc,            // every reply carries a corrupted CRC
    ShortReply,        // every reply stops after its first half
    LateReply,         // every reply starts more than 100 ms after the request
    GapInReply,        // every reply falls silent for more than 100 ms half-way
    StoreFails,        // the store status reports a failed store
    SensorOpen,        // the sensor is broken: the process value reads 32767
    OtherModel,        // the identity block reports a device of another family
    AdapterPulled,     // the adapter is pulled out at the next request: the line goes dead
    NoiseBeforeReply,  // three noise bytes reach the line just before every reply
    StreamingLine,     // the line streams noise with no silence; nothing is answered
    NeedsGap,          // a request begun within 3.5 characters of the last reply is not heard
};

inline constexpr std::size_t kFaultCount = 12;

struct FaultName {
    Fault fault;
    const char* name;
    const char* description;
};

inline constexpr std::array<FaultName, kFaultCount> kFaultNames = {{
    {Fault::NoReply, "no-reply", "the device hears nothing and never answers"},
    {Fault::BadCrc, "bad-crc", "replies carry a corrupted CRC"},
    {Fault::ShortReply, "short-reply", "replies stop after their first half"},
    {Fault::LateReply, "late-reply", "replies start 150 ms after the request"},
    {Fault::GapInReply, "gap-in-reply", "replies fall silent for 150 ms half-way"},
    {Fault::StoreFails, "store-fails", "the store status (0x1006) reports a failed store"},
    {Fault::SensorOpen, "sensor-open", "the sensor is broken: the process value reads 32767"},
    {Fault::OtherModel, "other-model", "the identity reports another model and family"},
    {Fault::AdapterPulled, "adapter-pulled", "the adapter is pulled out at the next request"},
    {Fault::NoiseBeforeReply, "noise-before-reply",
     "three noise bytes (00) come before each reply"},
    {Fault::StreamingLine, "streaming-line",
     "the line streams noise for 3 s after each request, with no silence"},
    {Fault::NeedsGap, "needs-gap",
     "a request begun less than 3.5 characters after the last reply is not heard"},
}};

const char* faultName(Fault fault);
std::optional<Fault> parseFault(const std::string& name);

}  // namespace kelvane::sim
