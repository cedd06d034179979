// The real port library on a fake chip. User-mode in/out faults here (no
// I/O permission), so a SIGSEGV handler decodes the faulting port
// instruction, performs it against the fake chip and steps over it. Other
// processors have no port instructions: there the library is port-less.
#include <gtest/gtest.h>
#include <signal.h>
#include <ucontext.h>

#include <array>
#include <cstdint>
#include <vector>

#include "pinlatch.h"

namespace {

void expectIncrimentAndWep() {
  EXPECT_EQ(Incriment(0), 1);
  EXPECT_EQ(Incriment(0x7FFF), 32768);
  EXPECT_EQ(Incriment(0xFFFF), 0);
  EXPECT_EQ(Incriment(-1), 0);
  EXPECT_EQ(Incriment(0x12345), 0x2346);
  EXPECT_EQ(WEP(0), 1);
  EXPECT_EQ(WEP(-7), 1);
}

#if defined(__x86_64__)
struct Access {
  bool input;
  std::uint16_t port;
  std::uint32_t value;
  int width;
  bool operator==(const Access&) const = default;
};

struct FakeChip {
  std::array<std::uint8_t, 65536> ports{};
  std::vector<Access> accesses;
};
FakeChip* chip = nullptr;

void emulatePortInstruction(int, siginfo_t*, void* context) {
  auto& regs = static_cast<ucontext_t*>(context)->uc_mcontext.gregs;
  const auto* code = reinterpret_cast<const std::uint8_t*>(regs[REG_RIP]);
  size_t length = 0;
  const bool operandSize16 = code[0] == 0x66;
  if (operandSize16) ++length;
  const std::uint8_t opcode = code[length++];
  std::uint16_t port = 0;
  if (opcode >= 0xE4 && opcode <= 0xE7) {
    port = code[length++];
  } else if (opcode >= 0xEC && opcode <= 0xEF) {
    port = static_cast<std::uint16_t>(regs[REG_RDX]);
  } else {
    signal(SIGSEGV, SIG_DFL);  // a real fault: let it crash
    return;
  }
  const int width = (opcode & 1) ? (operandSize16 ? 2 : 4) : 1;
  const bool input = opcode == 0xE4 || opcode == 0xE5 || opcode == 0xEC || opcode == 0xED;
  const std::uint64_t mask = width == 4 ? 0xFFFFFFFFu : width == 2 ? 0xFFFFu : 0xFFu;
  std::uint32_t value = 0;
  if (input) {
    for (int i = width - 1; i >= 0; --i) value = (value << 8) | chip->ports[static_cast<std::uint16_t>(port + i)];
    // A 32-bit input zero-fills RAX's upper half; narrower ones leave the rest.
    const auto rax = static_cast<std::uint64_t>(regs[REG_RAX]);
    regs[REG_RAX] = static_cast<greg_t>(width == 4 ? value : ((rax & ~mask) | value));
  } else {
    value = static_cast<std::uint32_t>(static_cast<std::uint64_t>(regs[REG_RAX]) & mask);
    for (int i = 0; i < width; ++i) chip->ports[static_cast<std::uint16_t>(port + i)] = static_cast<std::uint8_t>(value >> (8 * i));
  }
  chip->accesses.push_back({input, port, value, width});
  regs[REG_RIP] += static_cast<greg_t>(length);
}

struct Pinlatch : ::testing::Test {
  FakeChip fake;
  struct sigaction previous {};
  void SetUp() override {
    chip = &fake;
    struct sigaction action {};
    action.sa_sigaction = emulatePortInstruction;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    sigaction(SIGSEGV, &action, &previous);
  }
  void TearDown() override {
    sigaction(SIGSEGV, &previous, nullptr);
    chip = nullptr;
  }
};

TEST_F(Pinlatch, InputSignExtendsTheByteItReads) {
  const std::pair<std::uint8_t, std::int32_t> table[] = {{0x7F, 127}, {0x80, -128}, {0xFF, -1}, {0x00, 0}, {0x2D, 45}};
  for (const auto& [byte, expected] : table) {
    fake.ports[0x296] = byte;
    fake.ports[0x297] = 0xAA;  // a neighbour that a wider read would pick up
    EXPECT_EQ(InputPort(662), expected) << int(byte);
  }
  EXPECT_EQ(fake.accesses.size(), 5u);
  EXPECT_EQ(fake.accesses.back(), (Access{true, 0x296, 0x2D, 1}));
}

TEST_F(Pinlatch, OnlyTheLow16BitsOfThePortAndLow8BitsOfTheValueCount) {
  fake.ports[0x296] = 0x33;
  EXPECT_EQ(InputPort(662 + 65536), 0x33);
  EXPECT_EQ(InputPort(static_cast<std::int32_t>(0xFFFF0296u)), 0x33);
  EXPECT_EQ(OutputPort(661, 39), 39);
  EXPECT_EQ(fake.ports[0x295], 0x27);
  EXPECT_EQ(OutputPort(0x295, 0x1FF), 255);
  EXPECT_EQ(fake.ports[0x295], 0xFF);
  fake.ports[0x295] = 0;
  EXPECT_EQ(OutputPort(0x295, -1), 255);
  EXPECT_EQ(fake.ports[0x295], 0xFF);
  EXPECT_EQ(fake.ports[0x296], 0x33);  // a byte write touches nothing beside its port
  const std::vector<Access> expected = {
      {true, 0x296, 0x33, 1}, {true, 0x296, 0x33, 1}, {false, 0x295, 0x27, 1},
      {false, 0x295, 0xFF, 1}, {false, 0x295, 0xFF, 1},
  };
  EXPECT_EQ(fake.accesses, expected);  // exactly one byte access per call
}

TEST_F(Pinlatch, IncrimentAndWepTouchNoPort) {
  expectIncrimentAndWep();
  EXPECT_TRUE(fake.accesses.empty());
}

#else
TEST(PortlessPinlatch, NoDeviceAnswersAndWrittenBytesGoNowhere) {
  EXPECT_EQ(InputPort(662), -1);
  EXPECT_EQ(OutputPort(661, 39), 39);
  EXPECT_EQ(OutputPort(0x295, 0x1FF), 255);
  EXPECT_EQ(OutputPort(0x295, -1), 255);
  EXPECT_EQ(InputPort(662), -1);
  expectIncrimentAndWep();
}
#endif

}  // namespace
