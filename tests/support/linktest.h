// Link tests run over both wires with a short read time-out, restored afterwards.
#pragma once

#include "orvane/core/logic/com.h"
#include "wire.h"

#include <gtest/gtest.h>

class LinkTest : public testing::TestWithParam<Wire::Kind> {
  protected:
    void SetUp() override { secTimeOut = 0.1; }
    void TearDown() override {
        CloseComPort();
        secTimeOut = saved_;
    }

  private:
    double saved_ = secTimeOut;
};

inline std::string WireName(const testing::TestParamInfo<Wire::Kind>& info) {
    return info.param == Wire::Kind::Pty ? "Pty" : "Socket";
}

#define INSTANTIATE_OVER_WIRES(suite)                                                                        \
    INSTANTIATE_TEST_SUITE_P(Wires, suite, testing::Values(Wire::Kind::Pty, Wire::Kind::Socket), WireName)
