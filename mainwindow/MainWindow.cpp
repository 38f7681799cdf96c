#include "mainwindow/MainWindow.h"

#include "mainwindow/Form1Layout.h"

namespace korvane {

MainWindow::MainWindow(Platform& platform, Calculators& calculators)
    : m_platform(platform), m_calculators(calculators), m_form(platform.createWindow(form1Layout)),
      m_com1(m_form->comboBox("Com1")), m_hsc1(m_form->scrollBar("HSc1")),
      m_label2(m_form->label("Label2")), m_command1(m_form->commandButton("Command1")),
      m_command2(m_form->commandButton("Command2")), m_timer1(m_form->timer("Timer1")) {
    m_com1.onClick([this] { com1Click(); });
    m_command1.onClick([this] { command1Click(); });
    m_command2.onClick([this] { command2Click(); });
    m_form->commandButton("Command3").onClick([this] { command3Click(); });
    m_form->commandButton("Command4").onClick([this] { command4Click(); });
    m_form->commandButton("Command5").onClick([this] { command5Click(); });
    m_timer1.onTimer([this] { timer1Timer(); });
    load();
}

void MainWindow::load() {
    m_form->removeCloseCommand();
    m_clock.reset();
    for (const auto& hour : doubleHours) {
        m_com1.addItem(hour.listText);
    }
}

void MainWindow::com1Click() {
    if (const auto value = CycleClock::startSlotValue(m_com1.listIndex())) {
        m_hsc1.setValue(*value);
    }
    m_clock.setPosition(m_hsc1.value());
}

void MainWindow::command1Click() {
    m_com1.setEnabled(false);
    m_timer1.setEnabled(true);
    m_command2.setEnabled(true);
    m_command1.setEnabled(false);
}

void MainWindow::command2Click() {
    m_com1.setEnabled(true);
    m_timer1.setEnabled(false);
    m_command1.setEnabled(true);
    m_command2.setEnabled(false);
}

void MainWindow::command3Click() {
    m_calculators.buy().toggle();
}

void MainWindow::command4Click() {
    m_calculators.sell().toggle();
}

void MainWindow::command5Click() {
    m_platform.endProgram();
}

void MainWindow::timer1Timer() {
    const TickResult result = m_clock.tick();
    m_hsc1.setValue(result.barValue);
    m_label2.setText(result.countdownText);
}

} // namespace korvane
