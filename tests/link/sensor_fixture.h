// A private ports folder with simulated sensors on ptys, and the link's error boxes captured
// instead of shown. Built for Windows, the sensors are served by the Linux process that the Wine
// prefix's COM ports point into (tests/wine), and the folder is that process's.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "pty_server.h"
#include "zeko_api.h"
#include "zeko_error_box.h"

class SensorFixture : public ::testing::Test {
protected:
    void SetUp() override {
#if !defined(_WIN32)
        char pattern[] = "/tmp/kq-ports-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_portsDir = pattern;
        setenv("KQ_PORTS_DIR", m_portsDir.c_str(), 1);
#endif
        SetMessageBoxHandler([this](const char* text, const char* caption, unsigned int) {
            std::lock_guard lock(m_boxesMutex);
            m_boxes.push_back(std::string(caption) + "|" + text);
        });
    }

    void TearDown() override {
        SetMessageBoxHandler(nullptr);
        m_sensors.clear();
        if (!m_portsDir.empty()) std::filesystem::remove_all(m_portsDir);
    }

    // A simulated sensor linked as COM<com>.
    sim::PtyServer& Sensor(int com = 3) {
        auto& sensor = m_sensors[com];
        if (!sensor) sensor = std::make_unique<sim::PtyServer>(m_portsDir, com);
        return *sensor;
    }

    // Opens the link to a healthy sensor on COM<com> and forgets the identity requests.
    void Connect(int com = 3) {
        Sensor(com);
        ASSERT_EQ(ZEKO_initial(com, 19281, 115200), 0);
        Sensor(com).ClearLog();
    }

    std::vector<std::string> RequestTexts(int com = 3) {
        std::vector<std::string> texts;
        for (const sim::Received& r : Sensor(com).Requests()) texts.push_back(Text(r.bytes));
        return texts;
    }

    std::vector<std::string> Boxes() {
        std::lock_guard lock(m_boxesMutex);
        return m_boxes;
    }

    static sim::Reply Raw(const std::string& text) {
        sim::Reply reply;
        reply.kind = sim::Reply::Kind::Raw;
        reply.bytes.assign(text.begin(), text.end());
        return reply;
    }

    static sim::Reply Kind(sim::Reply::Kind kind) {
        sim::Reply reply;
        reply.kind = kind;
        return reply;
    }

    static std::string Text(const std::vector<std::uint8_t>& bytes) {
        return std::string(bytes.begin(), bytes.end());
    }

    std::filesystem::path m_portsDir;

private:
    std::map<int, std::unique_ptr<sim::PtyServer>> m_sensors;
    std::mutex m_boxesMutex;
    std::vector<std::string> m_boxes;
};
