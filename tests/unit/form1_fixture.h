// The monitor window's logic on the fake platform.
#pragma once

#include <gtest/gtest.h>

#include "fake_platform.h"
#include "form1.h"

struct Form1Fixture : ::testing::Test {
  fake::Journal journal;
  fake::Window window{journal};
  fake::Stats stats{journal};
  fake::Ports ports{journal};
  fake::Tray tray{journal};
  fake::Session session{journal};
  fake::Forms forms{journal};
  fake::Shell shell{journal};
  about::Form2 about{forms, shell, session};
  monitor::Form1 form{{window, stats, ports, tray, session, about}};
};
