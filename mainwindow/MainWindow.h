#pragma once

#include "calculators/TradeCalculator.h"
#include "clock/CycleClock.h"
#include "platform/Window.h"

#include <memory>

namespace korvane {

// The main window Form1: the refresh clock's face and the switch that runs it. It owns the
// clock, feeds it the chosen start double-hour and writes each tick into the bar and the
// countdown label. Running or stopped is nothing but the enabled settings of Com1, Timer1,
// Command1 and Command2. It does not end the program by closing: only Exit does.
class MainWindow {
public:
    // Builds Form1 from its layout and runs its load step; the window stays hidden.
    MainWindow(Platform& platform, Calculators& calculators);

    void show() { m_form->show(); }
    Window& window() { return *m_form; }
    const CycleClock& clock() const { return m_clock; }

    // Handlers, one per (control, event); public so that tests can drive them directly.
    void load();
    void com1Click();     // start-slot choice
    void command1Click(); // Start
    void command2Click(); // Stop
    void command3Click(); // buy calculator
    void command4Click(); // sell calculator
    void command5Click(); // Exit
    void timer1Timer();   // Tick

private:
    Platform& m_platform;
    Calculators& m_calculators;
    std::unique_ptr<Window> m_form;
    ComboBox& m_com1;
    ScrollBar& m_hsc1;
    Label& m_label2;
    CommandButton& m_command1;
    CommandButton& m_command2;
    Timer& m_timer1;
    CycleClock m_clock;
};

} // namespace korvane
