#pragma once

#include "platform/Window.h"

#include <memory>

namespace korvane {

// The program's event loop and its platform, for start-up: build the windows on
// platform(), then run() the loop until the program ends. Each backend provides one.
class Application {
public:
    Application(int& argc, char** argv);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    Platform& platform();
    // Start-up work, under the same error handling as a handler.
    void runGuarded(const Handler& work);
    int run();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace korvane
