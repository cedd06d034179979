// A fake window and statistics library that write everything they are asked
// into one journal, so a test sees the exact order of a handler's calls.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "form1_design.h"
#include "form_host.h"
#include "port_library.h"
#include "stats_library.h"

namespace fake {

using Journal = std::vector<std::string>;

inline std::string ControlName(int control) { return std::string(form1::Design.controls[control].name); }

class Window final : public platform::FormHost {
 public:
  explicit Window(Journal& journal) : journal_(journal) {}
  void setCaption(int control, std::string_view text) override {
    captions[control] = std::string(text);
    journal_.push_back("Caption " + ControlName(control) + " " + std::string(text));
  }
  void setWidth(int control, float twips) override {
    widths[control] = twips;
    journal_.push_back("Width " + ControlName(control) + " " + std::to_string(static_cast<int>(twips)));
  }
  std::map<int, std::string> captions;
  std::map<int, float> widths;

 private:
  Journal& journal_;
};

class Stats final : public platform::StatsLibrary {
 public:
  explicit Stats(Journal& journal) : journal_(journal) {}
  void GetResInfo(std::uint8_t& a, std::uint8_t& b, std::uint8_t& c) override {
    journal_.push_back("GetResInfo");
    a = resLevel1;
    b = resLevel2;
    c = resLevel3;
  }
  void GetCpuStart() override { journal_.push_back("GetCpuStart"); }
  std::uint8_t GetCpuUsage() override {
    journal_.push_back("GetCpuUsage");
    return cpu;
  }
  // Successive samples come from the queue; an empty queue repeats `memory`.
  std::uint8_t MemoryLoad() override {
    journal_.push_back("MemoryLoad");
    if (memorySamples.empty()) return memory;
    const std::uint8_t value = memorySamples.front();
    memorySamples.pop_front();
    return value;
  }
  std::uint8_t resLevel1 = 0, resLevel2 = 0, resLevel3 = 0, cpu = 0, memory = 0;
  std::deque<std::uint8_t> memorySamples;

 private:
  Journal& journal_;
};

// A chip whose data port delivers `dataByte`.
class Ports final : public platform::PortLibrary {
 public:
  explicit Ports(Journal& journal) : journal_(journal) {}
  std::int32_t OutputPort(std::int32_t port, std::int32_t value) override {
    journal_.push_back("OutputPort " + std::to_string(port) + " " + std::to_string(value));
    return value & 0xFF;
  }
  std::int32_t InputPort(std::int32_t port) override {
    journal_.push_back("InputPort " + std::to_string(port));
    return static_cast<std::int8_t>(dataByte);  // sign-extended, as the library does
  }
  bool ChipAnswers() const override { return answers; }
  std::uint8_t dataByte = 0x2D;
  bool answers = true;

 private:
  Journal& journal_;
};

}  // namespace fake
