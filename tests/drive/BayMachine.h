// A simulated machine for the drive tests: loads a bay description, installs
// it, and fails the test when the description does not load.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "sim/Bay.h"

class BayMachine {
 public:
  explicit BayMachine(const std::string& description) {
    std::string error;
    loaded_ = bay_.LoadText(description, &error);
    EXPECT_TRUE(loaded_) << error;
    install_ = new sim::ScopedBayInstall(bay_);
  }
  ~BayMachine() { delete install_; }
  sim::Bay& bay() { return bay_; }

  // Trace lines containing `text`.
  std::vector<std::string> TraceWith(const std::string& text) const {
    std::vector<std::string> lines;
    for (const std::string& line : bay_.Trace())
      if (line.find(text) != std::string::npos) lines.push_back(line);
    return lines;
  }

 private:
  sim::Bay bay_;
  sim::ScopedBayInstall* install_ = nullptr;
  bool loaded_ = false;
};
