#include "platform/Application.h"
#include "platform/win32/Win32Platform.h"

namespace korvane {

struct Application::Impl {
    Win32Platform platform;
};

Application::Application(int&, char**) : m_impl(std::make_unique<Impl>()) {}

Application::~Application() = default;

Platform& Application::platform() {
    return m_impl->platform;
}

void Application::runGuarded(const Handler& work) {
    m_impl->platform.runGuarded(work);
}

int Application::run() {
    return m_impl->platform.run();
}

} // namespace korvane
