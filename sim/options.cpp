#include "sim/options.h"

#include <CLI/CLI.hpp>
#include <functional>
#include <map>

#include <algorithm>
#include <array>
#include <cctype>
#include <limits>

#include "sim/model_names.h"

namespace kelvane::sim {

namespace {

// A plain decimal number no greater than `maximum`; signs, spaces and overflow fail.
std::optional<unsigned long long> decimal(const std::string& text, unsigned long long maximum) {
    if (text.empty() || text.size() > 12 ||
        !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); })) {
        return std::nullopt;
    }
    const unsigned long long value = std::stoull(text);
    if (value > maximum) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint8_t> baudCodeFor(const std::string& text) {
    static constexpr std::array<const char*, 4> kBauds = {"4800", "9600", "19200", "38400"};
    for (std::size_t code = 0; code < kBauds.size(); ++code) {
        if (text == kBauds[code]) {
            return static_cast<std::uint8_t>(code);
        }
    }
    return std::nullopt;
}

std::optional<FaultRequest> faultFor(const std::string& text) {
    const auto colon = text.find(':');
    const auto fault = parseFault(text.substr(0, colon));
    if (!fault) {
        return std::nullopt;
    }
    FaultRequest request{*fault, 0};
    if (colon != std::string::npos) {
        const auto from = decimal(text.substr(colon + 1), std::numeric_limits<unsigned>::max());
        if (!from || *from == 0) {
            return std::nullopt;
        }
        request.fromRequest = static_cast<unsigned>(*from);
    }
    return request;
}

std::string faultList() {
    std::string names;
    for (const FaultName& entry : kFaultNames) {
        names += names.empty() ? "" : ", ";
        names += entry.name;
    }
    return names;
}

}  // namespace

std::string usageText() {
    std::string text =
        "Usage: kelvane-sim [OPTION]...\n"
        "Simulates one Kelvane transmitter (Modbus RTU slave) on a pseudo-terminal.\n"
        "The first line of standard output is the serial device to open; the simulator\n"
        "then serves until it receives SIGINT (Ctrl+C) or SIGTERM.\n"
        "\n"
        "  --model M         QTR-H (default), QTR-D, QTN-H or a model code 0-255\n"
        "  --firmware N      firmware version index 0-255 (default 5, shown as V05)\n"
        "  --serial N        serial number 0-4294967295 (default 200001)\n"
        "  --address N       device address 1-247 (default 1)\n"
        "  --baud B          4800 (default), 9600, 19200 or 38400; always 8N1\n"
        "  --seed N          seed of the simulated measurement's noise (default 1)\n"
        "  --link PATH       also make PATH a symbolic link to the serial device;\n"
        "                    removed on exit\n"
        "  --fault NAME[:N]  show a fault, from the start or from the N-th request on;\n"
        "                    may be given more than once\n"
        "  --line-time       take each request byte's line time (10 bits at the line's\n"
        "                    speed) before it is seen, as a real line does\n"
        "  --log FILE        log each request and reply in hex, with its line setting\n"
        "                    and time, to FILE ('-' for standard error)\n"
        "  --dac C4,C20      the DAC counts at which the output is exactly 4.000 and\n"
        "                    20.000 mA (default 6457,31917, near the reported 6400,32000)\n"
        "  --meter FILE      write the output current, as a meter in the loop reads it,\n"
        "                    each time it changes: 'output 4.012 mA' ('-': standard\n"
        "                    output, after the device's line)\n"
        "  --help            show this text and exit\n"
        "  --version         show the version and exit\n"
        "\n"
        "Faults:\n";
    for (const FaultName& entry : kFaultNames) {
        std::string name = entry.name;
        name.resize(std::max<std::size_t>(name.size(), 18), ' ');
        text += "  " + name + "  " + entry.description + "\n";
    }
    text +=
        "\nExit status: 0 after SIGINT or SIGTERM, 1 when the pseudo-terminal or the link\n"
        "cannot be made, 2 on a bad option.\n";
    return text;
}

ParsedOptions parseOptions(const std::vector<std::string>& arguments) {
    SimOptions options;
    auto fail = [](const std::string& message) { return ParsedOptions{std::nullopt, message}; };

    // CLI11 splits the command line; the values are checked below, with our messages.
    CLI::App app{"kelvane-sim", "kelvane-sim"};
    app.set_help_flag();
    app.add_flag("-h,--help", options.help);
    app.add_flag("--version", options.version);
    app.add_flag("--line-time", options.lineTime);
    std::map<std::string, std::string> values;
    for (const char* name : {"--model", "--firmware", "--serial", "--address", "--baud", "--seed",
                             "--link", "--log", "--dac", "--meter"}) {
        app.add_option(name, values[name])->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    }
    std::vector<std::string> faults;
    app.add_option("--fault", faults);
    try {
        std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
        app.parse(reversed);  // CLI11 takes the arguments last first
    } catch (const CLI::ParseError& error) {
        return fail(error.what());
    }
    const auto given = [&app](const char* name) { return app.count(name) > 0; };

    if (given("--model")) {
        const std::string& text = values["--model"];
        const auto code = parseModel(text);
        if (!code) {
            return fail("unknown model '" + text + "' (QTR-H, QTR-D, QTN-H or a code 0-255)");
        }
        options.device.modelCode = *code;
    }
    // A decimal option within lowest … highest, or the message that names it.
    struct Number {
        const char* name;
        const char* what;
        unsigned long long lowest, highest;
        std::function<void(unsigned long long)> store;
    };
    const Number numbers[] = {
        {"--firmware", "firmware version index", 0, 255,
         [&](unsigned long long v) {
             options.device.firmwareIndex = static_cast<std::uint8_t>(v);
         }},
        {"--serial", "serial number", 0, 0xFFFFFFFFULL,
         [&](unsigned long long v) {
             options.device.serialNumber = static_cast<std::uint32_t>(v);
         }},
        {"--address", "device address", 1, 247,
         [&](unsigned long long v) { options.device.address = static_cast<std::uint8_t>(v); }},
        {"--seed", "seed", 0, 0xFFFFFFFFULL,
         [&](unsigned long long v) { options.device.seed = static_cast<std::uint32_t>(v); }},
    };
    for (const Number& number : numbers) {
        if (!given(number.name)) {
            continue;
        }
        const std::string& text = values[number.name];
        const auto value = decimal(text, number.highest);
        if (!value || *value < number.lowest) {
            return fail(std::string("bad ") + number.what + " '" + text + "' (" +
                        std::to_string(number.lowest) + "-" + std::to_string(number.highest) + ")");
        }
        number.store(*value);
    }
    if (given("--baud")) {
        const std::string& text = values["--baud"];
        const auto code = baudCodeFor(text);
        if (!code) {
            return fail("bad baud rate '" + text + "' (4800, 9600, 19200 or 38400)");
        }
        options.device.baudCode = *code;
    }
    if (given("--link")) {
        if (values["--link"].empty()) {
            return fail("option --link needs a path");
        }
        options.linkPath = values["--link"];
    }
    for (const std::string& text : faults) {
        const auto fault = faultFor(text);
        if (!fault) {
            return fail("unknown fault '" + text + "' (one of " + faultList() +
                        ", optionally followed by :N, N >= 1)");
        }
        options.faults.push_back(*fault);
    }
    if (given("--dac")) {
        const std::string& text = values["--dac"];
        const std::size_t comma = text.find(',');
        const auto four = decimal(text.substr(0, comma), 32767);
        const auto twenty =
            comma == std::string::npos ? std::nullopt : decimal(text.substr(comma + 1), 32767);
        if (!four || !twenty || *four == *twenty) {
            return fail("bad --dac '" + text + "' (two different counts 0-32767: C4,C20)");
        }
        options.device.dac4mA = static_cast<int>(*four);
        options.device.dac20mA = static_cast<int>(*twenty);
    }
    if (given("--meter")) {
        if (values["--meter"].empty()) {
            return fail("option --meter needs a file name or '-'");
        }
        options.meterPath = values["--meter"];
    }
    if (given("--log")) {
        if (values["--log"].empty()) {
            return fail("option --log needs a file name or '-'");
        }
        options.logPath = values["--log"];
    }
    return ParsedOptions{options, {}};
}

}  // namespace kelvane::sim
