#include <windows.h>

#include "app/KestravaApp.h"

namespace {
kestrava::CKestravaApp theApp;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return kestrava::AfxWinMain();
}
