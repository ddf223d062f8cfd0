#pragma once
#include "framework/WinApp.h"

namespace kestrava {

class CKestravaApp : public CWinApp {
  public:
    CKestravaApp() = default;
    ~CKestravaApp() override = default;
    BOOL InitInstance() override;

  protected:
    const CommandEntry* CommandTable(size_t* count) const override;
};

}  // namespace kestrava
