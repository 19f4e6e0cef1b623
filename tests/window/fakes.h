#pragma once

#include <string>
#include <tuple>
#include <vector>

#include "platform/settings_store.h"
#include "support/fake_port_base.h"

namespace veltro::testing {

// A serial port whose line the test plays: `incoming` is what the meter has
// sent, `written` what the panel wrote, one entry per write.
class FakePort : public FakePortBase {
  public:
    bool open = true;
    std::string incoming;
    std::vector<std::string> written;

    bool setPortOpen(bool wanted) override {
        open = wanted;
        return true;
    }
    bool portOpen() const override { return open; }
    int inBufferClears = 0;
    void setInBufferCount(int) override {
        incoming.clear();
        ++inBufferClears;
    }
    void setOutBufferCount(int) override {}
    void output(std::string_view data) override {
        if (open) {
            written.emplace_back(data);
        }
    }
    std::string input() override {
        if (!open) {
            return {};
        }
        std::string all;
        all.swap(incoming);
        return all;
    }

  private:
};

class RecordingStore : public SettingsStore {
  public:
    std::vector<std::tuple<std::string, std::string, std::string, std::string>> writes;
    void saveSetting(const std::string& application, const std::string& section,
                     const std::string& name, const std::string& value) override {
        writes.emplace_back(application, section, name, value);
    }
};

}  // namespace veltro::testing
