#include <windows.h>

#include "framework/Application.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return fw::RunApplication(instance);
}
