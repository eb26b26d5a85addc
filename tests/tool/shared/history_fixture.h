// The main dialog against a simulated sensor on COM3 whose alarm history a test chooses, with the
// record total brought by a status poll, as the history buttons find it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dialog_fixture.h"

// A record as the sensor stores it; its leading word is the sensor's own and never shows.
sim::AlarmRecord Record(std::uint32_t typeFlags, float first = 0.0f, float second = 0.0f);

class HistoryFixture : public DialogFixture {
protected:
    // Opens the dialog against a sensor holding `records` and polls once; the sensor's request
    // log starts empty.
    void Open(const std::vector<sim::AlarmRecord>& records);
    // One status poll; its request is left out of the log.
    void Poll();
    // The texts of the message boxes shown so far.
    std::vector<std::string> Boxes() const;
};
