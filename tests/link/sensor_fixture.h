// The shared ports folder with simulated sensors, and the link's error boxes captured instead of
// shown.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "sensor_ports_fixture.h"
#include "zeko_api.h"
#include "zeko_error_box.h"

class SensorFixture : public SensorPortsFixture {
protected:
    void SetUp() override {
        SensorPortsFixture::SetUp();
        SetMessageBoxHandler([this](const char* text, const char* caption, unsigned int) {
            std::lock_guard lock(m_boxesMutex);
            m_boxes.push_back(std::string(caption) + "|" + text);
        });
    }

    void TearDown() override {
        SetMessageBoxHandler(nullptr);
        SensorPortsFixture::TearDown();
    }

    // Opens the link to a healthy sensor on COM<com> and forgets the identity requests.
    void Connect(int com = 3) {
        Sensor(com);
        ASSERT_EQ(ZEKO_initial(com, 19281, 115200), 0);
        Sensor(com).ClearLog();
    }

    std::vector<std::string> Boxes() {
        std::lock_guard lock(m_boxesMutex);
        return m_boxes;
    }

private:
    std::mutex m_boxesMutex;
    std::vector<std::string> m_boxes;
};
