// The main dialog connected to a simulated sensor on COM3, with its poll timer stopped so that a
// test delivers each tick itself and knows exactly which requests the sensor gets.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "dialog_fixture.h"
#include "sensor_contract.h"

using StatusBlock = std::array<std::uint8_t, sensor::kStatusBlockLength>;

class LiveDialogTest : public DialogFixture {
protected:
    static constexpr int kCom = 3;

    sim::PtyServer& Sensor() { return DialogFixture::Sensor(kCom); }
    // Opens the dialog against the sensor, stops its timer and forgets the start-up traffic.
    CToolsDlg& OpenConnected();
    // One tick of timer `id`, delivered as the timer delivers it; returns once its poll has shown
    // its result.
    void Tick(UINT_PTR id = 1);
    LampColour Lamp(int id) const { return m_driver->Lamp(id); }

    // The sensor's next answer is this status block behind the two status bytes given.
    void ScriptStatus(const StatusBlock& block, std::uint8_t linkStatus = 0,
                      std::uint8_t commandStatus = 0);
    // The sensor keeps silent at its next request.
    void ScriptSilence();
    // What the sensor received since the dialog opened, one request a string.
    std::vector<std::string> Received() { return RequestTexts(kCom); }
};

// A status block with readings at rest, no alarm, nothing learned and no record.
StatusBlock QuietStatus();
