// The components are drawn with the program's typeface registered, as the program does at start.
#include "preferences/Fonts.h"

#include <gtest/gtest.h>

namespace {

class FontsEnvironment : public ::testing::Environment {
public:
    void SetUp() override { tessora::registerFonts(); }
};

[[maybe_unused]] const auto* const kFonts =
    ::testing::AddGlobalTestEnvironment(new FontsEnvironment);

}  // namespace
