#pragma once
// A scripted Host for tests: records message boxes and opened addresses, lets a test act at
// a chosen yield (press Stop at cycle N, say), reports a fixed date and time, and keeps data
// files in a fresh temporary directory that it removes again.
#include <functional>
#include <string>
#include <vector>

#include "files.h"
#include "form/host.h"

namespace orbits::testing {

class TestHost : public Host {
 public:
  struct Message {
    std::string text, title;
    MessageIcon icon;
  };

  TestHost() = default;
  TestHost(const TestHost&) = delete;
  TestHost& operator=(const TestHost&) = delete;

  // Called at every yield with the number of yields so far (1 at the first).
  std::function<void(long)> onYield;
  // Called when a message box is shown, after it has been recorded.
  std::function<void(const Message&)> onMessage;

  std::vector<Message> messages;
  std::vector<std::string> addresses;
  long yields = 0;
  bool quitCalled = false;
  text::DateTime fixedNow{text::Date::fromYmd(2024, 3, 1), 12, 0, 0};
  bool canOpenAddresses = true;

  void yield() override {
    ++yields;
    if (onYield) onYield(yields);
  }
  void messageBox(const std::string& text, const std::string& title, MessageIcon icon) override {
    messages.push_back({text, title, icon});
    if (onMessage) onMessage(messages.back());
  }
  bool openAddress(const std::string& address) override {
    addresses.push_back(address);
    return canOpenAddresses;
  }
  text::DateTime now() override { return fixedNow; }
  void quit() override { quitCalled = true; }
  std::string dataDir() override { return dir_.path(); }

 private:
  TempDir dir_;
};

}  // namespace orbits::testing
