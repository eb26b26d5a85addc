#include "console.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <optional>
#include <sstream>
#include <utility>
#include <vector>

namespace sim {
namespace {

constexpr std::array<std::pair<std::string_view, Alarm>, 5> kAlarmNames = {{
    {"vibration", Alarm::Vibration},
    {"movement", Alarm::Movement},
    {"temperature", Alarm::Temperature},
    {"tamper", Alarm::Tamper},
    {"voltage", Alarm::Voltage},
}};

constexpr std::array<std::pair<std::string_view, std::uint32_t>, 6> kRecordNames = {{
    {"vibration", sensor::kRecordVibration},
    {"movement", sensor::kRecordMovement},
    {"temperature", sensor::kRecordOverTemperature},
    {"tamper", sensor::kRecordTamper},
    {"voltage", sensor::kRecordLowVoltage},
    {"energy", sensor::kRecordEnergy},
}};

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t start = line.find_first_not_of(" \t\r", at);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(line.find_first_of(" \t\r", start), line.size());
        words.push_back(line.substr(start, end - start));
        at = end;
    }
    return words;
}

template <typename Value, std::size_t N>
std::optional<Value> Named(const std::array<std::pair<std::string_view, Value>, N>& table,
                           std::string_view name) {
    for (const auto& [text, value] : table) {
        if (text == name) {
            return value;
        }
    }
    return std::nullopt;
}

std::optional<float> FloatOf(std::string_view text) {
    float value = 0.0f;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::string Format(const char* format, double value) {
    std::array<char, 64> text{};
    std::snprintf(text.data(), text.size(), format, value);
    return text.data();
}

std::string FlagNames(std::uint8_t flags) {
    std::string names;
    for (const auto& [name, alarm] : kAlarmNames) {
        if (flags & FlagOf(alarm)) {
            names += names.empty() ? "" : " ";
            names += name;
        }
    }
    return names.empty() ? "none" : names;
}

std::string OnOff(bool on) { return on ? "on" : "off"; }

}  // namespace

Console::Outcome Console::Execute(std::string_view line) {
    const auto words = Words(line);
    if (words.empty()) {
        return {};
    }
    const std::string_view command = words[0];
    const std::size_t arguments = words.size() - 1;
    if (command == "alarm" && arguments == 1) {
        const auto alarm = Named(kAlarmNames, words[1]);
        if (!alarm) {
            return {"error: no alarm '" + std::string(words[1]) + "' (try help)"};
        }
        std::size_t count = 0;
        m_server.WithModel([&](SensorModel& model) {
            model.RaiseAlarm(*alarm);
            count = model.Records().size();
        });
        return {"ok: " + std::string(words[1]) + " alarm raised, record " + std::to_string(count)};
    }
    if (command == "clear" && arguments == 0) {
        m_server.WithModel([](SensorModel& model) { model.ClearAlarms(); });
        return {"ok: alarm flags cleared"};
    }
    if (command == "record" && arguments >= 1 && arguments <= 3) {
        const auto type = Named(kRecordNames, words[1]);
        const auto first = arguments >= 2 ? FloatOf(words[2]) : 0.0f;
        const auto second = arguments >= 3 ? FloatOf(words[3]) : 0.0f;
        if (!type || !first || !second) {
            return {"error: record takes a type and up to two numbers (try help)"};
        }
        std::size_t count = 0;
        m_server.WithModel([&](SensorModel& model) {
            model.AddRecord({model.NextRecordNumber(), *type, *first, *second});
            count = model.Records().size();
        });
        return {"ok: " + std::string(words[1]) + " record added, record " + std::to_string(count)};
    }
    if (command == "silent" && arguments == 1 && (words[1] == "on" || words[1] == "off")) {
        m_server.SetSilent(words[1] == "on");
        return {"ok: silent " + std::string(words[1])};
    }
    if (command == "delay" && arguments == 1) {
        int ms = -1;
        const char* last = words[1].data() + words[1].size();
        const auto [end, error] = std::from_chars(words[1].data(), last, ms);
        if (error != std::errc{} || end != last || ms < 0) {
            return {"error: delay takes milliseconds (try help)"};
        }
        m_server.SetReplyDelay(std::chrono::milliseconds{ms});
        return {"ok: reply delay " + std::to_string(ms) + " ms"};
    }
    if (command == "hangup" && arguments == 0) {
        m_server.HangUp();
        return {"ok: hung up; " + m_server.LinkPath().string() + " points nowhere until relink"};
    }
    if (command == "relink" && arguments == 0) {
        m_server.Relink();
        return {"ok: " + m_server.LinkPath().string() + " -> " + m_server.SlavePath()};
    }
    if (command == "status" && arguments == 0) {
        return {Status()};
    }
    if (command == "help" && arguments == 0) {
        return {Help()};
    }
    if (command == "quit" && arguments == 0) {
        return {"ok: quitting", true};
    }
    return {"error: cannot understand '" + std::string(line) + "' (try help)"};
}

std::string Console::Status() const {
    std::ostringstream out;
    out << "link " << m_server.LinkPath().string() << " -> "
        << (m_server.Connected() ? m_server.SlavePath() : std::string("nothing (hung up)")) << "\n"
        << "silent " << OnOff(m_server.Silent()) << ", reply delay "
        << m_server.ReplyDelay().count() << " ms\n";
    m_server.WithModel([&out](SensorModel& model) {
        out << "identity " << model.Identity() << ", calibrations " << model.Calibrations() << "\n"
            << "vibration " << Format("%.2f", model.Vibration()) << " G, movement "
            << model.Movement() << " deg/s, temperature " << int{model.Temperature()} << " C, "
            << (model.Live() ? "drifting" : "held") << "\n"
            << "thresholds: vibration " << Format("%.2f", model.VibrationThreshold())
            << " G, movement " << model.MovementThreshold() << " deg/s\n"
            << "learning: vibration " << OnOff(model.LearningVibration()) << " (learned "
            << Format("%.2f", model.LearnedVibration()) << " G), movement "
            << OnOff(model.LearningMovement()) << " (learned " << model.LearnedMovement()
            << " deg/s)\n"
            << "alarms: " << FlagNames(model.Flags()) << "\n"
            << "records: " << model.Records().size();
    });
    // Lets a person or a script outside see that a program is talking to the sensor.
    out << "\nrequests: " << m_server.Requests().size() << " received";
    return out.str();
}

std::string Console::Help() {
    return "  alarm vibration|movement|temperature|tamper|voltage\n"
           "                       raise an alarm: set its flag and add a record of its type\n"
           "  clear                clear every alarm flag (records stay)\n"
           "  record TYPE [FIRST] [SECOND]\n"
           "                       add a record; TYPE is one of the alarms or energy, FIRST is\n"
           "                       the threshold, SECOND the alarm value (both default to 0)\n"
           "  silent on|off        stop or resume answering requests\n"
           "  delay MS             wait MS milliseconds before every answer\n"
           "  hangup               close the pty, as when the adapter is unplugged\n"
           "  relink               a fresh pty at the same link, as when it is plugged back\n"
           "  status               print the sensor's state and the requests received\n"
           "  help                 this list\n"
           "  quit                 stop serving, remove the link and exit";
}

}  // namespace sim
