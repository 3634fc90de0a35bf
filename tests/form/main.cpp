// The window tests run in an application set up exactly as the program's own.

#include <gtest/gtest.h>

#include "form/application_setup.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  const auto app = corvane::MakeApplication(argc, argv);
  return RUN_ALL_TESTS();
}
