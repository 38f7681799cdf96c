#pragma once

#include "platform/qt/QtPlatform.h"

#include <memory>

class QApplication;

namespace korvane {

// The Qt application and its platform, for start-up: build the windows on platform(),
// then run() the event loop until the program ends.
class QtApplication {
public:
    QtApplication(int& argc, char** argv);
    ~QtApplication();

    QtPlatform& platform() { return *m_platform; }
    int run();

private:
    std::unique_ptr<QApplication> m_app;
    std::unique_ptr<QtPlatform> m_platform;
};

} // namespace korvane
