// The window tests' entry: the common controls of the templates, and an
// application object so that boxes carry the application's name.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "framework/Application.h"
#include "platform/Settings.h"

namespace {
fw::CWinApp* application = nullptr;
}

int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_USEREX_CLASSES |
                                                        ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  static fw::CWinApp app;
  application = &app;
  app.SetRegistryKey("Palisko");
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
