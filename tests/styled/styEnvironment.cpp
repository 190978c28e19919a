// Start-up of the styled-layer tests: the class library's application, then the layer
// (theme library, platform flags, the application object with its instance mutex).
#include <gtest/gtest.h>

#include "controls/styled/styApplication.h"

namespace {
struct StyledEnvironment : ::testing::Environment {
    void SetUp() override {
        Application->Initialize();
        StyLayerInitialize();
    }
    void TearDown() override { StyLayerFinalize(); }
};
[[maybe_unused]] ::testing::Environment* const env =
    ::testing::AddGlobalTestEnvironment(new StyledEnvironment);
}  // namespace
